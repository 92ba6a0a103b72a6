#include <QEnterEvent>
#include <QUndoStack>
#include <functional>

#include "LayoutTest.h"
#include "TChangeText.h"

namespace {

// The grid is hidden so that pixels show only what is drawn.
class MouseTest : public LayoutTest {
 protected:
  static constexpr TColor kSpot = 0x0000FF, kFocus = 0xFF00FF;
  static constexpr TColor kPad = 0x800000, kGrid = 0x00FFFF;

  void SetUp() override {
    LayoutTest::SetUp();
    w.SetGridMode(gmNone), w.SetFocusColor(kFocus), w.SetSolderColor(kPad), w.SetGridColor(kGrid);
    Show();
  }
  bool NoFeedback() { return SameImage(w.CanvasImage(), w.BoardImage()); }
  const TCopperFill& FillAt(int32_t i) {
    return static_cast<const TCopperFill&>(*w.Elements().Items(i));
  }
};

// A tool's pointer script on a board, then the board (selected elements marked) and the flag.
TEST_F(MouseTest, ToolsChangeTheBoardAsThePointerGoes) {
  QObject::connect(&w, &TPCBLayout::TextWanted, &w, [this](TPoint at) { w.AddText(at, {"A"}); });
  const Lines two{"P 160, 160, 4, 16, 0", "P 160, 160, 4, 16, 0"};
  const Lines one{"P 80, 80, 4, 16, 0", "W 0, 80, 320, 80, 2"};
  const Lines four{"P 48, 48, 4, 16, 0", "W 96, 96, 160, 160, 4", "P 200, 200, 4, 16, 0",
                   "W 160, 160, 240, 240, 4"};
  const Lines six{"P 48, 48, 4, 16, 0", "P 49, 49, 4, 16, 0", "P 50, 49, 4, 16, 0",
                  "P 49, 50, 4, 16, 0", "P 47, 48, 4, 16, 0", "P 48, 47, 4, 16, 0"};
  const Lines three{"P 48, 48, 4, 16, 0", "P 160, 48, 4, 16, 0", "W 0, 160, 160, 160, 4"};
  const std::string pad = "160, 160, 4, 16, 0", still = "160, 48, 4, 16, 0",
                    wire = "0, 160, 160, 160, 4";
  const std::string a = "48, 48, 4, 16, 0", b = "49, 49, 4, 16, 0",
                    rest[] = {"50, 49, 4, 16, 0", "49, 50, 4, 16, 0", "47, 48, 4, 16, 0",
                              "48, 47, 4, 16, 0"};
  // clang-format off
  for (const auto& [tool, before, script, after, modified] :
       Table<TMouseAction, Lines, const char*, Lines, bool>{
      // A first click starts a chain, each next one ends a wire; a right (double) click drops it.
      {maWire, {}, "m21,19 c21,19 c52,21 c50,64 c49,61 R49,61 c100,100 c-4,100",
       {"32, 32, 80, 32, 4", "80, 32, 80, 96, 4", "80, 96, 80, 96, 4", "160, 160, 0, 160, 4"},
       true},
      {maWire, {}, "c20,20 D20,20 c80,20", {}, false},
      // The second press of a double click counts once.
      {maWire, two, "C100,100 d100,100", {pad, pad}, false},
      {maSolder, two, "C100,100 d100,100", {pad, pad, pad}, true},
      {maDelete, two, "C100,100 d100,100", {pad}, true},
      {maText, two, "C100,100 d100,100", {pad, pad, "@TEXT 160, 160, 13, 2, 0, 1, A"}, true},
      // Pads go before the wires under them; on empty board not even the flag changes.
      {maDelete, one, "C52,51", {"0, 80, 320, 80, 2"}, true},
      {maDelete, {}, "C52,51", {}, false},
      // A band takes what starts in it, to one unit past its corner; a right press drops it.
      {maSelect, four, "m20,20 p20,20 m71,68 r71,68", {a + " *", "96, 96, 160, 160, 4 *",
       "200, 200, 4, 16, 0", "160, 160, 240, 240, 4"}, false},
      {maSelect, four, "m20,20 p20,20 m71,68 r71,68 m120,120 p120,120 m160,160 r160,160",
       {a, "96, 96, 160, 160, 4", "200, 200, 4, 16, 0 *", "160, 160, 240, 240, 4 *"}, false},
      {maSelect, six, "m30,30 p30,30 r30,30", {a + " *", b + " *", rest[0], rest[1], rest[2],
       rest[3]}, false},
      {maSelect, six, "m10,10 p10,10 m60,60 R60,60 r60,60", {a, b, rest[0], rest[1], rest[2],
       rest[3]}, false},
      // A press on an unselected element drags it alone, one on a selected the whole selection.
      {maMove, three, "m30,30 p30,30 m32,31 r32,31", {a + " *", still, wire}, false},
      {maMove, three, "m30,30 p30,30 m32,31 m40,30 r40,30", {"64, 48, 4, 16, 0 *", still, wire},
       true},
      {maMove, three, "m30,30 p30,30 m44,36 r44,36", {"64, 64, 4, 16, 0 *", still, wire}, true},
      {maMove, three, "m30,30 p30,30 m40,30 m-20,10 r-20,10", {"-32, 16, 4, 16, 0 *", still, wire},
       true},
      {maMove, {"P -32, 16, 4, 16, 0 *", "P 160, 48, 4, 16, 0 *", "W 0, 160, 160, 160, 4 *"},
       "m100,30 p100,30 m110,40 r110,40",
       {"-16, 32, 4, 16, 0 *", "176, 64, 4, 16, 0 *", "16, 176, 176, 176, 4 *"}, true}}) {
    // clang-format on
    SCOPED_TRACE(script);
    w.Clear(), w.SetMouseAction(tool), Put(before), w.RenderBoard();
    Do(script);
    EXPECT_EQ(Board(), after);
    EXPECT_EQ(w.Modified(), modified);
    EXPECT_EQ(w.ViewOffset(), (TPoint{0, 0}));
  }
}

TEST_F(MouseTest, SpotsAndToolChanges) {
  // Per tool: whether it shows a spot, and whether choosing it keeps the selection.
  // clang-format off
  for (auto [tool, spot, keeps] : Table<TMouseAction, bool, bool>{
           {maWire, true, false}, {maSolder, true, false}, {maSelect, true, true},
           {maDelete, false, false}, {maMove, false, true}}) {
    // clang-format on
    w.Clear(), Put({"P 160, 160, 4, 16, 0", "W 0, 0, 48, 48, 4"});
    w.SetMouseAction(maWire), MoveTo({100, 100}), w.SelectAll(), w.SetMouseAction(tool);
    EXPECT_EQ(w.SelectedCount(), keeps ? 2 : 0) << int(tool);
    EXPECT_EQ(BoardAt(30, 30) == kFocus, keeps) << int(tool);
    EXPECT_TRUE(NoFeedback()) << int(tool);  // no spot until the pointer moves on
    EXPECT_FALSE(w.Modified());
    Do("m50,60 m700,60");  // leaves: the feedback is wiped
    ASSERT_TRUE(NoFeedback()) << int(tool);
    // Entering shows the spot where the pointer was last seen, for the pointing tools.
    QEnterEvent enter(QPointF(150, 150), QPointF(150, 150), w.mapToGlobal(QPointF(150, 150)));
    QCoreApplication::sendEvent(&w, &enter);
    EXPECT_EQ(CanvasAt(50, 52) == kSpot, spot) << int(tool);
    EXPECT_EQ(CanvasAt(50, 62), kWhite) << int(tool);  // the disc ends a pixel above
    EXPECT_EQ(NoFeedback(), !spot) << int(tool);
  }
}

TEST_F(MouseTest, SolderToolPlacesPadsWithTheCurrentSettings) {
  w.SetMouseAction(maSolder);
  w.SetSolderGeometry(sgSquare), w.SetSolderExternalDiameter(12), w.SetSolderInternalDiameter(2);
  Do("C33,47 c33,47");  // a second pad on the first
  EXPECT_EQ(Board(), (Lines{"48, 80, 2, 12, 1", "48, 80, 2, 12, 1"}));
  // SMD chosen: a pad of the SMD sizes at the grid point in one step; a through-hole pad after.
  w.SetSmdChosen(true), w.SetSmdWidth(16), w.SetSmdHeight(4), w.SetSmdRoundness(50);
  Click({81, 49});
  EXPECT_EQ(Board().back(), "@SMD 128, 80, 16, 4, 50");
  EXPECT_EQ(w.UndoStack().undoText(), "Add SMD Pad");
  w.Undo();
  EXPECT_EQ(w.Elements().Count(), 2);
  w.SetSmdChosen(false), Click({81, 49});
  EXPECT_EQ(Board().back(), "128, 80, 2, 12, 1");
}

TEST_F(MouseTest, DeleteToolHighlightsAndForgetsWhatIsGone) {
  w.SetMouseAction(maDelete);
  // The hovered element never outlives a delete, a new board or a loaded one.
  for (int drop = 0; drop < 3; ++drop) {
    Put({"P 80, 80, 4, 16, 0"});
    w.RenderBoard();
    Do("m200,200 m50,50");
    ASSERT_NE(w.HoverElement(), nullptr);
    if (drop == 0) w.SelectAll(), w.DeleteSelected();
    if (drop == 1) w.Clear();
    if (drop == 2)  // a new board in place of the old one
      w.Elements().Replace(ReadElements(&w, SplitLines("*Solder*\n80, 80, 4, 16, 1"), false)),
          w.RenderBoard();
    EXPECT_EQ(w.HoverElement(), nullptr) << drop;
  }
  MoveTo({51, 50});  // the loaded pad is highlighted at the next move
  EXPECT_EQ(w.HoverElement(), w.Elements().Items(0));
  EXPECT_EQ(CanvasAt(46, 46), kFocus);
}

TEST_F(MouseTest, PanningKeepsThePressedBoardPointUnderThePointer) {
  w.SetMouseAction(maMove), w.SetGridMode(gmDot);
  Put({"P 320, 160, 4, 16, 0 *"});  // at (200, 100)
  Do("m143,77 p143,77 m150,70 m166,66 r166,66");
  EXPECT_EQ(w.SelectedCount(), 0);  // a press on empty board clears the selection
  EXPECT_EQ(w.ViewOffset(), (TPoint{23, -11}));
  EXPECT_EQ(BoardAt(223, 89 - 3), kPad);
  EXPECT_EQ(BoardAt(3, 9), kGrid);  // the grid moved with the board
  EXPECT_FALSE(w.Modified());
  // With the button up, moves pan no more, whatever tool was chosen in between.
  Press({100, 100}), w.SetMouseAction(maWire), Release({100, 100});
  w.SetMouseAction(maMove), MoveTo({150, 150});
  EXPECT_EQ(w.ViewOffset(), (TPoint{23, -11}));
  // A pan that ends on the grid point where another tool last showed its spot still follows.
  w.SetViewOffset({0, 0}), w.SetMouseAction(maWire), MoveTo({140, 80});
  w.SetMouseAction(maMove), Drag({143, 77}, {141, 79});
  EXPECT_EQ(w.ViewOffset(), (TPoint{-2, 2}));
  // The middle button pans in any tool; a pending wire then ends at the board point pressed.
  w.Clear(), w.SetMouseAction(maWire);
  Do("C20,20 m50,50");  // board (32, 32)
  Press({50, 50}, Qt::MiddleButton), MoveTo({80, 60}), Release({80, 60}, Qt::MiddleButton);
  EXPECT_EQ(w.ViewOffset(), (TPoint{30, 10}));
  EXPECT_EQ(w.Elements().Count(), 0);
  Click({110, 130});
  EXPECT_EQ(Board(), (Lines{"32, 32, 128, 192, 4"}));
}

TEST_F(MouseTest, ElementAtFindsWhatIsDrawnOnTop) {
  // Against each element's own hit test in the order drawn: pads, wires and texts, then fills.
  TPick pick{std::mt19937(7)};
  FillRandom(w.Elements(), pick, 500, 300);
  w.SetGridScale(3), w.SetViewOffset({187, 157});
  auto layer = [](const TPCBElement& e) {
    return e.Kind() == ekFill ? 2 : TPCBLayout::DrawnWithWires(e) ? 1 : 0;
  };
  for (bool shown : {true, false}) {
    w.SetShowFills(shown);
    int found = 0, fills = 0;
    for (int32_t y = -5; y < 305; y += 3)
      for (int32_t x = -5; x < 405; x += 3) {
        TPCBElement* expected = nullptr;
        for (int wanted = 0; wanted < (shown ? 3 : 2) && !expected; ++wanted)
          for (int32_t i = w.Elements().Count() - 1; i >= 0 && !expected; --i) {
            TPCBElement* e = w.Elements().Items(i);
            if (layer(*e) == wanted && e->HitTest({x, y})) expected = e;
          }
        ASSERT_EQ(w.ElementAt({x, y}), expected) << x << "," << y;
        found += expected != nullptr;
        fills += expected && expected->Kind() == ekFill;
      }
    EXPECT_GT(found, 1000);
    EXPECT_GT(fills, shown ? 20 : -1);
  }
  // 65536 pixels away the 32-bit square of the distance wraps to nothing; the pad is not there.
  w.Clear(), w.SetGridScale(6);  // one board unit per pixel
  TSolder* far = w.Elements().AddSolder({65536 + 50, 50}, 4, 16, sgCircle);
  EXPECT_EQ(w.ElementAt({50, 50}), nullptr);
  EXPECT_EQ(w.ElementAt({65536 + 50, 50}), far);
}

TEST_F(MouseTest, FillToolPlacesCornersAndClosesOrDropsTheOutline) {
  // Steps ('b' Backspace, 'e' Escape), the corners waiting and the fills made.
  // clang-format off
  const struct { const char* step; size_t pending; int32_t fills; } steps[] = {
      {"b", 0, 0},          {"C20,20", 1, 0},    {"C21,19", 1, 0},      {"C120,20", 2, 0},
      {"b", 1, 0},          {"C120,20 d120,20", 2, 0},                  {"C120,120", 3, 0},
      {"e", 0, 0},          {"C20,20", 1, 0},    {"C120,20", 2, 0},     {"C120,120", 3, 0},
      {"C18,22", 0, 1},     {"C200,200", 1, 1},  {"C300,200", 2, 1},    {"C300,280", 3, 1},
      {"C200,280 d200,280", 0, 2},               {"C200,280 d200,280", 1, 2},  {"b", 0, 2}};
  // clang-format on
  w.SetMouseAction(maFill);
  for (const auto& s : steps) {
    SCOPED_TRACE(s.step);
    const bool pending = w.FillPending();
    EXPECT_TRUE(*s.step != 'b' || w.BackspacePressed() == pending);
    if (*s.step == 'e') w.CancelAction();
    Do(s.step);
    EXPECT_EQ(w.FillCorners().size(), s.pending);
    EXPECT_EQ(w.Elements().Count(), s.fills);
    EXPECT_EQ(w.UndoStack().count(), s.fills);
  }
  EXPECT_EQ(FillAt(0).Corners(), (std::vector<TPoint>{{32, 32}, {192, 32}, {192, 192}}));
  EXPECT_EQ(FillAt(1).Corners(),
            (std::vector<TPoint>{{320, 320}, {480, 320}, {480, 448}, {320, 448}}));
  EXPECT_EQ(w.UndoStack().undoText(), QStringLiteral("Add Fill"));
}

TEST_F(MouseTest, ANewFillIsSeededAtTheFirstSelectedPlace) {
  // The elements selected, and the seed of the next fill (none for {-1, -1}).
  Put({"W 32, 32, 96, 32, 4", "P 160, 160, 4, 16, 0", "@SMD 224, 96, 8, 9, 25",
       "@TEXT 320, 160, 13, 2, 0, 1, G",
       "@FILL 0, 0, 0, 500000, 300000, 500000, 500000, 0, 3, 0, 0, 16, 0, 0, 16"});
  TFillSettings settings;
  settings.Clearance = 250000, w.SetFillSettings(settings);
  // clang-format off
  for (const auto& [selected, seed] : Table<std::vector<int>, TPoint>{
           {{}, {-1, -1}}, {{0}, {32, 32}}, {{1, 0}, {32, 32}}, {{1, 3}, {160, 160}},
           {{2}, {224, 96}}, {{3}, {320, 160}}, {{4}, {-1, -1}}, {{4, 2}, {224, 96}}}) {
    // clang-format on
    SCOPED_TRACE(selected.size());
    Select(selected);
    w.AddFill({{0, 0}, {64, 0}, {64, 64}});
    const TCopperFill& fill = FillAt(w.Elements().Count() - 1);
    EXPECT_EQ(fill.HasSeed(), seed.X >= 0);
    EXPECT_EQ(fill.Seed(), seed.X >= 0 ? seed : TPoint{});
    EXPECT_EQ(fill.Settings(), settings);
    EXPECT_EQ(w.SelectedCount(), int32_t(selected.size()));
  }
}

TEST_F(MouseTest, AFillsCornerIsDraggedToAGridPointInOneStep) {
  w.SetMouseAction(maMove);
  // Once the fill is moved its last corner lies on the pad, which a press there then drags.
  Put({"@FILL 0, 0, 0, 500000, 300000, 500000, 500000, 0, 4, 32, 32, 320, 32, 320, 256, 32, 256",
       "P 48, 256, 4, 16, 0"});
  auto* pad = static_cast<const TSolder*>(w.Elements().Items(1));
  w.RenderBoard();
  const TCopperFill& fill = FillAt(0);
  // Where the press lands and where the button is let go; the corners after; steps so far.
  // clang-format off
  for (const auto& [press, release, corners, steps] : Table<TPoint, TPoint, std::vector<TPoint>, int>{
      // Within a few pixels of the second corner (pixel 200, 20), outside the fill.
      {{203, 17}, {251, 42}, {{32, 32}, {400, 64}, {320, 256}, {32, 256}}, 1},
      // Inside the fill away from the corners the whole fill moves.
      {{100, 100}, {110, 100}, {{48, 32}, {416, 64}, {336, 256}, {48, 256}}, 2},
      // The pad on a corner is the pad's.
      {{30, 160}, {30, 170}, {{48, 32}, {416, 64}, {336, 256}, {48, 256}}, 3},
      {{30, 157}, {30, 180}, {{48, 32}, {416, 64}, {336, 256}, {48, 288}}, 4}}) {
    // clang-format on
    SCOPED_TRACE(press.X);
    MoveTo(press), Press(press), MoveTo(release), Release(release);
    EXPECT_EQ(fill.Corners(), corners);
    EXPECT_EQ(w.UndoStack().count(), steps);
  }
  EXPECT_EQ(pad->Center(), (TPoint{48, 272}));
  // Escape drops a corner drag under way.
  Do("m30,180 p30,180 m60,200");
  w.CancelAction(), Release({60, 200});
  EXPECT_EQ(fill.Corners()[3], (TPoint{48, 288}));
  EXPECT_EQ(w.UndoStack().count(), 4);
  // A command in the middle of it finds the corner moved as a step of its own.
  Do("p30,180 m60,200");
  w.FinishDrag();
  EXPECT_EQ(fill.Corners()[3], (TPoint{96, 320}));
  EXPECT_EQ(w.UndoStack().count(), 5);
  Do("m90,220 r90,220");
  EXPECT_EQ(fill.Corners()[3], (TPoint{96, 320}));
  EXPECT_EQ(w.ViewOffset(), (TPoint{0, 0}));
  // A board loaded under a corner drag leaves nothing for the release to move.
  Do("m60,200 p60,200 m80,210");
  ASSERT_EQ(w.CornerFill(), 0);
  w.Elements().Replace({}), Release({80, 210});
  EXPECT_EQ(w.Elements().Count(), 0);
}

}  // namespace
