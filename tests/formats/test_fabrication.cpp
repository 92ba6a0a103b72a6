#include "TBoardCheck.h"
#include "formats/BoardHelpers.h"

namespace {

constexpr int kDpi = 300;

class FabricationTest : public BoardTest {
 protected:
  QImage Gerbv(const QString& file, int dpi = kDpi, double w = 3, double h = 2.5) {
    const QString png = file + ".png";
    EXPECT_EQ(RunProgram("gerbv", {"-x", "png", "-D", QString::number(dpi), "-B", "0", "-O",
                                   "0x-" + QString::number(h), "-W",
                                   QString::number(w) + "x" + QString::number(h), "-b", "#FFFFFF",
                                   "-f", "#000000FF", "-o", png, file})
                  .exitCode,
              0)
        << "is gerbv there?";
    return QImage(png).convertToFormat(QImage::Format_RGB32);
  }
  QImage Artwork(int dpi = kDpi, double w = 3, double h = 2.5) {
    QImage image(int(w * dpi), int(h * dpi), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    DrawBoardPage(list, painter, dpi);
    return image;
  }
};

TEST_F(FabricationTest, GerbvSeesTheCopperAndHolesOfTheArtwork) {
  list.LoadFromFile(QStringLiteral(FERROLUME_TEST_DATA "/../../examples/blinker555.pcb"));
  const QString zip = dir.filePath("blinker.zip");
  EXPECT_TRUE(ExportFabricationFiles(list, zip).empty());
  EXPECT_EQ(RunProgram("unzip", {"-Z1", zip}).out,
            "blinker-B_Cu.gbr\nblinker-B_Mask.gbr\nblinker-Edge_Cuts.gbr\nblinker.drl\n");
  ASSERT_EQ(RunProgram("unzip", {"-q", "-o", zip, "-d", dir.path()}).exitCode, 0);
  const QImage drill = Gerbv(dir.filePath("blinker.drl"));
  // Copper less drilled holes (or, COPPER false, bare board) inside the edge, against the artwork.
  auto overlap = [&](const QString& file, bool copper) {
    const QImage gerber = Gerbv(file), own = Artwork();
    const TFabricationBoard board = FabricationBoard(list);
    const double nmPerPx = 25.4e6 / kDpi;
    int both = 0, either = 0;
    for (int y = int(board.Top / nmPerPx) + 1; (y + 1) * nmPerPx <= board.Bottom; ++y)
      for (int x = int(board.Left / nmPerPx) + 1; (x + 1) * nmPerPx <= board.Right; ++x) {
        const bool g = (Black(gerber, x, y) && !Black(drill, x, y)) == copper,
                   o = Black(own, x, y) == copper;
        both += g && o;
        either += g || o;
      }
    return double(both) / either;
  };
  EXPECT_GT(overlap(dir.filePath("blinker-B_Cu.gbr"), true), 0.94);
  // A fill over the board seeded on its first copper: its regions and the gaps cleared out of them.
  const TFabricationBoard plain = FabricationBoard(list);
  auto addFill = [&](int32_t l, int32_t t, int32_t r, int32_t b) {
    list.Append(std::make_unique<TCopperFill>(
        &view, std::vector<TPoint>{{l, t}, {r, t}, {r, b}, {l, b}}, true,
        TPoint{int32_t(plain.Shapes[0].AX / 2), int32_t(plain.Shapes[0].AY / 2)}, TFillSettings{}));
  };
  addFill(plain.Left / NanometresPerUnit + 8, plain.Top / NanometresPerUnit + 8,
          plain.Right / NanometresPerUnit - 8, plain.Bottom / NanometresPerUnit - 8);
  const QString filled = dir.filePath("filled.gbr");
  EXPECT_TRUE(ExportFabricationFiles(list, filled).empty());
  for (const char* region : {"G36*", "%LPC*%"})
    EXPECT_NE(ReadBytes(filled).find(region), std::string::npos) << region;
  EXPECT_GT(overlap(filled, true), 0.97);
  EXPECT_GT(overlap(filled, false), 0.9);
  // A fill far beyond the board: no mask opening over it, the same edge and drill as without it.
  list.Delete(list.Count() - 1);
  addFill(0, 0, 4000, 4000);
  const TFabricationBoard withFill = FabricationBoard(list);
  ASSERT_FALSE(withFill.Fills.empty());
  EXPECT_EQ(GerberMask(withFill), GerberMask(plain));
  EXPECT_EQ(GerberOutline(withFill), GerberOutline(plain));
  EXPECT_EQ(ExcellonDrill(withFill), ExcellonDrill(plain));
}

// Places on whole millimetres (127 mm is 800 units) and off them; SMD pads flashed last, no hole.
TEST_F(FabricationTest, PlacesAsOtherReadersReadThemAndWhatCannotBeMade) {
  ReadBoard(list,
            "*Solder*\n80, 80, 4, 12, 1\n800, 800, 5, 12, 0\n2400, 80, 4, 12, 0\n*Wire*\n80, "
            "80, 800, 800, 2\n**\n@SMD 800, 80, 13, 9, 25\n@SMD 80, 800, 8, 4, 50\n**\n");
  const TFabricationBoard places = FabricationBoard(list);
  const std::string cu = GerberCopper(places), holes = ExcellonDrill(places);
  EXPECT_EQ(
      cu.substr(cu.find("%ADD10")),
      "%ADD10C,1.270000*%\n%ADD11R,1.905000X1.905000*%\n%ADD12C,1.905000*%\n%ADD13RoundRect,"
      "2.063750X1.428750X0.317500*%\n%ADD14O,1.270000X0.635000*%\nG01*\nD10*\nX12700000Y-"
      "12700000D02*\nX127000000Y-127000000D01*\nD11*\nX12700000Y-12700000D03*\nD12*\nX127000000Y-"
      "127000000D03*\nX381000000Y-12700000D03*\nD13*\nX127000000Y-12700000D03*\nD14*\nX12700000Y-"
      "127000000D03*\nM02*\n");
  EXPECT_EQ(
      holes.substr(holes.find("FMAT")),
      "FMAT,2\nMETRIC,LZ\nG90\nT1C0.635\nT2C0.794\n%\nG05\nT1\nX12.7Y-12.7\nX381.0Y-12.7\nT2\n"
      "X127.0Y-127.0\nM30\n");

  // A hairline (16 div 17), wires and pads of no copper, a bare hole, places too far out.
  ReadBoard(list,
            "*Wire*\n80, 80, 400, 80, 2\n0, 0, 10, 10, 17\n0, 0, 10, 10, -4\n"
            "*Solder*\n80, 80, 5, 48, 1\n400, 80, 0, 32, 0\n1, 2, 8, 0, 0\n3, 4, 0, 1, 0\n"
            "2000000000, 0, 8, 32, 0\n**\n@SMD 5, 6, 0, 8, 0\n@SMD 5, 6, 8, -1, 50\n@SMD 0, "
            "-2000000000, 8, 8, 0\n**\n");
  list.AddWire({0, 0}, {10, 10}, 0);
  const TFabricationBoard board = FabricationBoard(list);
  EXPECT_EQ(board.LeftOut, (std::vector<std::string>{
                               "0, 0, 10, 10, -4", "3, 4, 0, 1, 0", "2000000000, 0, 8, 32, 0",
                               "@SMD 5, 6, 0, 8, 0", "@SMD 5, 6, 8, -1, 50",
                               "@SMD 0, -2000000000, 8, 8, 0", "0, 0, 10, 10, 0"}));
  // A unit is 0.15875 mm; the edge is 2.54 mm outside the outermost copper or hole.
  const std::string files = GerberCopper(board) + GerberMask(board) + GerberOutline(board);
  for (const char* want :
       {"%FSLAX46Y46*%", "%MOMM*%", "%TF.FileFunction,Copper,L1,Bot*%", "%ADD10C,1.270000*%",
        "%ADD11C,0.015875*%", "%ADD12R,7.620000X7.620000*%",
        "X12700000Y-12700000D02*\nX63500000Y-12700000D01*", "D11*\nX0Y0D02*\nX1587500Y-1587500D01*",
        "D12*\nX12700000Y-12700000D03*", "D13*\nX63500000Y-12700000D03*",
        "%ADD10R,7.720000X7.720000*%", "%TF.FileFunction,Soldermask,Bot*%",
        "%TF.FileFunction,Profile,NP*%",
        "%ADD10C,0.100000*%\nG01*\nD10*\nX-3016250Y2857500D02*\nX68580000Y2857500D01*\n"})
    EXPECT_NE(files.find(want), std::string::npos) << want;
  const std::string drill = ExcellonDrill(board);
  EXPECT_EQ(drill.substr(drill.find("T1C")),
            "T1C0.794\nT2C1.270\n%\nG05\nT1\nX12.7Y-12.7\nT2\nX0.15875Y-0.3175\nM30\n");
  const std::string message = LeftOutMessage(board.LeftOut);
  EXPECT_EQ(message.substr(0, message.find('\n')),
            "7 elements cannot be made and were left out of the files:");
}

// Odd elements as the artwork, gerbv and the check see them, against the model's copper.
TEST_F(FabricationTest, OddElementsAgreeInArtworkGerberAndCheck) {
  // W, P, S (width, height, roundness) or T (height, width, side, "GND\nIN" or not) and its
  // fields; copper left after drilling; the check's problems but dangling ends; its aperture.
  const std::tuple<char, std::array<int32_t, 5>, bool, const char*, const char*> cases[] = {
      {'W', {-20, 0, 20, 0, 0}, false, "none ", nullptr},
      {'W', {-20, 0, 20, 0, -4}, false, "none ", nullptr},
      {'W', {-12, -16, 12, 16, 17}, true, "width ", nullptr},  // a hairline
      {'W', {0, 0, 0, 0, 17}, false, "none ", nullptr},        // of no length
      {'W', {-12, -16, 12, 16, 3}, true, "", nullptr},         // 5 units wide: odd halves
      {'W', {0, 0, 0, 0, 2}, true, "", nullptr},               // the dot of its pen
      {'P', {0, 0, 4, 0, 0}, false, "none ", nullptr},         // a bare hole
      {'P', {0, 0, 4, -12, 0}, false, "none ", nullptr},
      {'P', {0, 0, 4, -12, 1}, false, "none ", nullptr},
      {'P', {0, 0, 0, 1, 0}, false, "none ", nullptr},  // 1 div 2 is no radius
      {'P', {0, 0, 5, 13, 0}, true, "", nullptr},       // prints 12 across, the hole marked 4
      {'P', {0, 0, 4, 13, 1}, true, "", nullptr},
      {'P', {0, 0, 16, 12, 0}, false, "ring ", nullptr},  // drilled away
      {'P', {0, 0, -4, 12, 0}, true, "hole ", nullptr},   // no hole
      {'P', {0, 0, 0, 3, 0}, true, "ring hole ", nullptr},
      {'S', {24, 12, 0}, true, "", "R,3.810000X1.905000"},
      {'S', {8, 8, 10}, true, "", "R,1.270000X1.270000"},  // 0.8 units round to none
      {'S', {24, 12, 50}, true, "", "O,3.810000X1.905000"},
      {'S', {10, 30, 50}, true, "", "O,1.587500X4.762500"},
      {'S', {24, 16, 25}, true, "", "RoundRect,3.810000X2.540000X0.635000"},
      // Half of 9 is 4.5: corners of radius 4 leave a flat 1 unit long at each end.
      {'S', {13, 9, 50}, true, "", "RoundRect,2.063750X1.428750X0.635000"},
      {'T', {13, 2, 1, 0}, true, "", nullptr},
      {'T', {8, 1, 0, 1}, true, "width ", nullptr},
      {'T', {16, 3, 0, 0}, true, "", nullptr},
  };
  constexpr int kOddDpi = 800;  // five dots to a board unit, so the artwork's scale is exact
  constexpr double kPx = kOddDpi / double(UnitsPerInch);
  const int n = int(std::size(cases));
  auto at = [](int k) { return 40 + 64 * k; };
  for (int k = 0; k < n; ++k) {
    const auto& [kind, v, left, check, aperture] = cases[k];
    if (kind == 'W')
      list.AddWire({at(k) + v[0], 80 + v[1]}, {at(k) + v[2], 80 + v[3]}, v[4]);
    else if (kind == 'P')
      list.AddSolder({at(k) + v[0], 80 + v[1]}, v[2], v[3], uint8_t(v[4]));
    else if (kind == 'S')
      AddSmd(list, {at(k), 80}, v[0], v[1], v[2]);
    else
      list.Append(std::make_unique<TCopperText>(&view, TPoint{at(k) + (v[2] ? 24 : -24), 90},
                                                v[3] ? "GND\nIN" : "+9V", v[0], v[1], 0,
                                                v[2] != 0));
  }
  const TFabricationBoard board = FabricationBoard(list);
  const std::string cu = GerberCopper(board), paste = GerberPaste(board);
  for (const auto& [kind, v, left, check, aperture] : cases) {
    if (!aperture) continue;
    EXPECT_NE(cu.find(std::string(aperture) + "*%"), std::string::npos) << aperture;
    EXPECT_NE(paste.find(std::string(aperture) + "*%"), std::string::npos) << aperture;
  }
  // The mask grows each land by 0.05 mm all round, its corners too; nothing is drawn in it.
  const std::string mask = GerberMask(board);
  EXPECT_EQ(mask.find("D01"), std::string::npos);
  for (const char* grown :
       {"R,3.910000X2.005000*%", "O,1.687500X4.862500*%", "RoundRect,2.163750X1.528750X0.685000*%"})
    EXPECT_NE(mask.find(grown), std::string::npos) << grown;
  EXPECT_NE(paste.find("%TF.FileFunction,Paste,Bot*%\n%TF.FilePolarity,Positive*%"),
            std::string::npos);

  int lands = 0, flashes = 0;  // the paste holds the lands and nothing else
  for (int k = 0; k < n; ++k)
    if (std::get<0>(cases[k]) == 'S')
      lands += paste.find("X" + std::to_string(at(k) * NanometresPerUnit) + "Y-12700000D03*") !=
               std::string::npos;
  for (size_t p = paste.find("D03*"); p != std::string::npos; p = paste.find("D03*", p + 1))
    ++flashes;
  EXPECT_EQ(lands, 6);
  EXPECT_EQ(flashes, 6);
  ExportFabricationFiles(list, dir.filePath("odd.zip"));
  ASSERT_EQ(RunProgram("unzip", {"-q", "-o", dir.filePath("odd.zip"), "-d", dir.path()}).exitCode,
            0);
  EXPECT_TRUE(QFile::exists(dir.filePath("odd-B_Paste.gbr")));
  const double widthIn = std::ceil(at(n) / 160.0);
  const QImage copper = Gerbv(dir.filePath("odd-B_Cu.gbr"), kOddDpi, widthIn, 1),
               drill = Gerbv(dir.filePath("odd.drl"), kOddDpi, widthIn, 1),
               art = Artwork(kOddDpi, widthIn, 1);
  std::map<int32_t, std::string> problems;
  for (const TProblem& p : CheckBoard(list, {}))
    if (p.Kind != pkDangling) (problems[p.Elements[0]] += ProblemKindName(p.Kind)) += " ";

  double worstArt = 0, worstGerber = 0;
  for (int k = 0; k < n; ++k) {
    const bool left = std::get<2>(cases[k]);
    std::vector<TCopperShape> pieces;
    AppendCopperOf(*list.Items(k), pieces);
    const TCopperShape& s = pieces.front();
    const QRect box(int((at(k) - 32) * kPx), int(48 * kPx), int(64 * kPx), int(64 * kPx));
    int artBlack = 0, gerberBlack = 0, described = 0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
      for (int x = box.left(); x <= box.right(); ++x) {
        double d = INFINITY;
        for (const TCopperShape& s : pieces)
          d = std::min(d, CopperDistance(s, (2 * x + 1) / kPx, (2 * y + 1) / kPx, true) / 2);
        const bool inside = d <= 0, a = Black(art, x, y);
        const bool g = Black(copper, x, y) && !Black(drill, x, y);
        artBlack += a, gerberBlack += g, described += inside;
        if (a != inside) worstArt = std::max(worstArt, std::fabs(d));
        if (g != inside) worstGerber = std::max(worstGerber, std::fabs(d));
      }
    }
    const std::string what = list.Items(k)->ToText();
    EXPECT_EQ(described > 0 || (s.Kind == ckTrack && s.Radius == 0), left) << what;
    EXPECT_EQ(artBlack > 0, left) << what;
    EXPECT_EQ(gerberBlack > 0, left) << what;
    EXPECT_EQ(problems[k], std::get<3>(cases[k])) << what;  // the check
  }
  // A dot and a half; the artwork marks an odd hole half a unit smaller than it is drilled.
  EXPECT_LT(worstArt, 0.5 + 1.5 / kPx);
  EXPECT_LT(worstGerber, 1.5 / kPx);
}

}  // namespace
