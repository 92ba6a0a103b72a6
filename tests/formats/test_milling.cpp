
#include <random>
#include <set>
#include <sstream>

#include "formats/BoardHelpers.h"

namespace {

struct TMove {  // in the mill's millimetres
  double X0, Y0, X1, Y1, Z;
};

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
    for (std::string w; words >> w;) {
      const double v = std::atof(w.c_str() + 1);
      EXPECT_NE(std::string("GXYZMFS").find(w[0]), std::string::npos) << line;
      EXPECT_TRUE(std::string("XYZF").find(w[0]) == std::string::npos ||
                  w.size() - w.find('.') == 5)
          << line;  // four decimals
      EXPECT_TRUE(w[0] != 'G' || std::set<double>({0, 1, 17, 21, 90}).count(v)) << line;
      job.Stops += w[0] == 'M' && v == 0;
      job.Ended = job.Ended || (w[0] == 'M' && v == 30);
      next[w[0]] = v;
    }
    const TMove m{at['X'], at['Y'], next['X'], next['Y'], std::max(at['Z'], next['Z'])};
    if (next['Z'] < 0 && (m.X0 != m.X1 || m.Y0 != m.Y1)) {
      EXPECT_EQ(line.rfind("G1", 0), 0u) << line;  // G0 never cuts
      job.Cuts.push_back(m);
    }
    if (next['Z'] < std::min(at['Z'], 0.0)) job.Plunges.push_back({m.X1, m.Y1, 0, 0, next['Z']});
    at = next;
  }
  return job;
}

std::pair<double, double> FromMill(const TFabricationBoard& b, bool mirrored, double x, double y) {
  return {mirrored ? b.Right - x * 1e6 : b.Left + x * 1e6, b.Bottom - y * 1e6};
}

// How many points of a raster of STEP nm hold copper under the bit as the job sweeps it.
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

TMillProcess FlatBit(double diameter, int passes, double overlap, bool mirror = true) {
  TMillProcess p;
  p.Bit = mbFlat, p.BitDiameter = diameter, p.Passes = passes, p.Overlap = overlap;
  p.Mirror = mirror;
  return p;
}

// Four islands: pads and wires 0.3175 mm apart (one slanting), an SMD pad and a letter.
const char* const kBoard =
    "*Solder*\n0, 0, 4, 12, 0\n48, 0, 6, 12, 1\n0, 32, 4, 12, 0\n*Wire*\n0, 0, 48, 0, 8\n0, 32, "
    "12, 4, 8\n12, 4, 36, 4, 8\n**\n@SMD 80, 20, 16, 10, 30\n@TEXT 100, 50, 12, 2, 0, 0, T\n**\n";
using MillingTest = BoardTest;

TEST_F(MillingTest, IsolationNeverCutsCopperAndSeparatesEveryIsland) {
  const TMillProcess vbit;  // 0.154 mm, one pass
  const std::tuple<TMillProcess, bool, bool> cases[] = {
      {vbit, false, true},
      {FlatBit(0.2, 3, 30, false), false, true},
      {FlatBit(0.35, 1, 50), false, false},  // too wide to pass between the two wires
      {vbit, true, true},  // the fill joins the first pair and keeps 0.5 mm from the rest
  };
  for (const auto& [process, fill, separated] : cases) {
    SCOPED_TRACE(std::to_string(process.CutWidth()) + (fill ? " with a fill" : ""));
    ReadBoard(list,
              kBoard + std::string(fill ? "**\n@FILL 1, 0, 0, 500000, 300000, 500000, 500000, "
                                          "0, 4, -16, -16, 112, -16, 112, 64, -16, 64\n**\n"
                                        : ""));
    const TJob job = Read(MillingJobs(list, process, "board").Isolation);
    EXPECT_TRUE(job.Ended);
    for (const TMove& m : job.Cuts) EXPECT_DOUBLE_EQ(m.Z, -process.CutDepth);
    EXPECT_EQ(CutCopper(list, job, process.Mirror, process.CutWidth(), 8000), 0);
    EXPECT_EQ(IsolationPaths(list, process).size(), job.Plunges.size());
    EXPECT_EQ(IsolationGaps(list, process).empty(), separated);
  }
}

TEST_F(MillingTest, TheHeaderNamesEverySettingAndPassesStepOut) {
  ReadBoard(list, kBoard);
  const TMillProcess plain = FlatBit(0.2, 2, 25, false);
  const std::string a = MillingJobs(list, plain, "b").Isolation;
  EXPECT_EQ(
      a.substr(0, a.find("G")),
      "(Ferrolume isolation for b)\n(origin: lower left corner of the board edge, Z0 on the copper "
      "surface)\n(isolation bit: flat, 0.2000 mm)\n(cut width 0.2000 mm, cut depth 0.1000 mm, "
      "passes 2, overlap 25.0000 %)\n(feed 200.0000 mm/min, plunge 50.0000 mm/min, spindle "
      "10000 rpm)\n(safe height 5.0000 mm, travel height 1.0000 mm, drill depth 1.8000 mm)\n"
      "(outline bit 2.0000 mm, board 1.6000 mm thick, 0.5000 mm per pass, 4 tabs 2.0000 mm "
      "wide)\n");
  // The second pass runs 0.1 + 0.2 x (1 - 25 %) = 0.25 mm above the pads' tops (y -6 units).
  int64_t top = INT64_MAX;
  for (const TFillPath& path : IsolationPaths(list, plain))
    for (const TFillPoint& q : path) top = std::min(top, q.Y);
  EXPECT_NEAR((-6 * NanometresPerUnit - top) / 1e6, 0.25, 0.006);
}

TEST_F(MillingTest, DrillsPlungeAtEveryHoleSmallestFirst) {
  ReadBoard(list, kBoard + std::string("*Solder*\n80, 0, 5, 12, 0\n"));
  const TMillProcess process = FlatBit(0.2, 1, 50, false);
  const TJob job = Read(MillingJobs(list, process, "board").Drill);
  const TFabricationBoard board = FabricationBoard(list);
  std::multimap<int64_t, TCopperShape> holes;
  for (const TCopperShape& s : board.Shapes)
    if (s.HoleRadius > 0) holes.insert({s.HoleRadius, s});
  ASSERT_EQ(job.Plunges.size(), 4u);
  EXPECT_EQ(job.Stops, 2);  // to change the drill
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
  ReadBoard(list, "**\n@SMD 0, 0, 16, 10, 0\n**\n");
  EXPECT_EQ(MillingJobs(list, process, "smd").Drill, "");  // no holes, no job
}

// The bit runs round the edge, outside it by its radius, lifting over the tabs at full depth.
TEST_F(MillingTest, OutlineCutsRoundTheBoardButForTheTabs) {
  ReadBoard(list, kBoard);
  const std::tuple<int, double, double, size_t> cases[] = {
      {4, 2.0, 2.0, 4}, {3, 1.5, 1.0, 3}, {0, 2.0, 3.175, 0}, {40, 2.0, 2.0, 0}};
  const TFabricationBoard b = FabricationBoard(list);
  const double w = (b.Right - b.Left) / 1e6, h = (b.Bottom - b.Top) / 1e6;
  for (const auto& [tabs, tabWidth, bit, made] : cases) {
    SCOPED_TRACE(tabs);
    TMillProcess p;
    p.Tabs = tabs, p.TabWidth = tabWidth, p.OutlineBit = bit;
    const TJob job = Read(MillingJobs(list, p, "board").Outline);
    const double r = bit / 2;
    std::vector<TMove> through;
    for (const TMove& m : job.Cuts) {
      for (auto [x, y] : {std::pair{m.X0, m.Y0}, {m.X1, m.Y1}})
        EXPECT_TRUE(std::fabs(x + r) < 1e-4 || std::fabs(x - w - r) < 1e-4 ||
                    std::fabs(y + r) < 1e-4 || std::fabs(y - h - r) < 1e-4)
            << x << "," << y;
      if (m.Z <= -p.BoardThickness + 1e-9) through.push_back(m);
    }
    ASSERT_FALSE(through.empty());
    std::vector<double> uncut;
    for (size_t i = 0; i < through.size(); ++i) {
      const TMove &m = through[i], &n = through[(i + 1) % through.size()];
      if (std::hypot(n.X0 - m.X1, n.Y0 - m.Y1) > 1e-4)
        uncut.push_back(std::hypot(n.X0 - m.X1, n.Y0 - m.Y1) - bit);
    }
    ASSERT_EQ(uncut.size(), made);
    for (double tab : uncut) EXPECT_NEAR(tab, tabWidth, 1e-3);
    double deepest = 0;  // in passes of at most the depth per pass
    for (const TMove& m : job.Plunges) {
      EXPECT_LE(deepest - m.Z, p.DepthPerPass + 1e-9);
      deepest = std::min(deepest, m.Z);
    }
    EXPECT_DOUBLE_EQ(deepest, -p.BoardThickness);
  }
}

// Enough random pieces that they are joined cell by cell before the whole.
TEST_F(MillingTest, GrownCopperOfABusyBoardHoldsEveryPointNearItAndNoOther) {
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
  constexpr double k = NanometresPerHalfUnit;
  int near = 0, far = 0;
  for (int n = 0; n < 4000; ++n) {
    const double x = pick(0, 800000) / 2000.0, y = pick(0, 600000) / 2000.0;  // half units
    double d = 1e300;
    for (const TCopperShape& s : pieces) d = std::min(d, CopperDistance(s, x, y, false));
    const bool inside = grown.Inside({int64_t(x * k), int64_t(y * k)});
    near += d * k <= grow - 10, far += d * k > grow + tolerance + 10;
    EXPECT_TRUE(d * k > grow - 10 || inside) << x << "," << y;
    EXPECT_TRUE(d * k <= grow + tolerance + 10 || !inside) << x << "," << y;
  }
  EXPECT_GT(std::min(near, far), 400);
}

TEST(MillProcessTest, SettingsOutOfRangeAreRefusedAndReadBackAsTheDefault) {
  QTemporaryDir dir;
  QSettings settings(dir.filePath("mill.ini"), QSettings::IniFormat);
  TMillProcess saved = FlatBit(0.3, 1, 50);
  saved.Making = bmMill, saved.Mirror = false;
  const std::pair<std::function<void(TMillProcess&)>, const char*> wrong[] = {
      {[](TMillProcess& p) { p.Overlap = 91; }, "overlap"},
      {[](TMillProcess& p) { p.Tabs = -1; }, "tabs"},
      {[](TMillProcess& p) { p.VAngle = 170; }, "angle"}};
  for (const auto& [set, name] : wrong) {
    TMillProcess p = saved;
    set(p);
    std::string why;
    EXPECT_FALSE(p.Valid(&why));
    EXPECT_NE(why.find(name), std::string::npos) << why;
    SaveMillProcess(settings, p);
    EXPECT_EQ(LoadMillProcess(settings), saved) << name;
  }
  settings.setValue("MillProcess/Feed", "fast");
  EXPECT_EQ(LoadMillProcess(settings), saved);
  EXPECT_NE(saved, TMillProcess());
}

}  // namespace
