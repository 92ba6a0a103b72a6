#include "TFabrication.h"

#include <QFileInfo>
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <map>

#include "TBoardError.h"
#include "TBoardFile.h"
#include "TBoardFiles.h"
#include "TCopperFill.h"
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

// The same without trailing zeros, as drill coordinates are usually written, but never without
// its decimal point: a reader takes a bare "127" in the file's zero mode, as 0.0127 mm or worse.
std::string ShortMm(int64_t nm) {
  std::string s = Mm(nm);
  while (s.back() == '0' && s[s.size() - 2] != '.') s.pop_back();
  return s;
}

// Half a board unit in nanometres: the model's copper is kept in half units.
constexpr int64_t kNmPerHalf = NanometresPerUnit / 2;

// Gerber's 4.6 format holds ten digits of nanometres; the edge and the solder mask still have to
// fit around the farthest copper.
constexpr int64_t kFarthestNm = 9'990'000'000;

std::string Version() { return FERROLUME_VERSION; }

// One layer, collected and then written: the apertures are gathered while the draws and flashes
// are recorded, so the file can give the format, then every aperture, then the draws, then the
// flashes.
class TGerberWriter {
 public:
  TGerberWriter(const char* fileFunction, const char* polarity)
      : Function_(fileFunction), Polarity_(polarity) {}

  int Circle(int64_t diameter) { return Aperture("C," + Mm(diameter)); }
  int Square(int64_t side) { return Rectangle(side, side); }
  int Rectangle(int64_t width, int64_t height) {
    return Aperture("R," + Mm(width) + "X" + Mm(height));
  }
  int Obround(int64_t width, int64_t height) {
    return Aperture("O," + Mm(width) + "X" + Mm(height));
  }
  // A rectangle with rounded corners, from the macro: the rectangle less its corners across and
  // down, and a disc in each corner.
  int RoundRect(int64_t width, int64_t height, int64_t radius) {
    Macros_ =
        "%AMRoundRect*\n"
        "21,1,$1,$2-2x$3,0,0,0*\n"
        "21,1,$1-2x$3,$2,0,0,0*\n"
        "1,1,2x$3,$1/2-$3,$2/2-$3*\n"
        "1,1,2x$3,$3-$1/2,$2/2-$3*\n"
        "1,1,2x$3,$3-$1/2,$3-$2/2*\n"
        "1,1,2x$3,$1/2-$3,$3-$2/2*%\n";
    return Aperture("RoundRect," + Mm(width) + "X" + Mm(height) + "X" + Mm(radius));
  }

  void Draw(int aperture, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    Select(Draws_, aperture, LastDraw_);
    Draws_ += Point(x0, y0) + "D02*\n" + Point(x1, y1) + "D01*\n";
  }
  // A closed path filled as a region, dark or cleared out of what is there already.
  void Region(const TFillPath& path, bool dark) {
    if (path.size() < 3) return;
    if (dark != RegionDark_) Regions_ += dark ? "%LPD*%\n" : "%LPC*%\n";
    RegionDark_ = dark;
    Regions_ += "G36*\n" + Point(path[0].X, path[0].Y) + "D02*\n";
    for (size_t k = 1; k < path.size(); ++k) Regions_ += Point(path[k].X, path[k].Y) + "D01*\n";
    Regions_ += Point(path[0].X, path[0].Y) + "D01*\nG37*\n";
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
    out += Macros_;
    for (size_t i = 0; i < Apertures_.size(); ++i)
      out += "%ADD" + std::to_string(10 + i) + Apertures_[i] + "*%\n";
    out += "G01*\n";
    out += Regions_;
    if (!RegionDark_) out += "%LPD*%\n";
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
  // Whole nanometres are the 4.6 format's integers, written whole with the leading zeros left
  // out, so 127 mm is X127000000 and no reader takes it for less; y turns round, up being up in
  // Gerber.
  static std::string Point(int64_t x, int64_t y) {
    return "X" + std::to_string(x) + "Y" + std::to_string(-y);
  }

  std::string Function_, Polarity_, Macros_;
  std::vector<std::string> Apertures_;
  std::string Regions_, Draws_, Flashes_;
  bool RegionDark_ = true;
  int LastDraw_ = -1, LastFlash_ = -1;
};

int PadAperture(TGerberWriter& gerber, const TCopperShape& pad, int64_t size) {
  return pad.Kind == ckSquare ? gerber.Square(size) : gerber.Circle(size);
}

bool IsPad(const TCopperShape& s) { return s.Kind == ckRound || s.Kind == ckSquare; }

// A surface-mount land grown by so much on every side, its corners' radius with it.
int LandAperture(TGerberWriter& gerber, const TSmdLand& land, int64_t growth) {
  const int64_t w = land.Width + 2 * growth, h = land.Height + 2 * growth;
  if (land.Radius <= 0) return gerber.Rectangle(w, h);
  const int64_t r = land.Radius + growth;
  if (2 * r == std::min(w, h)) return gerber.Obround(w, h);
  return gerber.RoundRect(w, h, r);
}

void FlashLands(TGerberWriter& gerber, const TFabricationBoard& board, int64_t growth) {
  for (const TSmdLand& land : board.Lands)
    gerber.Flash(LandAperture(gerber, land, growth), land.X, land.Y);
}

// Whether a box in half units lies where Gerber's coordinates reach, with the mask and the edge
// around it.
bool Fits(const THalfBox& box) {
  return -kFarthestNm <= box.Left * kNmPerHalf && box.Right * kNmPerHalf <= kFarthestNm &&
         -kFarthestNm <= box.Top * kNmPerHalf && box.Bottom * kNmPerHalf <= kFarthestNm;
}

// Twice the area a path encloses, in square nanometres (long double: a board-sized fill's
// exceeds 64 bits), whichever way round it goes.
long double TwiceArea(const TFillPath& path) {
  long double sum = 0;
  for (size_t k = 0; k < path.size(); ++k) {
    const TFillPoint a = path[k], b = path[(k + 1) % path.size()];
    sum += static_cast<long double>(a.X) * b.Y - static_cast<long double>(b.X) * a.Y;
  }
  return sum < 0 ? -sum : sum;
}

}  // namespace

TFabricationBoard FabricationBoard(const TElementList& list) {
  TFabricationBoard board;
  THalfBox all;
  auto widen = [](THalfBox& to, const THalfBox& box) {
    to = to.Empty() ? box
                    : THalfBox{std::min(to.Left, box.Left), std::min(to.Top, box.Top),
                               std::max(to.Right, box.Right), std::max(to.Bottom, box.Bottom)};
  };
  std::vector<TCopperShape> pieces;
  UpdateFills(list);
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement* e = list.Items(i);
    if (e->Kind() == ekFill) {
      // A fill that holds no copper puts nothing in the files, as one that joins nothing; one
      // beyond the files' reach is left out whole.
      const std::vector<TFillArea>& areas = static_cast<const TCopperFill*>(e)->Areas();
      bool fits = true;
      for (const TFillArea& a : areas)
        for (const TFillPoint& q : a.Outer)
          fits = fits && -kFarthestNm <= q.X && q.X <= kFarthestNm && -kFarthestNm <= q.Y &&
                 q.Y <= kFarthestNm;
      if (fits)
        board.Fills.insert(board.Fills.end(), areas.begin(), areas.end());
      else
        board.LeftOut.push_back(e->ToText());
      continue;
    }
    pieces.clear();
    AppendCopperOf(*e, pieces);
    // A text goes in whole or not at all: its strokes are tracks, drawn as wires are.
    THalfBox box;
    for (const TCopperShape& s : pieces)
      if (const THalfBox b = ExtentOf(s, true); !b.Empty()) widen(box, b);
    if (box.Empty() || !Fits(box)) {
      board.LeftOut.push_back(e->ToText());
      continue;
    }
    for (const TCopperShape& s : pieces) {
      if (s.Kind == ckRect)
        // A surface-mount land: its core's half sides grown by the corner radius, in half units,
        // are its whole sides in board units.
        board.Lands.push_back({s.AX * kNmPerHalf, s.AY * kNmPerHalf,
                               (s.HalfX + s.Radius) * NanometresPerUnit,
                               (s.HalfY + s.Radius) * NanometresPerUnit, s.Radius * kNmPerHalf});
      else
        board.Shapes.push_back(s);
    }
    widen(all, box);
  }
  std::vector<std::pair<long double, size_t>> order;
  for (size_t k = 0; k < board.Fills.size(); ++k)
    order.push_back({-TwiceArea(board.Fills[k].Outer), k});
  std::sort(order.begin(), order.end());
  std::vector<TFillArea> sorted;
  for (const auto& o : order) sorted.push_back(std::move(board.Fills[o.second]));
  board.Fills = std::move(sorted);
  if (!all.Empty()) {
    board.Left = all.Left * kNmPerHalf - OutlineMarginNm;
    board.Top = all.Top * kNmPerHalf - OutlineMarginNm;
    board.Right = all.Right * kNmPerHalf + OutlineMarginNm;
    board.Bottom = all.Bottom * kNmPerHalf + OutlineMarginNm;
  }
  return board;
}

std::string GerberCopper(const TFabricationBoard& board) {
  TGerberWriter gerber("Copper,L1,Bot", "Positive");
  for (const TFillArea& area : board.Fills) {
    gerber.Region(area.Outer, true);
    for (const TFillPath& hole : area.Holes) gerber.Region(hole, false);
  }
  for (const TCopperShape& s : board.Shapes) {
    if (s.Kind != ckTrack) continue;
    // The width in board units is the half width in half units.
    const int a = gerber.Circle(std::max(s.Radius * NanometresPerUnit, HairlineNm));
    // A wire of no length is the round dot its pen leaves.
    if (s.AX == s.BX && s.AY == s.BY)
      gerber.Flash(a, s.AX * kNmPerHalf, s.AY * kNmPerHalf);
    else
      gerber.Draw(a, s.AX * kNmPerHalf, s.AY * kNmPerHalf, s.BX * kNmPerHalf, s.BY * kNmPerHalf);
  }
  for (const TCopperShape& s : board.Shapes)
    if (IsPad(s))
      gerber.Flash(PadAperture(gerber, s, s.Radius * NanometresPerUnit), s.AX * kNmPerHalf,
                   s.AY * kNmPerHalf);
  FlashLands(gerber, board, 0);
  return gerber.Text();
}

std::string GerberMask(const TFabricationBoard& board) {
  // The openings in the mask are what is flashed, so the layer is negative.
  TGerberWriter gerber("Soldermask,Bot", "Negative");
  for (const TCopperShape& s : board.Shapes)
    if (IsPad(s))
      gerber.Flash(PadAperture(gerber, s, s.Radius * NanometresPerUnit + 2 * kMaskGrowthNm),
                   s.AX * kNmPerHalf, s.AY * kNmPerHalf);
  FlashLands(gerber, board, kMaskGrowthNm);
  return gerber.Text();
}

std::string GerberPaste(const TFabricationBoard& board) {
  TGerberWriter gerber("Paste,Bot", "Positive");
  FlashLands(gerber, board, 0);
  return gerber.Text();
}

std::string GerberOutline(const TFabricationBoard& board) {
  TGerberWriter gerber("Profile,NP", "Positive");
  if (!board.Empty()) {
    const int a = gerber.Circle(kOutlineWidthNm);
    const int64_t l = board.Left, t = board.Top, r = board.Right, b = board.Bottom;
    gerber.Draw(a, l, t, r, t);
    gerber.Draw(a, r, t, r, b);
    gerber.Draw(a, r, b, l, b);
    gerber.Draw(a, l, b, l, t);
  }
  return gerber.Text();
}

std::string ExcellonDrill(const TFabricationBoard& board) {
  // One tool per hole diameter, smallest first; the hits of each in list order. A hole's size in
  // board units is its radius in half units.
  std::map<int64_t, std::vector<const TCopperShape*>> tools;
  for (const TCopperShape& s : board.Shapes)
    if (s.HoleRadius > 0) tools[s.HoleRadius].push_back(&s);
  // Every coordinate carries its decimal point, so the zero mode is only said for readers that
  // insist on one; G90 too is said before any hit.
  std::string out = "M48\n; DRILL file Ferrolume " + Version() +
                    "\n; #@! TF.FileFunction,NonPlated,1,1,NPTH\n"
                    "; FORMAT={-:-/ absolute / metric / decimal}\nFMAT,2\nMETRIC,LZ\nG90\n";
  int n = 1;
  for (const auto& tool : tools) {
    // Three decimals of a millimetre, rounded: a board unit is 158.75 µm.
    const int64_t um = (tool.first * NanometresPerUnit + 500) / 1000;
    char buf[48];
    std::snprintf(buf, sizeof buf, "T%dC%" PRId64 ".%03" PRId64 "\n", n++, um / 1000, um % 1000);
    out += buf;
  }
  out += "%\nG05\n";
  n = 1;
  for (const auto& tool : tools) {
    out += "T" + std::to_string(n++) + "\n";
    for (const TCopperShape* s : tool.second)
      out += "X" + ShortMm(s->AX * kNmPerHalf) + "Y" + ShortMm(-s->AY * kNmPerHalf) + "\n";
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
  const TFabricationBoard copper = FabricationBoard(list);
  if (ext == QLatin1String(".gbr")) {
    WriteBoardFile(fileName, GerberCopper(copper));
  } else if (ext == QLatin1String(".drl")) {
    WriteBoardFile(fileName, ExcellonDrill(copper));
  } else {
    const std::string base = QFileInfo(fileName).completeBaseName().toUtf8().toStdString();
    TZipWriter zip;
    zip.Add(base + "-B_Cu.gbr", GerberCopper(copper));
    zip.Add(base + "-B_Mask.gbr", GerberMask(copper));
    if (!copper.Lands.empty()) zip.Add(base + "-B_Paste.gbr", GerberPaste(copper));
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
