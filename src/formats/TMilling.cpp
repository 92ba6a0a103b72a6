#include "TMilling.h"

#include <QFileInfo>
#include <QSettings>
#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <map>

#include "TBoardCheck.h"
#include "TBoardFile.h"
#include "TFabrication.h"

namespace {

// Curves become lines within 5 µm of the true curve, always on the side away from the copper.
constexpr int64_t kCurveTolerance = 5000;
// The G-code's four decimals move a point by up to 71 nm: the paths stand that much further out.
constexpr int64_t kRoundingMargin = 100;

int64_t Nm(double mm) { return std::llround(mm * 1e6); }

// A length in millimetres with four decimals, never "-0.0000".
std::string Mm(double mm) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.4f", mm);
  std::string s = buf;
  if (s == "-0.0000") s = "0.0000";
  return s;
}

// A size in whole nanometres as millimetres with four decimals, halves rounded up, exactly.
std::string MmOf(int64_t nm) {
  const int64_t tenths = (nm + 50) / 100;
  char buf[48];
  std::snprintf(buf, sizeof buf, "%" PRId64 ".%04" PRId64, tenths / 10000, tenths % 10000);
  return buf;
}

// Where the copper is: the pieces of wires, pads and text, the surface-mount pads as the
// rectangles they are, and the fills; and the board's edge.
struct TCopperToMill {
  std::vector<TCopperShape> Pieces;
  TFabricationBoard Board;
};

TCopperToMill CopperToMill(const TElementList& list) {
  TCopperToMill c;
  c.Board = FabricationBoard(list);
  c.Pieces = c.Board.Shapes;
  constexpr int64_t k = NanometresPerHalfUnit;
  for (const TSmdLand& land : c.Board.Lands) {
    TCopperShape s;
    s.Kind = ckRect;
    s.AX = s.BX = land.X / k;
    s.AY = s.BY = land.Y / k;
    s.Radius = land.Radius / k;
    s.HalfX = land.Width / 2 / k - s.Radius;
    s.HalfY = land.Height / 2 / k - s.Radius;
    c.Pieces.push_back(s);
  }
  return c;
}

// How far from the copper each isolation pass runs, in nanometres.
std::vector<int64_t> PassDistances(const TMillProcess& process) {
  const double cut = process.CutWidth();
  std::vector<int64_t> out;
  for (int pass = 0; pass < process.Passes; ++pass)
    out.push_back(int64_t(std::ceil((cut / 2 + pass * cut * (1 - process.Overlap / 100)) * 1e6)) +
                  kRoundingMargin);
  return out;
}

std::vector<TFillPath> PathsAround(const TCopperToMill& copper, const TMillProcess& process) {
  std::vector<TFillPath> out;
  if (copper.Pieces.empty() && copper.Board.Fills.empty()) return out;
  for (int64_t d : PassDistances(process))
    for (TFillArea& area : GrownCopper(copper.Pieces, copper.Board.Fills, d, kCurveTolerance)) {
      out.push_back(std::move(area.Outer));
      for (TFillPath& hole : area.Holes) out.push_back(std::move(hole));
    }
  return out;
}

// G-code for the mill, in its own coordinates: millimetres from the lower left corner of the
// board's edge, y upwards, x turned round when the board is milled mirrored.
class TGCode {
 public:
  TGCode(const TFabricationBoard& board, const TMillProcess& process)
      : Board_(board), Process_(process) {}

  void Comment(const std::string& text) {
    // Neither GRBL nor LinuxCNC take brackets inside a comment, and a controller may refuse
    // any byte beyond plain ASCII (a board's name in UTF-8).
    std::string t = text;
    for (char& c : t)
      if (c == '(' || c == ')')
        c = ' ';
      else if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126)
        c = '_';
    Out_ += "(" + t + ")\n";
  }
  void Line(const std::string& text) { Out_ += text + "\n"; }
  void Rapid(TFillPoint p) { Line("G0 X" + Mm(X(p.X)) + " Y" + Mm(Y(p.Y))); }
  void Cut(TFillPoint p) { Line("G1 X" + Mm(X(p.X)) + " Y" + Mm(Y(p.Y)) + Feed()); }
  void RapidZ(double z) { Line("G0 Z" + Mm(z)); }
  void PlungeZ(double z) {
    Line("G1 Z" + Mm(z) + " F" + Mm(Process_.Plunge));
    Feed_ = -1;
  }
  void Start() {
    Line("G21 G90 G17");
    RapidZ(Process_.SafeHeight);
    Spindle();
  }
  void Spindle() { Line("M3 S" + std::to_string(Process_.Spindle)); }
  std::string Finish() {
    RapidZ(Process_.SafeHeight);
    Line("M5");
    Line("M30");
    return std::move(Out_);
  }

 private:
  double X(int64_t x) const { return (Process_.Mirror ? Board_.Right - x : x - Board_.Left) / 1e6; }
  double Y(int64_t y) const { return (Board_.Bottom - y) / 1e6; }
  std::string Feed() {
    if (Feed_ == Process_.Feed) return {};
    Feed_ = Process_.Feed;
    return " F" + Mm(Feed_);
  }

  const TFabricationBoard& Board_;
  const TMillProcess& Process_;
  std::string Out_;
  double Feed_ = -1;
};

// The header every job starts with: the board, the bit and every setting.
void Header(TGCode& g, const std::string& job, const std::string& boardName,
            const TMillProcess& p) {
  g.Comment("Ferrolume " + job + " for " + boardName);
  g.Comment("origin: lower left corner of the board edge, Z0 on the copper surface" +
            std::string(p.Mirror ? ", mirrored: copper side up" : ""));
  if (p.Bit == mbFlat)
    g.Comment("isolation bit: flat, " + Mm(p.BitDiameter) + " mm");
  else
    g.Comment("isolation bit: V " + Mm(p.VAngle) + " deg, tip " + Mm(p.VTip) + " mm");
  g.Comment("cut width " + Mm(p.CutWidth()) + " mm, cut depth " + Mm(p.CutDepth) + " mm, passes " +
            std::to_string(p.Passes) + ", overlap " + Mm(p.Overlap) + " %");
  g.Comment("feed " + Mm(p.Feed) + " mm/min, plunge " + Mm(p.Plunge) + " mm/min, spindle " +
            std::to_string(p.Spindle) + " rpm");
  g.Comment("safe height " + Mm(p.SafeHeight) + " mm, travel height " + Mm(p.TravelHeight) +
            " mm, drill depth " + Mm(p.DrillDepth) + " mm");
  g.Comment("outline bit " + Mm(p.OutlineBit) + " mm, board " + Mm(p.BoardThickness) +
            " mm thick, " + Mm(p.DepthPerPass) + " mm per pass, " + std::to_string(p.Tabs) +
            " tabs " + Mm(p.TabWidth) + " mm wide");
}

std::string IsolationJob(const TCopperToMill& copper, const TMillProcess& p,
                         const std::string& boardName) {
  TGCode g(copper.Board, p);
  Header(g, "isolation", boardName, p);
  g.Start();
  for (const TFillPath& path : PathsAround(copper, p)) {
    if (path.size() < 2) continue;
    g.RapidZ(p.TravelHeight);
    g.Rapid(path.front());
    g.PlungeZ(-p.CutDepth);
    for (size_t i = 1; i < path.size(); ++i) g.Cut(path[i]);
    g.Cut(path.front());
    g.RapidZ(p.TravelHeight);
  }
  return g.Finish();
}

std::string DrillJob(const TCopperToMill& copper, const TMillProcess& p,
                     const std::string& boardName) {
  // Holes by diameter in nanometres, smallest first.
  std::map<int64_t, std::vector<TFillPoint>> sizes;
  for (const TCopperShape& s : copper.Board.Shapes)
    if (s.HoleRadius > 0)
      sizes[s.HoleRadius * NanometresPerUnit].push_back(
          {s.AX * NanometresPerHalfUnit, s.AY * NanometresPerHalfUnit});
  if (sizes.empty()) return {};
  TGCode g(copper.Board, p);
  Header(g, "drilling", boardName, p);
  std::string list = "drills:";
  for (const auto& size : sizes) list += " " + MmOf(size.first);
  g.Comment(list + " mm");
  bool first = true;
  for (const auto& [diameter, holes] : sizes) {
    const std::string name = "drill " + MmOf(diameter) + " mm";
    if (first) {
      g.Comment(name);
      g.Line("G21 G90 G17");
      g.RapidZ(p.SafeHeight);
      g.Spindle();
    } else {
      g.RapidZ(p.SafeHeight);
      g.Line("M5");
      g.Comment("change to " + name);
      g.Line("M0");
      g.Spindle();
    }
    first = false;
    for (const TFillPoint& hole : holes) {
      g.RapidZ(p.TravelHeight);
      g.Rapid(hole);
      g.PlungeZ(-p.DrillDepth);
      g.RapidZ(p.TravelHeight);
    }
  }
  return g.Finish();
}

std::string OutlineJob(const TCopperToMill& copper, const TMillProcess& p,
                       const std::string& boardName) {
  const TFabricationBoard& b = copper.Board;
  TGCode g(b, p);
  Header(g, "board outline", boardName, p);
  g.Start();
  if (b.Left <= b.Right) {
    // The bit runs outside the edge by its radius, so the board keeps its size and its corners.
    const int64_t r = Nm(p.OutlineBit / 2);
    const TFillPath corners{{b.Left - r, b.Bottom + r},
                            {b.Right + r, b.Bottom + r},
                            {b.Right + r, b.Top - r},
                            {b.Left - r, b.Top - r}};
    const int64_t w = b.Right - b.Left + 2 * r, h = b.Bottom - b.Top + 2 * r;
    const int64_t perimeter = 2 * (w + h);
    // Each tab leaves TabWidth of board uncut between the two grooves: the bit lifts over it for
    // that plus its own diameter. Tabs that would not fit are left out.
    const int64_t lift = Nm(p.TabWidth + p.OutlineBit);
    std::vector<std::pair<int64_t, int64_t>> tabs;
    if (p.Tabs > 0 && p.TabWidth > 0 && lift * p.Tabs < perimeter)
      for (int t = 0; t < p.Tabs; ++t) {
        const int64_t mid = (2 * t + 1) * perimeter / (2 * p.Tabs);
        int64_t first = mid - lift / 2, second = first + lift;
        // A tab across a corner would hold the board by its weakest point: it moves along to
        // the side its middle lies on.
        for (int64_t corner : {w, w + h, 2 * w + h})
          if (first < corner && corner < second) {
            if (mid < corner)
              first = corner - lift, second = corner;
            else
              first = corner, second = corner + lift;
          }
        tabs.push_back({first, second});
      }
    // Where the walk round the rectangle changes: its corners and the tabs' ends.
    std::vector<int64_t> stops{0, w, w + h, 2 * w + h, perimeter};
    for (const auto& t : tabs) stops.insert(stops.end(), {t.first, t.second});
    std::sort(stops.begin(), stops.end());
    auto at = [&](int64_t s) -> TFillPoint {
      const TFillPoint &a = corners[0], &c = corners[2];
      if (s <= w) return {a.X + s, a.Y};
      if (s <= w + h) return {c.X, a.Y - (s - w)};
      if (s <= 2 * w + h) return {c.X - (s - w - h), c.Y};
      return {a.X, c.Y + (s - 2 * w - h)};
    };
    auto inTab = [&](int64_t s0, int64_t s1) {
      return std::any_of(tabs.begin(), tabs.end(),
                         [&](const auto& t) { return t.first <= s0 && s1 <= t.second; });
    };
    // The tabs are half the board's thickness high.
    const double tabTop = -p.BoardThickness / 2;
    const int passes = int(std::ceil(p.BoardThickness / p.DepthPerPass - 1e-9));
    g.RapidZ(p.TravelHeight);
    g.Rapid(at(0));
    for (int pass = 1; pass <= passes; ++pass) {
      const double z = -std::min(pass * p.DepthPerPass, p.BoardThickness);
      g.PlungeZ(z);
      for (size_t i = 0; i + 1 < stops.size(); ++i) {
        if (stops[i] == stops[i + 1]) continue;
        if (z < tabTop && inTab(stops[i], stops[i + 1])) {
          g.PlungeZ(tabTop);
          g.Cut(at(stops[i + 1]));
          g.PlungeZ(z);
        } else {
          g.Cut(at(stops[i + 1]));
        }
      }
    }
    g.RapidZ(p.TravelHeight);
  }
  return g.Finish();
}

}  // namespace

TMillingJobs MillingJobs(const TElementList& list, const TMillProcess& process,
                         const std::string& boardName) {
  const TCopperToMill copper = CopperToMill(list);
  return {IsolationJob(copper, process, boardName), DrillJob(copper, process, boardName),
          OutlineJob(copper, process, boardName)};
}

std::vector<TFillPath> IsolationPaths(const TElementList& list, const TMillProcess& process) {
  return PathsAround(CopperToMill(list), process);
}

std::vector<TFillPoint> IsolationGaps(const TElementList& list, const TMillProcess& process) {
  TCheckRules rules;
  rules.Clearance = 0;
  rules.CutWidth = process.CutWidth();
  std::vector<TProblem> problems;
  for (const TProblem& p : CheckBoard(list, rules))
    if (p.Kind == pkIsolation) problems.push_back(p);
  std::vector<TFillPoint> out;
  for (const TProblem& p : problems)
    out.push_back({std::llround(p.X * NanometresPerUnit), std::llround(p.Y * NanometresPerUnit)});
  return out;
}

namespace {

// Every field with its key, so that loading and saving cannot miss one.
template <typename F>
void EachField(TMillProcess& p, F&& f) {
  f("Making", p.Making);
  f("EtchCompensation", p.EtchCompensation);
  f("Bit", p.Bit);
  f("BitDiameter", p.BitDiameter);
  f("VAngle", p.VAngle);
  f("VTip", p.VTip);
  f("CutDepth", p.CutDepth);
  f("Passes", p.Passes);
  f("Overlap", p.Overlap);
  f("Feed", p.Feed);
  f("Plunge", p.Plunge);
  f("Spindle", p.Spindle);
  f("SafeHeight", p.SafeHeight);
  f("TravelHeight", p.TravelHeight);
  f("DrillDepth", p.DrillDepth);
  f("OutlineBit", p.OutlineBit);
  f("BoardThickness", p.BoardThickness);
  f("DepthPerPass", p.DepthPerPass);
  f("Tabs", p.Tabs);
  f("TabWidth", p.TabWidth);
  f("Mirror", p.Mirror);
}

const char* const kGroup = "MillProcess";

}  // namespace

TMillProcess LoadMillProcess(QSettings& settings) {
  settings.beginGroup(QLatin1String(kGroup));
  TMillProcess p;
  const TMillProcess defaults;
  EachField(p, [&](const char* key, auto& field) {
    using T = std::decay_t<decltype(field)>;
    const QVariant v = settings.value(QLatin1String(key));
    if (!v.isValid()) return;
    bool ok = true;
    T read{};
    if constexpr (std::is_same_v<T, bool>)
      read = v.toBool();
    else if constexpr (std::is_same_v<T, double>)
      read = v.toDouble(&ok);
    else
      read = static_cast<T>(v.toInt(&ok));
    if (!ok) return;
    // A field out of its range reads as the default, whatever the others say.
    TMillProcess alone = defaults;
    TMillProcess* const base = &alone;
    EachField(*base, [&](const char* other, auto& f) {
      if constexpr (std::is_same_v<std::decay_t<decltype(f)>, T>)
        if (std::string(other) == key) f = read;
    });
    if (alone.Valid()) field = read;
  });
  settings.endGroup();
  return p.Valid() ? p : defaults;
}

void SaveMillProcess(QSettings& settings, const TMillProcess& process) {
  settings.beginGroup(QLatin1String(kGroup));
  TMillProcess p = process;
  EachField(p, [&](const char* key, const auto& field) {
    using T = std::decay_t<decltype(field)>;
    if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, double>)
      settings.setValue(QLatin1String(key), field);
    else
      settings.setValue(QLatin1String(key), static_cast<int>(field));
  });
  settings.endGroup();
}

bool IsMillingFileName(const QString& fileName) {
  return fileName.endsWith(QLatin1String(".nc"), Qt::CaseInsensitive);
}

void ExportMillingFiles(const TElementList& list, const TMillProcess& process,
                        const QString& fileName) {
  QString base = fileName;
  if (IsMillingFileName(base)) base.chop(3);
  const std::string name = QFileInfo(base).fileName().toUtf8().toStdString();
  const TMillingJobs jobs = MillingJobs(list, process, name);
  // Every file is written beside its target first; the targets are replaced only once all three
  // are on disk, so a failure leaves the old files as they were.
  TBoardFileWriter isolation(base + QLatin1String(".nc"));
  TBoardFileWriter outline(base + QLatin1String("-outline.nc"));
  isolation.Write(jobs.Isolation);
  outline.Write(jobs.Outline);
  if (jobs.Drill.empty()) {
    isolation.Commit();
    outline.Commit();
    return;
  }
  TBoardFileWriter drill(base + QLatin1String("-drill.nc"));
  drill.Write(jobs.Drill);
  isolation.Commit();
  drill.Commit();
  outline.Commit();
}
