// The milling jobs read back by a G-code reader of the tests' own, which sweeps the bit over a
// raster finer than the board's smallest detail: what the mill would leave of the copper.
#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <random>
#include <sstream>

#include "TBoardCheck.h"
#include "TCopperFill.h"
#include "TCopperText.h"
#include "TFabrication.h"
#include "TMilling.h"
#include "formats/BoardHelpers.h"
#include "model/FakeLayout.h"

namespace {

// A straight move of the bit in the mill's millimetres, and its depth.
struct TMove {
  double X0, Y0, X1, Y1, Z;
};

// What a job does: every move with the bit below the copper surface, every plunge's place and
// depth, the drills named in comments, and the program stops.
struct TJob {
  std::vector<TMove> Cuts;
  std::vector<TMove> Plunges;
  std::vector<std::string> Comments;
  int Stops = 0;
  bool Ended = false;
};

TJob Read(const std::string& gcode) {
  TJob job;
  std::istringstream in(gcode);
  std::string line;
  double x = 0, y = 0, z = 100;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    if (line.front() == '(') {
      job.Comments.push_back(line.substr(1, line.size() - 2));
      continue;
    }
    std::istringstream words(line);
    std::string w;
    double nx = x, ny = y, nz = z;
    bool move = false;
    while (words >> w) {
      const double v = std::atof(w.c_str() + 1);
      switch (w[0]) {
        case 'G':
          move = move || v == 0 || v == 1;
          EXPECT_TRUE(v == 0 || v == 1 || v == 21 || v == 90 || v == 17) << line;
          break;
        case 'X':
          nx = v;
          break;
        case 'Y':
          ny = v;
          break;
        case 'Z':
          nz = v;
          break;
        case 'M':
          job.Stops += v == 0;
          job.Ended = job.Ended || v == 30;
          break;
        case 'F':
        case 'S':
          break;
        default:
          ADD_FAILURE() << "unknown word in " << line;
      }
      // Four decimals on every number.
      if (std::string("XYZF").find(w[0]) != std::string::npos) {
        EXPECT_EQ(w.size() - w.find('.'), 5u) << line;
      }
    }
    if (!move) continue;
    if (nz < 0 && (nx != x || ny != y)) {
      // G0 never cuts.
      EXPECT_EQ(line.rfind("G1", 0), 0u) << line;
      job.Cuts.push_back({x, y, nx, ny, std::max(z, nz)});
    }
    if (nz < z && nz < 0) job.Plunges.push_back({nx, ny, nx, ny, nz});
    x = nx, y = ny, z = nz;
  }
  return job;
}

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
  const double dx = bx - ax, dy = by - ay, len = dx * dx + dy * dy;
  const double t = len > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / len, 0.0, 1.0) : 0;
  return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

// How far a board point in nanometres lies from a piece of copper (0 or less inside it), worked
// out on its own from the piece's sizes.
double PieceDistance(const TCopperShape& s, double x, double y) {
  constexpr double k = NanometresPerHalfUnit;
  const double ax = s.AX * k, ay = s.AY * k, r = s.Radius * k;
  switch (s.Kind) {
    case ckTrack:
    case ckRound:
      return SegmentDistance(x, y, ax, ay, s.BX * k, s.BY * k) - r;
    case ckSquare:
      return std::hypot(std::max(0.0, std::abs(x - ax) - r), std::max(0.0, std::abs(y - ay) - r));
    case ckRect: {
      const double dx = std::max(0.0, std::abs(x - ax) - s.HalfX * k);
      const double dy = std::max(0.0, std::abs(y - ay) - s.HalfY * k);
      return std::hypot(dx, dy) - r;
    }
    case ckNone:
      break;
  }
  return 1e300;
}
bool InPiece(const TCopperShape& s, double x, double y) { return PieceDistance(s, x, y) <= 0; }

// The board on a raster of STEP nanometres over its edge: which pixels hold copper, which the
// bit cuts, and the uncut regions that hold copper.
class TMillRaster {
 public:
  TMillRaster(const TElementList& list, bool mirrored, int64_t step)
      : Board_(FabricationBoard(list)), Mirrored_(mirrored), Step_(step) {
    W_ = int((Board_.Right - Board_.Left) / step), H_ = int((Board_.Bottom - Board_.Top) / step);
    Copper_.assign(size_t(W_) * H_, 0);
    Cut_.assign(size_t(W_) * H_, 0);
    std::vector<TCopperShape> pieces;
    for (int32_t i = 0; i < list.Count(); ++i)
      if (list.Items(i)->Kind() != ekFill) AppendCopperOf(*list.Items(i), pieces);
    const TFillMeasure fills(Board_.Fills);
    for (const TCopperShape& s : pieces) {
      if (s.Empty()) continue;
      const THalfBox b = ExtentOf(s, false);
      Each(b.Left * NanometresPerHalfUnit, b.Top * NanometresPerHalfUnit,
           b.Right * NanometresPerHalfUnit, b.Bottom * NanometresPerHalfUnit,
           [&](int i, int j, double x, double y) {
             if (InPiece(s, x, y)) Copper_[Index(i, j)] = 1;
           });
    }
    if (!Board_.Fills.empty())
      for (int j = 0; j < H_; ++j)
        for (int i = 0; i < W_; ++i)
          if (fills.Inside({int64_t(X(i)), int64_t(Y(j))})) Copper_[Index(i, j)] = 1;
  }

  // Sweeps a bit of that width along every cut.
  void Sweep(const TJob& job, double widthMm) {
    const double r = widthMm / 2 * 1e6;
    for (const TMove& m : job.Cuts) {
      const double ax = BoardX(m.X0), ay = BoardY(m.Y0), bx = BoardX(m.X1), by = BoardY(m.Y1);
      Each(std::min(ax, bx) - r, std::min(ay, by) - r, std::max(ax, bx) + r, std::max(ay, by) + r,
           [&](int i, int j, double x, double y) {
             if (SegmentDistance(x, y, ax, ay, bx, by) <= r) Cut_[Index(i, j)] = 1;
           });
    }
  }
  int CutCopper() const {
    int n = 0;
    for (size_t k = 0; k < Cut_.size(); ++k) n += Cut_[k] && Copper_[k];
    return n;
  }
  // The uncut regions (pixels joined across corners too) that hold copper.
  int CopperRegions() const {
    std::vector<uint8_t> seen(Cut_.size(), 0);
    int regions = 0;
    std::vector<int> stack;
    for (int start = 0; start < W_ * H_; ++start) {
      if (seen[size_t(start)] || Cut_[size_t(start)]) continue;
      bool copper = false;
      stack.push_back(start);
      seen[size_t(start)] = 1;
      while (!stack.empty()) {
        const int p = stack.back();
        stack.pop_back();
        copper = copper || Copper_[size_t(p)];
        const int i = p % W_, j = p / W_;
        for (int dj = -1; dj <= 1; ++dj)
          for (int di = -1; di <= 1; ++di) {
            const int ni = i + di, nj = j + dj;
            if (ni < 0 || nj < 0 || ni >= W_ || nj >= H_) continue;
            const size_t q = Index(ni, nj);
            if (seen[q] || Cut_[q]) continue;
            seen[q] = 1;
            stack.push_back(int(q));
          }
      }
      regions += copper;
    }
    return regions;
  }
  // A board point in nanometres from the mill's millimetres.
  double BoardX(double x) const {
    return Mirrored_ ? Board_.Right - x * 1e6 : Board_.Left + x * 1e6;
  }
  double BoardY(double y) const { return Board_.Bottom - y * 1e6; }
  const TFabricationBoard& Board() const { return Board_; }

 private:
  size_t Index(int i, int j) const { return size_t(j) * size_t(W_) + size_t(i); }
  double X(int i) const { return Board_.Left + (i + 0.5) * double(Step_); }
  double Y(int j) const { return Board_.Top + (j + 0.5) * double(Step_); }
  template <typename F>
  void Each(double left, double top, double right, double bottom, F&& f) {
    const int i0 = std::max(0, int(std::floor((left - Board_.Left) / Step_)));
    const int i1 = std::min(W_ - 1, int(std::ceil((right - Board_.Left) / Step_)));
    const int j0 = std::max(0, int(std::floor((top - Board_.Top) / Step_)));
    const int j1 = std::min(H_ - 1, int(std::ceil((bottom - Board_.Top) / Step_)));
    for (int j = j0; j <= j1; ++j)
      for (int i = i0; i <= i1; ++i) f(i, j, X(i), Y(j));
  }

  TFabricationBoard Board_;
  bool Mirrored_;
  int64_t Step_;
  int W_ = 0, H_ = 0;
  std::vector<uint8_t> Copper_, Cut_;
};

TMillProcess FlatBit(double diameter, int passes, double overlap) {
  TMillProcess p;
  p.Bit = mbFlat;
  p.BitDiameter = diameter;
  p.Passes = passes;
  p.Overlap = overlap;
  return p;
}

class MillingTest : public ::testing::Test {
 protected:
  // Two pads joined by a wire, a pad of its own with wires from it that run beside the first
  // wire 0.3175 mm away, an SMD pad with rounded corners, and a letter: four islands.
  void BuildBoard() {
    list.AddSolder({0, 0}, 4, 12, sgCircle);
    list.AddSolder({48, 0}, 6, 12, sgSquare);
    list.AddWire({0, 0}, {48, 0}, 8);
    list.AddSolder({0, 32}, 4, 12, sgCircle);
    list.AddWire({0, 32}, {12, 4}, 8);  // slanting, off the grid's axes
    list.AddWire({12, 4}, {36, 4}, 8);
    AddSmd(list, {80, 20}, 16, 10, 30);
    list.Append(std::make_unique<TCopperText>(&view, TPoint{100, 50}, "T", 12, 2, 0, false));
  }
  FakeLayout view;
  TElementList list{&view};
};

TEST_F(MillingTest, IsolationNeverCutsCopperAndSeparatesEveryIsland) {
  BuildBoard();
  const TMillProcess vbit;  // 0.154 mm, one pass
  const struct {
    const char* what;
    TMillProcess process;
    bool fill;
    int islands;
  } cases[] = {
      {"a V-bit", vbit, false, 4},
      {"a flat bit in three passes", FlatBit(0.2, 3, 30), false, 4},
      // 0.35 mm cannot pass between the two wires: one island fewer.
      {"a bit too wide", FlatBit(0.35, 1, 50), false, 3},
      // The fill joins the first pair and keeps 0.5 mm from the rest, more than the bit needs.
      {"a fill", vbit, true, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.fill)
      list.Append(std::make_unique<TCopperFill>(
          &view, std::vector<TPoint>{{-16, -16}, {112, -16}, {112, 64}, {-16, 64}}, true,
          TPoint{0, 0}, TFillSettings{}));
    const TMillingJobs jobs = MillingJobs(list, c.process, "board");
    const TJob job = Read(jobs.Isolation);
    EXPECT_TRUE(job.Ended);
    for (const TMove& m : job.Cuts) EXPECT_DOUBLE_EQ(m.Z, -c.process.CutDepth);
    TMillRaster raster(list, c.process.Mirror, 5000);
    raster.Sweep(job, c.process.CutWidth());
    EXPECT_EQ(raster.CutCopper(), 0);
    // The preview shows the same paths, one plunge each.
    EXPECT_EQ(IsolationPaths(list, c.process).size(), job.Plunges.size());
    // Where the bit cannot pass is pointed out.
    EXPECT_EQ(IsolationGaps(list, c.process).empty(), c.islands == 4);
    if (c.fill) list.Delete(list.Count() - 1);
  }
}

TEST_F(MillingTest, MirroredAndPlainJobsAreMirrorImagesAndPassesStepOut) {
  BuildBoard();
  TMillProcess plain = FlatBit(0.2, 2, 25);
  plain.Mirror = false;
  TMillProcess mirrored = plain;
  mirrored.Mirror = true;
  const TMillingJobs a = MillingJobs(list, plain, "b"), b = MillingJobs(list, mirrored, "b");
  const TFabricationBoard board = FabricationBoard(list);
  const double width = (board.Right - board.Left) / 1e6;
  for (const auto& [p, q] :
       {std::pair{a.Isolation, b.Isolation}, {a.Drill, b.Drill}, {a.Outline, b.Outline}}) {
    const TJob jp = Read(p), jq = Read(q);
    ASSERT_EQ(jp.Cuts.size(), jq.Cuts.size());
    ASSERT_FALSE(jp.Plunges.empty());
    for (size_t i = 0; i < jp.Cuts.size(); ++i) {
      EXPECT_NEAR(jq.Cuts[i].X0, width - jp.Cuts[i].X0, 1e-4);
      EXPECT_NEAR(jq.Cuts[i].Y0, jp.Cuts[i].Y0, 1e-9);
    }
    for (size_t i = 0; i < jp.Plunges.size(); ++i)
      EXPECT_NEAR(jq.Plunges[i].X0, width - jp.Plunges[i].X0, 1e-4);
  }
  // The second pass runs 0.25 mm from the copper, 0.1 + 0.2 x (1 - 25 %): above the pads'
  // tops (y -6 units) by that much.
  int64_t top = INT64_MAX;
  for (const TFillPath& path : IsolationPaths(list, plain))
    for (const TFillPoint& q : path) top = std::min(top, q.Y);
  EXPECT_NEAR((-6 * NanometresPerUnit - top) / 1e6, 0.25, 0.006);
}

TEST_F(MillingTest, DrillsPlungeAtEveryHoleSmallestFirst) {
  BuildBoard();
  list.AddSolder({80, 0}, 5, 12, sgCircle);
  const TMillProcess process;
  const TJob job = Read(MillingJobs(list, process, "board").Drill);
  TMillRaster raster(list, process.Mirror, 10000);
  std::map<int, std::vector<std::pair<double, double>>> holes;
  for (int32_t i = 0; i < list.Count(); ++i)
    if (list.Items(i)->Kind() == ekSolder) {
      const TCopperShape s = CopperOf(*list.Items(i));
      holes[int(s.HoleRadius)].push_back(
          {s.AX * double(NanometresPerHalfUnit), s.AY * double(NanometresPerHalfUnit)});
    }
  // Three sizes, in order, with a stop to change the drill between them.
  ASSERT_EQ(job.Plunges.size(), 4u);
  EXPECT_EQ(job.Stops, 2);
  EXPECT_TRUE(job.Cuts.empty());
  std::vector<std::string> changes;
  for (const std::string& c : job.Comments)
    if (c.rfind("change to drill", 0) == 0) changes.push_back(c);
  EXPECT_EQ(changes,
            (std::vector<std::string>{"change to drill 0.7938 mm", "change to drill 0.9525 mm"}));
  size_t k = 0;
  for (const auto& [size, centres] : holes)
    for (const auto& [x, y] : centres) {
      ASSERT_LT(k, job.Plunges.size());
      const TMove& m = job.Plunges[k++];
      EXPECT_NEAR(raster.BoardX(m.X0), x, 1000) << size;
      EXPECT_NEAR(raster.BoardY(m.Y0), y, 1000) << size;
      EXPECT_DOUBLE_EQ(m.Z, -process.DrillDepth);
    }
  // A board without holes has no drilling job.
  TElementList smd{&view};
  AddSmd(smd, {0, 0}, 16, 10, 0);
  EXPECT_EQ(MillingJobs(smd, process, "smd").Drill, "");
}

TEST_F(MillingTest, OutlineCutsRoundTheBoardButForTheTabs) {
  BuildBoard();
  const struct {
    int tabs;
    double tabWidth, bit;
  } cases[] = {{4, 2.0, 2.0}, {3, 1.5, 1.0}, {0, 2.0, 3.175}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tabs);
    TMillProcess p;
    p.Tabs = c.tabs;
    p.TabWidth = c.tabWidth;
    p.OutlineBit = c.bit;
    const TJob job = Read(MillingJobs(list, p, "board").Outline);
    TMillRaster raster(list, p.Mirror, 10000);
    const TFabricationBoard& b = raster.Board();
    const double r = c.bit / 2 * 1e6;
    auto cut = [&](double x, double y, bool through) {
      for (const TMove& m : job.Cuts)
        if ((!through || m.Z <= -p.BoardThickness + 1e-9) &&
            SegmentDistance(x, y, raster.BoardX(m.X0), raster.BoardY(m.Y0), raster.BoardX(m.X1),
                            raster.BoardY(m.Y1)) < r - 1)
          return true;
      return false;
    };
    // Walk round the board from its lower left corner, 5 µm inside its edge (never cut) and
    // along the bit's middle (cut through but for the tabs), counting the uncut stretches.
    const double left = b.Left, top = b.Top, right = b.Right, bottom = b.Bottom;
    auto walk = [&](double grow, bool through, std::vector<double>& runs) {
      const double l = left - grow, t = top - grow, rr = right + grow, bb = bottom + grow;
      const double w = rr - l, h = bb - t, step = 5000;
      double run = 0;
      for (double s = 0; s < 2 * (w + h); s += step) {
        const double x = s < w ? l + s : s < w + h ? rr : s < 2 * w + h ? rr - (s - w - h) : l;
        const double y = s < w           ? bb
                         : s < w + h     ? bb - (s - w)
                         : s < 2 * w + h ? t
                                         : t + (s - 2 * w - h);
        if (!cut(x, y, through)) {
          run += step;
        } else if (run > 0) {
          runs.push_back(run);
          run = 0;
        }
      }
      if (run > 0) runs.push_back(run);
    };
    std::vector<double> inside, middle;
    walk(-5000, false, inside);
    ASSERT_EQ(inside.size(), 1u);
    walk(r, true, middle);
    ASSERT_EQ(middle.size(), size_t(c.tabs));
    for (double run : middle) EXPECT_NEAR(run / 1e6, c.tabWidth, 0.011);
    // Down to the board's thickness in passes of at most the depth per pass.
    double deepest = 0, previous = 0;
    for (const TMove& m : job.Plunges) {
      EXPECT_GE(m.Z, -p.BoardThickness - 1e-9);
      if (m.Z < previous) {
        EXPECT_LE(previous - m.Z, p.DepthPerPass + 1e-9);
      }
      previous = std::min(previous, m.Z);
      deepest = std::min(deepest, m.Z);
    }
    EXPECT_DOUBLE_EQ(deepest, -p.BoardThickness);
  }
}

TEST(MillCopperTest, GrownCopperOfABusyBoardHoldsEveryPointNearItAndNoOther) {
  // Enough pieces that they are joined cell by cell before the whole.
  FakeLayout view;
  TElementList list{&view};
  std::mt19937 rng(7);
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int i = 0; i < 1500; ++i) {
    const TPoint a{pick(0, 800), pick(0, 600)};
    if (i % 3)
      list.AddWire(a, {a.X + pick(-40, 40), a.Y + pick(-40, 40)}, pick(2, 16));
    else
      list.AddSolder(a, 3, pick(8, 24), uint8_t(pick(0, 1)));
  }
  std::vector<TCopperShape> pieces;
  for (int32_t i = 0; i < list.Count(); ++i) AppendCopperOf(*list.Items(i), pieces);
  const int64_t grow = 150000, tolerance = 5000;
  const TFillMeasure grown(GrownCopper(pieces, {}, grow, tolerance));
  int near = 0, far = 0;
  for (int n = 0; n < 4000; ++n) {
    const double x = pick(0, 800 * 1000) * (NanometresPerUnit / 1000.0);
    const double y = pick(0, 600 * 1000) * (NanometresPerUnit / 1000.0);
    double d = 1e300;
    for (const TCopperShape& s : pieces) d = std::min(d, PieceDistance(s, x, y));
    const bool inside = grown.Inside({int64_t(x), int64_t(y)});
    if (d <= grow - 10) {
      ++near;
      EXPECT_TRUE(inside) << x << "," << y;
    } else if (d > grow + tolerance + 10) {
      ++far;
      EXPECT_FALSE(inside) << x << "," << y;
    }
  }
  EXPECT_GT(near, 400);
  EXPECT_GT(far, 400);
}

TEST(MillProcessTest, CutWidthRangesAndSettings) {
  const struct {
    TMillBitKind bit;
    double diameter, angle, tip, depth, width;
  } widths[] = {
      {mbVee, 0, 30, 0.10, 0.10, 0.153590},  // 0.1 + 0.2 tan 15°
      {mbVee, 0, 60, 0.05, 0.20, 0.280940},
      {mbVee, 0, 90, 0.00, 0.10, 0.200000},
      {mbFlat, 0.80, 90, 0.10, 0.50, 0.800000},  // a flat bit cuts its diameter at any depth
  };
  for (const auto& w : widths) {
    TMillProcess p;
    p.Bit = w.bit, p.BitDiameter = w.diameter, p.VAngle = w.angle, p.VTip = w.tip;
    p.CutDepth = w.depth;
    EXPECT_NEAR(p.CutWidth(), w.width, 1e-6) << w.angle;
  }

  // Each field out of its range is refused with its name, and reads back as the default.
  QTemporaryDir dir;
  QSettings settings(dir.filePath("mill.ini"), QSettings::IniFormat);
  TMillProcess saved;
  saved.Making = bmMill, saved.Bit = mbFlat, saved.BitDiameter = 0.3, saved.Mirror = false;
  const struct {
    const char* key;
    QVariant value;
    std::function<void(TMillProcess&)> set;
    const char* why;
  } wrong[] = {
      {"Passes", 5, [](TMillProcess& p) { p.Passes = 5; }, "passes"},
      {"Overlap", 91, [](TMillProcess& p) { p.Overlap = 91; }, "overlap"},
      {"EtchCompensation", 0.25, [](TMillProcess& p) { p.EtchCompensation = 0.25; }, "etch"},
      {"TravelHeight", 6.0, [](TMillProcess& p) { p.TravelHeight = 6; }, "travel height"},
      {"Tabs", -1, [](TMillProcess& p) { p.Tabs = -1; }, "tabs"},
      {"VAngle", 170, [](TMillProcess& p) { p.VAngle = 170; }, "angle"},
      {"Feed", "fast", nullptr, nullptr},
  };
  for (const auto& w : wrong) {
    SCOPED_TRACE(w.key);
    SaveMillProcess(settings, saved);
    settings.setValue(QStringLiteral("MillProcess/") + w.key, w.value);
    EXPECT_EQ(LoadMillProcess(settings), saved);
    if (!w.set) continue;
    TMillProcess p = saved;
    w.set(p);
    std::string why;
    EXPECT_FALSE(p.Valid(&why));
    EXPECT_NE(why.find(w.why), std::string::npos) << why;
  }
  SaveMillProcess(settings, saved);
  EXPECT_EQ(LoadMillProcess(settings), saved);
  EXPECT_NE(LoadMillProcess(settings), TMillProcess());
}

TEST(MillCheckTest, IslandsNearerThanTheCutWidthAreIsolationProblems) {
  FakeLayout view;
  TElementList list{&view};
  // Two tracks two units wide, their edges a unit, 0.15875 mm, apart.
  list.AddWire({0, 0}, {64, 0}, 8);
  list.AddWire({0, 3}, {64, 3}, 8);
  const struct {
    double cut;
    size_t problems;
  } cases[] = {{0, 0}, {0.158, 0}, {0.15875, 0}, {0.1588, 1}, {0.5, 1}};
  for (const auto& c : cases) {
    TCheckRules rules;
    rules.Clearance = 0.1;
    rules.CutWidth = c.cut;
    std::vector<TProblem> found;
    for (const TProblem& p : CheckBoard(list, rules))
      if (p.Kind == pkIsolation) found.push_back(p);
    ASSERT_EQ(found.size(), c.problems) << c.cut;
    if (found.empty()) continue;
    EXPECT_EQ(found[0].Elements, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(std::string(ProblemKindName(found[0].Kind)), "isolation");
    EXPECT_NE(ProblemMessage(found[0]).find("0.159 mm apart"), std::string::npos);
  }
}

}  // namespace
