#include "TFabrication.h"

#include <QFileInfo>
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <map>

#include "TBoardError.h"
#include "TBoardFile.h"
#include "TBoardFiles.h"
#include "TZipWriter.h"

namespace {

constexpr int64_t kMaskGrowthNm = 50000;  // on every side
constexpr int64_t kOutlineWidthNm = 100000;

// A length in millimetres with the six decimals of the format, exact.
std::string Mm(int64_t nm) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%s%" PRId64 ".%06" PRId64, nm < 0 ? "-" : "",
                (nm < 0 ? -nm : nm) / 1000000, (nm < 0 ? -nm : nm) % 1000000);
  return buf;
}

// The same without trailing zeros, as drill coordinates are usually written.
std::string ShortMm(int64_t nm) {
  std::string s = Mm(nm);
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s;
}

std::string Version() { return FERROLUME_VERSION; }

// One layer, collected and then written: the apertures are gathered while the draws and flashes
// are recorded, so the file can give the format, then every aperture, then the draws, then the
// flashes.
class TGerberWriter {
 public:
  TGerberWriter(const char* fileFunction, const char* polarity)
      : Function_(fileFunction), Polarity_(polarity) {}

  int Circle(int64_t diameter) { return Aperture("C," + Mm(diameter)); }
  int Square(int64_t side) { return Aperture("R," + Mm(side) + "X" + Mm(side)); }

  void Draw(int aperture, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    Select(Draws_, aperture, LastDraw_);
    Draws_ += Point(x0, y0) + "D02*\n" + Point(x1, y1) + "D01*\n";
  }
  void Flash(int aperture, int64_t x, int64_t y) {
    Select(Flashes_, aperture, LastFlash_);
    Flashes_ += Point(x, y) + "D03*\n";
  }

  std::string Text() const {
    std::string out = "%TF.GenerationSoftware,Ferrolume,ferrolume," + Version() + "*%\n";
    out += "%TF.FileFunction," + Function_ + "*%\n";
    out += "%TF.FilePolarity," + Polarity_ + "*%\n";
    out += "%FSLAX46Y46*%\n%MOMM*%\n%LPD*%\n";
    for (size_t i = 0; i < Apertures_.size(); ++i)
      out += "%ADD" + std::to_string(10 + i) + Apertures_[i] + "*%\n";
    out += "G01*\n";
    out += Draws_;
    out += Flashes_;
    out += "M02*\n";
    return out;
  }

 private:
  int Aperture(const std::string& shape) {
    const auto found = std::find(Apertures_.begin(), Apertures_.end(), shape);
    if (found != Apertures_.end()) return static_cast<int>(found - Apertures_.begin());
    Apertures_.push_back(shape);
    return static_cast<int>(Apertures_.size() - 1);
  }
  static void Select(std::string& out, int aperture, int& last) {
    if (aperture != last) out += "D" + std::to_string(10 + aperture) + "*\n";
    last = aperture;
  }
  // Whole nanometres are the 4.6 format's integers; y turns round, up being up in Gerber.
  static std::string Point(int64_t x, int64_t y) {
    return "X" + std::to_string(x) + "Y" + std::to_string(-y);
  }

  std::string Function_, Polarity_;
  std::vector<std::string> Apertures_;
  std::string Draws_, Flashes_;
  int LastDraw_ = -1, LastFlash_ = -1;
};

int PadAperture(TGerberWriter& gerber, const TPadShape& pad, int64_t size) {
  return pad.Square ? gerber.Square(size) : gerber.Circle(size);
}

}  // namespace

std::string GerberCopper(const TCopperShapes& copper) {
  TGerberWriter gerber("Copper,L1,Bot", "Positive");
  for (const TWireShape& w : copper.Wires) {
    const int a = gerber.Circle(w.Width);
    // A wire of no length is the round dot its pen leaves.
    if (w.X0 == w.X1 && w.Y0 == w.Y1)
      gerber.Flash(a, w.X0, w.Y0);
    else
      gerber.Draw(a, w.X0, w.Y0, w.X1, w.Y1);
  }
  for (const TPadShape& p : copper.Pads) gerber.Flash(PadAperture(gerber, p, p.Outer), p.X, p.Y);
  return gerber.Text();
}

std::string GerberMask(const TCopperShapes& copper) {
  // The openings in the mask are what is flashed, so the layer is negative.
  TGerberWriter gerber("Soldermask,Bot", "Negative");
  for (const TPadShape& p : copper.Pads)
    gerber.Flash(PadAperture(gerber, p, p.Outer + 2 * kMaskGrowthNm), p.X, p.Y);
  return gerber.Text();
}

std::string GerberOutline(const TCopperShapes& copper) {
  TGerberWriter gerber("Profile,NP", "Positive");
  if (!copper.Empty()) {
    const int a = gerber.Circle(kOutlineWidthNm);
    const int64_t l = copper.Left, t = copper.Top, r = copper.Right, b = copper.Bottom;
    gerber.Draw(a, l, t, r, t);
    gerber.Draw(a, r, t, r, b);
    gerber.Draw(a, r, b, l, b);
    gerber.Draw(a, l, b, l, t);
  }
  return gerber.Text();
}

std::string ExcellonDrill(const TCopperShapes& copper) {
  // One tool per hole diameter, smallest first; the hits of each in list order.
  std::map<int32_t, std::vector<const TPadShape*>> tools;
  for (const TPadShape& p : copper.Pads)
    if (p.HoleUnits > 0) tools[p.HoleUnits].push_back(&p);
  std::string out = "M48\n; DRILL file Ferrolume " + Version() +
                    "\n; #@! TF.FileFunction,NonPlated,1,1,NPTH\n"
                    "; FORMAT={-:-/ absolute / metric / decimal}\nFMAT,2\nMETRIC\n";
  int n = 1;
  for (const auto& tool : tools) {
    // Three decimals of a millimetre, rounded: a board unit is 158.75 µm.
    const int64_t um = (int64_t{tool.first} * NanometresPerUnit + 500) / 1000;
    char buf[48];
    std::snprintf(buf, sizeof buf, "T%dC%" PRId64 ".%03" PRId64 "\n", n++, um / 1000, um % 1000);
    out += buf;
  }
  out += "%\nG90\nG05\n";
  n = 1;
  for (const auto& tool : tools) {
    out += "T" + std::to_string(n++) + "\n";
    for (const TPadShape* p : tool.second) out += "X" + ShortMm(p->X) + "Y" + ShortMm(-p->Y) + "\n";
  }
  out += "M30\n";
  return out;
}

bool IsFabricationFileName(const QString& fileName) {
  const QString ext = FileExtensionOf(fileName);
  return ext == QLatin1String(".zip") || ext == QLatin1String(".gbr") ||
         ext == QLatin1String(".drl");
}

std::vector<std::string> ExportFabricationFiles(const TElementList& list, const QString& fileName) {
  const QString ext = FileExtensionOf(fileName);
  if (!IsFabricationFileName(fileName)) throw EBoardError("Invalid file extention");
  const TCopperShapes copper = CollectCopper(list);
  if (ext == QLatin1String(".gbr")) {
    WriteBoardFile(fileName, GerberCopper(copper));
  } else if (ext == QLatin1String(".drl")) {
    WriteBoardFile(fileName, ExcellonDrill(copper));
  } else {
    const std::string base = QFileInfo(fileName).completeBaseName().toUtf8().toStdString();
    TZipWriter zip;
    zip.Add(base + "-B_Cu.gbr", GerberCopper(copper));
    zip.Add(base + "-B_Mask.gbr", GerberMask(copper));
    zip.Add(base + "-Edge_Cuts.gbr", GerberOutline(copper));
    zip.Add(base + ".drl", ExcellonDrill(copper));
    WriteBoardFile(fileName, zip.Finish());
  }
  return copper.LeftOut;
}

std::string LeftOutMessage(const std::vector<std::string>& lines) {
  if (lines.empty()) return {};
  std::string message = lines.size() == 1
                            ? "One element cannot be made and was left out of the files:"
                            : std::to_string(lines.size()) +
                                  " elements cannot be made and were left out of the files:";
  // A board read from a damaged file could name thousands; the first few tell the user where.
  constexpr size_t shown = 20;
  for (size_t i = 0; i < lines.size() && i < shown; ++i) message += "\n" + lines[i];
  if (lines.size() > shown) message += "\nand " + std::to_string(lines.size() - shown) + " more";
  return message;
}
