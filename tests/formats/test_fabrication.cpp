// The fabrication files read back by other programs: gerbv renders the Gerber copper and the
// drill file, unzip checks and lists the archive, and both are held against Ferrolume's own
// artwork of the same board.
#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>
#include <QRegularExpression>
#include <cstdio>

#include "TBoardPrint.h"
#include "TFabrication.h"
#include "formats/BoardHelpers.h"
#include "formats/RasterHelpers.h"
#include "model/FakeLayout.h"

namespace {

constexpr int kDpi = 300;
constexpr double kPxPerUnit = double(kDpi) / UnitsPerInch;

class FabricationTest : public ::testing::Test {
 protected:
  // gerbv's picture of a file: a window of 3 x 2.5 inches whose top-left corner is the board
  // origin, black on white, at 300 dots per inch, as the artwork below is drawn.
  QImage Gerbv(const QString& file) {
    const QString png = file + ".png";
    EXPECT_TRUE(
        RunTool("gerbv", {"-x", "png", "-D", QString::number(kDpi), "-B", "0", "-O", "0x-2.5", "-W",
                          "3x2.5", "-b", "#FFFFFF", "-f", "#000000FF", "-o", png, file}))
        << "is gerbv there?";
    return QImage(png).convertToFormat(QImage::Format_RGB32);
  }
  QImage Artwork() {
    QImage image(3 * kDpi, int(2.5 * kDpi), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    DrawBoardPage(list, painter, kDpi);
    return image;
  }
  std::vector<const TSolder*> Pads() const {
    std::vector<const TSolder*> pads;
    for (int32_t i = 0; i < list.Count(); ++i)
      if (!list.Items(i)->IsWire()) pads.push_back(static_cast<const TSolder*>(list.Items(i)));
    return pads;
  }
  QTemporaryDir dir;
  FakeLayout view;
  TElementList list{&view};
};

TEST_F(FabricationTest, GerbvSeesTheCopperAndHolesOfTheArtwork) {
  list.LoadFromFile(QStringLiteral(FERROLUME_TEST_DATA "/../../examples/blinker555.pcb"));
  const QString zip = dir.filePath("blinker.zip");
  EXPECT_TRUE(ExportFabricationFiles(list, zip).empty());
  QByteArray names;
  ASSERT_TRUE(RunTool("unzip", {"-t", "-q", zip})) << "is unzip there?";
  ASSERT_TRUE(RunTool("unzip", {"-Z1", zip}, &names));
  EXPECT_EQ(QString(names).split('\n', Qt::SkipEmptyParts),
            (QStringList{"blinker-B_Cu.gbr", "blinker-B_Mask.gbr", "blinker-Edge_Cuts.gbr",
                         "blinker.drl"}));
  ASSERT_TRUE(RunTool("unzip", {"-q", "-o", zip, "-d", dir.path()}));

  // Copper: the artwork's black against gerbv's, leaving out the holes the artwork punches.
  const QImage gerber = Gerbv(dir.filePath("blinker-B_Cu.gbr")), own = Artwork();
  ASSERT_EQ(gerber.size(), own.size());
  const auto pads = Pads();
  auto inHole = [&](int x, int y) {
    for (const TSolder* p : pads) {
      const double dx = x + 0.5 - p->Center().X * kPxPerUnit,
                   dy = y + 0.5 - p->Center().Y * kPxPerUnit;
      const double r = p->InternalDiameter() / 2 * kPxPerUnit + 1.5;
      if (dx * dx + dy * dy <= r * r) return true;
    }
    return false;
  };
  // Intersection over union of the two blacks in a box, holes left out.
  auto iou = [&](const QRect& box) {
    int both = 0, either = 0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
      for (int x = box.left(); x <= box.right(); ++x) {
        if (inHole(x, y)) continue;
        both += Black(gerber, x, y) && Black(own, x, y);
        either += Black(gerber, x, y) || Black(own, x, y);
      }
    }
    return either ? double(both) / either : 0.0;
  };
  const double whole = iou(own.rect());
  // Where the black of a box has its centre of mass.
  auto centroid = [&](const QImage& image, const QRect& box) {
    QPointF sum;
    int n = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
      for (int x = box.left(); x <= box.right(); ++x)
        if (!inHole(x, y) && Black(image, x, y)) sum += QPointF(x, y), ++n;
    return n ? sum / n : QPointF(-1e9, -1e9);
  };

  // Every pad is there, where the artwork has it and as large; every hole is drilled there.
  const QImage drill = Gerbv(dir.filePath("blinker.drl"));
  double worstPad = 1, worstShift = 0;
  for (const TSolder* p : pads) {
    const double cx = p->Center().X * kPxPerUnit, cy = p->Center().Y * kPxPerUnit;
    const int r = int(p->ExternalDiameter() / 2 * kPxPerUnit) + 2;
    const QRect box(int(cx) - r, int(cy) - r, 2 * r, 2 * r);
    worstPad = std::min(worstPad, iou(box));
    const QPointF shift = centroid(gerber, box) - centroid(own, box);
    worstShift = std::max({worstShift, std::abs(shift.x()), std::abs(shift.y())});
    ASSERT_TRUE(Black(drill, int(cx), int(cy))) << p->ToText();
    const auto hole = RunAt(drill, int(cx), int(cy), 1, 0);
    EXPECT_NEAR(hole.second - hole.first, p->InternalDiameter() * kPxPerUnit, 1.5) << p->ToText();
  }
  std::printf(
      "gerbv copper against the artwork at %d dpi: intersection over union %.4f, worst of "
      "%zu pads %.4f, their centres at most %.3f mm apart (1 px = %.3f mm)\n",
      kDpi, whole, pads.size(), worstPad, worstShift * 25.4 / kDpi, 25.4 / kDpi);
  // What differs is the outermost pixel of some edges, which weighs most on thin wires.
  EXPECT_GT(whole, 0.95);
  EXPECT_GT(worstPad, 0.85);
  EXPECT_LT(worstShift, 1.0);

  // The drill file's tools are the distinct hole sizes, and it has one hit per pad.
  const QString drl = QString::fromStdString(ReadBytes(dir.filePath("blinker.drl")));
  QStringList tools, wanted;
  for (const auto& m : QRegularExpression("^T\\d+C([0-9.]+)$", QRegularExpression::MultilineOption)
                           .globalMatch(drl))
    tools << m.captured(1);
  for (const TSolder* p : pads) {
    const QString size = QString::number(p->InternalDiameter() * 0.15875, 'f', 3);
    if (!wanted.contains(size)) wanted << size;
  }
  std::sort(wanted.begin(), wanted.end());
  EXPECT_EQ(tools, wanted);
  EXPECT_EQ(drl.count(QRegularExpression("^X", QRegularExpression::MultilineOption)),
            int(pads.size()));
}

TEST_F(FabricationTest, ExactPlacesAndWhatCannotBeMade) {
  list.AddWire({80, 80}, {400, 80}, 2);
  list.AddWire({0, 0}, {10, 10}, 17);  // 16 div 17: no width
  list.AddWire({0, 0}, {10, 10}, -4);  // a negative width
  list.AddWire({0, 0}, {10, 10}, 0);   // a fault
  list.AddSolder({80, 80}, 5, 48, sgSquare);
  list.AddSolder({400, 80}, 0, 32, sgCircle);  // no hole: no hit
  list.AddSolder({1, 2}, 8, 0, sgCircle);
  list.AddSolder({2000000000, 0}, 8, 32, sgCircle);  // beyond ten thousand millimetres
  const TCopperShapes copper = CollectCopper(list);
  EXPECT_EQ(copper.LeftOut,
            (std::vector<std::string>{"0, 0, 10, 10, 17", "0, 0, 10, 10, -4", "0, 0, 10, 10, 0",
                                      "1, 2, 8, 0, 0", "2000000000, 0, 8, 32, 0"}));
  // A board unit is 0.15875 mm: (80, 80) is (12.7, -12.7) mm; the edge is 2.54 mm outside
  // the square pad's 3.81 mm half side.
  const std::string cu = GerberCopper(copper), mask = GerberMask(copper),
                    edge = GerberOutline(copper), drill = ExcellonDrill(copper);
  for (const char* want :
       {"%FSLAX46Y46*%", "%MOMM*%", "%TF.FileFunction,Copper,L1,Bot*%", "%ADD10C,1.270000*%",
        "%ADD11R,7.620000X7.620000*%", "X12700000Y-12700000D02*\nX63500000Y-12700000D01*",
        "D11*\nX12700000Y-12700000D03*", "D12*\nX63500000Y-12700000D03*"})
    EXPECT_NE(cu.find(want), std::string::npos) << want;
  EXPECT_NE(mask.find("%ADD10R,7.720000X7.720000*%"), std::string::npos);
  EXPECT_NE(mask.find("%TF.FileFunction,Soldermask,Bot*%"), std::string::npos);
  EXPECT_NE(edge.find("%TF.FileFunction,Profile,NP*%"), std::string::npos);
  EXPECT_NE(edge.find("%ADD10C,0.100000*%\nG01*\nD10*\nX6350000Y-6350000D02*\nX68580000Y-"
                      "6350000D01*\n"),
            std::string::npos)
      << edge;
  EXPECT_EQ(drill.substr(drill.find("T1C")), "T1C0.794\n%\nG90\nG05\nT1\nX12.7Y-12.7\nM30\n");
  const std::string message = LeftOutMessage(copper.LeftOut);
  EXPECT_EQ(message.substr(0, message.find('\n')),
            "5 elements cannot be made and were left out of the files:");
}

}  // namespace
