// The milling jobs read back by a G-code reader of the tests' own, and the bit swept over the
// board's copper: what the mill would leave of it.
#include <gtest/gtest.h>

#include <QSettings>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "TCopperFill.h"
#include "TCopperText.h"
#include "TFabrication.h"
#include "TMilling.h"
#include "formats/BoardHelpers.h"

namespace {

// A straight move of the bit in the mill's millimetres, and its depth.
struct TMove {
  double X0, Y0, X1, Y1, Z;
};

// What a job does: every move with the bit below the copper surface, every plunge's place and
// depth, the drills named in comments, and the program stops.
struct TJob {
  std::vector<TMove> Cuts, Plunges;
  std::vector<std::string> Comments;
  int Stops = 0;
  bool Ended = false;
};

TJob Read(const std::string& gcode) {
  TJob job;
  std::istringstream in(gcode);
  std::map<char, double> at{{'X', 0}, {'Y', 0}, {'Z', 100}};
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.front() == '(')
      job.Comments.push_back(line.substr(1, line.size() - 2));
    if (line.empty() || line.front() == '(') continue;
    std::istringstream words(line);
    std::map<char, double> next = at;
    bool move = false;
    for (std::string w; words >> w;) {
      const double v = std::atof(w.c_str() + 1);
      EXPECT_NE(std::string("GXYZMFS").find(w[0]), std::string::npos) << line;
      // Four decimals on every number; G0, G1 and the modes only.
      const bool length = std::string("XYZF").find(w[0]) != std::string::npos;
      EXPECT_TRUE(!length || w.size() - w.find('.') == 5) << line;
      EXPECT_TRUE(w[0] != 'G' || std::set<double>({0, 1, 17, 21, 90}).count(v)) << line;
      move = move || (w[0] == 'G' && v <= 1);
      job.Stops += w[0] == 'M' && v == 0;
      job.Ended = job.Ended || (w[0] == 'M' && v == 30);
      next[w[0]] = v;
    }
    if (!move) continue;
    const double z = at['Z'], nz = next['Z'];
    if (nz < 0 && (next['X'] != at['X'] || next['Y'] != at['Y'])) {
      EXPECT_EQ(line.rfind("G1", 0), 0u) << line;  // G0 never cuts
      job.Cuts.push_back({at['X'], at['Y'], next['X'], next['Y'], std::max(z, nz)});
    }
    if (nz < z && nz < 0) job.Plunges.push_back({next['X'], next['Y'], next['X'], next['Y'], nz});
    at = next;
  }
  return job;
}

// A board point in nanometres from the mill's millimetres.
std::pair<double, double> FromMill(const TFabricationBoard& b, bool mirrored, double x, double y) {
  return {mirrored ? b.Right - x * 1e6 : b.Left + x * 1e6, b.Bottom - y * 1e6};
}

// How many points of a raster of STEP nanometres over the board hold copper under the bit, as the
// job sweeps it along every cut.
int CutCopper(const TElementList& list, const TJob& job, bool mirrored, double bitMm, double step) {
  const TFabricationBoard b = FabricationBoard(list);
  std::vector<TCopperShape> pieces;
  for (int32_t i = 0; i < list.Count(); ++i)
    if (list.Items(i)->Kind() != ekFill) AppendCopperOf(*list.Items(i), pieces);
  const TFillMeasure fills(b.Fills);
  const double r = bitMm / 2 * 1e6, k = NanometresPerHalfUnit;
  auto copper = [&](double x, double y) {
    for (const TCopperShape& s : pieces)
      if (CopperDistance(s, x / k, y / k, false) <= 0) return true;
    return fills.Inside({int64_t(x), int64_t(y)});
  };
  auto first = [&](double from, double edge) {
    return edge + (std::floor((from - edge) / step) + 0.5) * step;
  };
  int n = 0;
  for (const TMove& m : job.Cuts) {
    const auto [ax, ay] = FromMill(b, mirrored, m.X0, m.Y0);
    const auto [bx, by] = FromMill(b, mirrored, m.X1, m.Y1);
    for (double y = first(std::min(ay, by) - r, b.Top); y <= std::max(ay, by) + r; y += step)
      for (double x = first(std::min(ax, bx) - r, b.Left); x <= std::max(ax, bx) + r; x += step)
        n += SegmentDistance(x, y, ax, ay, bx, by) <= r && copper(x, y);
  }
  return n;
}

TMillProcess FlatBit(double diameter, int passes, double overlap) {
  TMillProcess p;
  p.Bit = mbFlat, p.BitDiameter = diameter, p.Passes = passes, p.Overlap = overlap;
  return p;
}

class MillingTest : public BoardTest {
 protected:
  // Two pads joined by a wire, a pad of its own with wires from it that run beside the first
  // wire 0.3175 mm away, an SMD pad with rounded corners, and a letter: four islands.
  void SetUp() override {
    list.AddSolder({0, 0}, 4, 12, sgCircle);
    list.AddSolder({48, 0}, 6, 12, sgSquare);
    list.AddWire({0, 0}, {48, 0}, 8);
    list.AddSolder({0, 32}, 4, 12, sgCircle);
    list.AddWire({0, 32}, {12, 4}, 8);  // slanting, off the grid's axes
    list.AddWire({12, 4}, {36, 4}, 8);
    AddSmd(list, {80, 20}, 16, 10, 30);
    list.Append(std::make_unique<TCopperText>(&view, TPoint{100, 50}, "T", 12, 2, 0, false));
  }
};

TEST_F(MillingTest, IsolationNeverCutsCopperAndSeparatesEveryIsland) {
  const TMillProcess vbit;  // 0.154 mm, one pass
  const struct {
    const char* what;
    TMillProcess process;
    bool fill, separated;
  } cases[] = {
      {"a V-bit", vbit, false, true},
      {"a flat bit in three passes", FlatBit(0.2, 3, 30), false, true},
      {"a bit too wide to pass between the two wires", FlatBit(0.35, 1, 50), false, false},
      // The fill joins the first pair and keeps 0.5 mm from the rest, more than the bit needs.
      {"a fill", vbit, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.fill)
      list.Append(std::make_unique<TCopperFill>(
          &view, std::vector<TPoint>{{-16, -16}, {112, -16}, {112, 64}, {-16, 64}}, true,
          TPoint{0, 0}, TFillSettings{}));
    const TJob job = Read(MillingJobs(list, c.process, "board").Isolation);
    EXPECT_TRUE(job.Ended);
    for (const TMove& m : job.Cuts) EXPECT_DOUBLE_EQ(m.Z, -c.process.CutDepth);
    EXPECT_EQ(CutCopper(list, job, c.process.Mirror, c.process.CutWidth(), 8000), 0);
    // The preview shows the same paths, one plunge each, and where the bit cannot pass.
    EXPECT_EQ(IsolationPaths(list, c.process).size(), job.Plunges.size());
    EXPECT_EQ(IsolationGaps(list, c.process).empty(), c.separated);
  }
}

TEST_F(MillingTest, MirroredAndPlainJobsAreMirrorImagesAndPassesStepOut) {
  TMillProcess plain = FlatBit(0.2, 2, 25), mirrored = plain;
  plain.Mirror = false;
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
  list.AddSolder({80, 0}, 5, 12, sgCircle);
  const TMillProcess process;
  const TJob job = Read(MillingJobs(list, process, "board").Drill);
  const TFabricationBoard board = FabricationBoard(list);
  std::multimap<int64_t, TCopperShape> holes;
  for (int32_t i = 0; i < list.Count(); ++i)
    if (list.Items(i)->Kind() == ekSolder) {
      const TCopperShape s = CopperOf(*list.Items(i));
      holes.insert({s.HoleRadius, s});
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
  auto m = job.Plunges.begin();
  for (const auto& [size, s] : holes) {
    const auto [x, y] = FromMill(board, process.Mirror, m->X0, m->Y0);
    EXPECT_NEAR(x, s.AX * double(NanometresPerHalfUnit), 1000) << size;
    EXPECT_NEAR(y, s.AY * double(NanometresPerHalfUnit), 1000) << size;
    EXPECT_DOUBLE_EQ((m++)->Z, -process.DrillDepth);
  }
  // A board without holes has no drilling job.
  TElementList smd{&view};
  AddSmd(smd, {0, 0}, 16, 10, 0);
  EXPECT_EQ(MillingJobs(smd, process, "smd").Drill, "");
}

TEST_F(MillingTest, OutlineCutsRoundTheBoardButForTheTabs) {
  const struct {
    int tabs;
    double tabWidth, bit;
  } cases[] = {{4, 2.0, 2.0}, {3, 1.5, 1.0}, {0, 2.0, 3.175}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tabs);
    TMillProcess p;
    p.Tabs = c.tabs, p.TabWidth = c.tabWidth, p.OutlineBit = c.bit;
    const TJob job = Read(MillingJobs(list, p, "board").Outline);
    const TFabricationBoard b = FabricationBoard(list);
    const double r = c.bit / 2 * 1e6;
    auto cut = [&](double x, double y, bool through) {
      for (const TMove& m : job.Cuts) {
        const auto [ax, ay] = FromMill(b, p.Mirror, m.X0, m.Y0);
        const auto [bx, by] = FromMill(b, p.Mirror, m.X1, m.Y1);
        if ((!through || m.Z <= -p.BoardThickness + 1e-9) &&
            SegmentDistance(x, y, ax, ay, bx, by) < r - 1)
          return true;
      }
      return false;
    };
    // The uncut stretches on a walk round the board from its lower left corner, GROW outside its
    // edge, 5 µm at a time.
    auto uncut = [&](double grow, bool through) {
      const double l = b.Left - grow, t = b.Top - grow, rr = b.Right + grow, bb = b.Bottom + grow;
      const double w = rr - l, h = bb - t, step = 5000;
      std::vector<double> runs{0};
      for (double s = 0; s < 2 * (w + h); s += step) {
        const double x = s < w ? l + s : s < w + h ? rr : s < 2 * w + h ? rr - (s - w - h) : l;
        const double y = s < w           ? bb
                         : s < w + h     ? bb - (s - w)
                         : s < 2 * w + h ? t
                                         : t + (s - 2 * w - h);
        if (!cut(x, y, through))
          runs.back() += step;
        else if (runs.back() > 0)
          runs.push_back(0);
      }
      if (runs.back() == 0) runs.pop_back();
      return runs;
    };
    // Never within the edge; along the bit's middle, through the board but for the tabs.
    EXPECT_EQ(uncut(-5000, false).size(), 1u);
    const std::vector<double> tabs = uncut(r, true);
    ASSERT_EQ(tabs.size(), size_t(c.tabs));
    for (double run : tabs) EXPECT_NEAR(run / 1e6, c.tabWidth, 0.011);
    // Down to the board's thickness in passes of at most the depth per pass.
    double deepest = 0;
    for (const TMove& m : job.Plunges) {
      EXPECT_LE(deepest - m.Z, p.DepthPerPass + 1e-9);
      deepest = std::min(deepest, m.Z);
    }
    EXPECT_DOUBLE_EQ(deepest, -p.BoardThickness);
  }
}

using MillCopperTest = BoardTest;
TEST_F(MillCopperTest, GrownCopperOfABusyBoardHoldsEveryPointNearItAndNoOther) {
  // Enough pieces that they are joined cell by cell before the whole.
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
    for (const TCopperShape& s : pieces)
      d = std::min(d,
                   CopperDistance(s, x / NanometresPerHalfUnit, y / NanometresPerHalfUnit, false) *
                       NanometresPerHalfUnit);
    const bool inside = grown.Inside({int64_t(x), int64_t(y)});
    near += d <= grow - 10, far += d > grow + tolerance + 10;
    EXPECT_TRUE(d > grow - 10 || inside) << x << "," << y;
    EXPECT_TRUE(d <= grow + tolerance + 10 || !inside) << x << "," << y;
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
  TMillProcess saved = FlatBit(0.3, 1, 50);
  saved.Making = bmMill, saved.Mirror = false;
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

}  // namespace
