// The pad and hole boxes, and the footprint library: the program's parts and the user's.

#include "AppTestSupport.h"
#include "TBoardCheck.h"
#include "TFootprintDialog.h"

namespace {

// The main window whose footprint dialog picks the part of a given name.
class TPartsForm : public TTestForm {
 public:
  QString PartName;

 protected:
  QString ExecFootprintDialog(TFootprintDialog& dialog) override {
    return dialog.Choose(PartName) ? dialog.ChosenPath() : QString();
  }
};

TEST(Footprints, EveryPartOfTheLibraryReadsWithPinOneMarkedAndItsPlaces) {
  TTestForm form;
  QStringList names;
  // Each part's pad centres in millimetres, pin 1 first.
  std::map<QString, std::vector<QPointF>> centres;
  for (const TFootprint& part : TFootprintDialog::Library()) {
    if (part.Own) continue;
    names << part.Name;
    SCOPED_TRACE(part.Name.toStdString());
    TElementList pads(form.Editor);
    pads.AppendAll(TFootprintDialog::ReadFootprint(form.Editor, part.Path));
    ASSERT_GE(pads.Count(), 2);
    // Each part passes the check, is of one kind, and only pin 1 is square.
    EXPECT_TRUE(CheckBoard(pads, TCheckRules()).empty());
    for (int32_t k = 0; k < pads.Count(); ++k) {
      ASSERT_EQ(pads.Items(k)->Kind(), pads.Items(0)->Kind());
      const auto* pad = dynamic_cast<const TSmdPad*>(pads.Items(k));
      const auto* hole = dynamic_cast<const TSolder*>(pads.Items(k));
      EXPECT_EQ(pad ? pad->Roundness() == 0 : hole->IsSquare(), k == 0) << " pin " << k + 1;
      const TPoint c = pad ? pad->Center() : hole->Center();
      centres[part.Name].emplace_back(c.X * 0.15875, c.Y * 0.15875);  // 16 units: 2.54 mm
    }
  }
  EXPECT_EQ(names.join(' ').toStdString(),
            "0603 0805 1206 2512 Capacitor-radial-2.54mm Capacitor-radial-5.08mm DC-jack DIP-8 "
            "DIP-14 DIP-16 DIP-18 DIP-20 DIP-22 DIP-24 DIP-24-wide DIP-28 DIP-28-wide DIP-40-wide "
            "Push-button-6mm Push-button-6mm-SMD Resistor-7.62mm Resistor-10.16mm Resistor-12.7mm "
            "SIL-2 SIL-3 SIL-4 SIL-5 SIL-6 SIL-7 SIL-8 SIL-9 SIL-10 SMA-DO-214AC SOD-123 SOIC-8 "
            "SOIC-14 SOIC-16 SOT-23 SOT-23-5 Terminal-2x5.08mm Terminal-3x5.08mm TO-92 TO-220");
  // Part, pads, another pin (from 0), its distance from pin 1 in mm (SMD: on a finer grid).
  const QStringList pitches =
      QString(
          "DIP-8 8 7 7.62  DIP-8 8 1 2.54  DIP-28-wide 28 27 15.24  TO-220 3 1 2.54  "
          "SIL-10 10 9 22.86  Resistor-10.16mm 2 1 10.16  Terminal-3x5.08mm 3 1 5.08  "
          "SOIC-8 8 1 1.27  SOIC-8 8 7 5.40  SOIC-16 16 15 5.40  SOIC-16 16 7 8.89  "
          "SOT-23 3 1 1.90  SOT-23 3 2 2.40  SOT-23-5 5 4 2.50  SOD-123 2 1 3.30  "
          "SMA-DO-214AC 2 1 4.00  0603 2 1 1.60  0805 2 1 1.90  1206 2 1 2.90  2512 2 1 5.90  "
          "Push-button-6mm-SMD 4 3 9.27")
          .split(' ', Qt::SkipEmptyParts);
  for (qsizetype k = 0; k < pitches.size(); k += 4) {
    const auto& c = centres[pitches[k]];
    SCOPED_TRACE(pitches[k].toStdString());
    ASSERT_EQ(c.size(), pitches[k + 1].toUInt());
    EXPECT_NEAR(QLineF(c[0], c[pitches[k + 2].toUInt()]).length(), pitches[k + 3].toDouble(), 0.06);
  }
}

// A part goes in under the pointer, selected, as one step; the user's parts join the library.
TEST(Footprints, InsertedUnderThePointerSelectedAndUndoneInOneStep) {
  const QString folder = TFootprintDialog::UserFolder();
  QDir(folder).removeRecursively();
  TPartsForm form;
  form.PartName = QStringLiteral("DIP-8");
  form.Editor->Elements().AddSolder({0, 0}, 4, 12, 0)->SetSelected(true);
  form.EditInsertFootprint->trigger();
  const TElementList& list = form.Editor->Elements();
  ASSERT_EQ(list.Count(), 9);
  EXPECT_EQ(static_cast<const TSolder*>(list.Items(1))->Center(), form.Editor->PointerBoardPoint());
  for (int32_t i = 0; i < 9; ++i) EXPECT_EQ(list.Items(i)->Selected(), i > 0);
  EXPECT_EQ(form.Editor->MouseAction(), maMove);
  EXPECT_EQ(form.EditUndo->text(), "Undo Insert DIP-8");
  form.EditUndo->trigger();
  EXPECT_EQ(list.Count(), 1);

  form.Editor->SelectAll();
  form.FileAnswers << folder + "/My pad.pcb";
  form.EditSaveFootprint->trigger();
  EXPECT_EQ(ReadBytes(folder + "/My pad.pcb"), "*Solder*\r\n0, 0, 4, 12, 0\r\n\r\n*Wire*\r\n");
  EXPECT_EQ(TFootprintDialog::Library().back().Name, "My pad");
  EXPECT_TRUE(TFootprintDialog::Library().back().Own);
  QDir(folder).removeRecursively();
}

// The pad boxes set the next pads and the selected ones in one step, or refuse with the reason.
TEST(PadBoxes, TypedOrChosenSizesSetNewAndSelectedPadsOrAreRefused) {
  TTestForm form;
  TPCBLayout& editor = *form.Editor;
  TPadSettings& boxes = *form.PadSettings;
  TSolder* pad = editor.Elements().AddSolder({0, 0}, 4, 12, 0);
  const TSmdPad* smd = AddSmd(editor.Elements(), {32, 0}, 8, 9, 25);
  editor.SelectAll();
  auto sizes = [](int32_t hole, int32_t outer, int32_t w, int32_t h, int32_t round) {
    return QStringLiteral("%1 %2 | %3 %4 %5").arg(hole).arg(outer).arg(w).arg(h).arg(round);
  };
  QComboBox* const box[] = {boxes.PadSizeCombo(), boxes.HoleSizeCombo(), boxes.SmdWidthCombo(),
                            boxes.SmdHeightCombo(), boxes.SmdRoundnessCombo()};
  // Box, typed ("#5": fifth item chosen), shown after, selected pads' sizes, reason refused.
  const struct {
    int box;
    const char *typed, *shown, *sizes, *error;
  } rows[] = {
      {0, "2", "2.06", "4 13 | 8 9 25", nullptr},
      {1, "#5", "1.59", "10 13 | 8 9 25", nullptr},
      {0, "1.5", "2.06", "10 13 | 8 9 25",
       "A hole of 1.59 mm must be smaller than its pad of 1.43 mm."},
      {1, "x", "1.59", "10 13 | 8 9 25",
       "'x' is not a size in millimetres: A hole must be between 0.16 and 3.65 mm across."},
      {2, "0.6", "0.64", "10 13 | 4 9 25", nullptr},
      {3, "1,9 mm", "1.91", "10 13 | 4 12 25", nullptr},
      {4, "50 %", "50", "10 13 | 4 12 50", nullptr},
      {4, "51", "50", "10 13 | 4 12 50", "The roundness must be a whole percentage from 0 to 50."},
      {4, "half", "50", "10 13 | 4 12 50",
       "'half' is not a roundness: The roundness must be a whole percentage from 0 to 50."},
      {2, "0.2", "0.64", "10 13 | 4 12 50",
       "A side of an SMD pad must be between 0.32 and 10.16 mm across."}};
  int steps = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.typed);
    form.Boxes.clear();
    if (row.typed[0] == '#') {
      box[row.box]->setCurrentIndex(row.typed[1] - '0');
      emit box[row.box]->activated(box[row.box]->currentIndex());
    } else {
      box[row.box]->lineEdit()->setText(row.typed);
      emit box[row.box]->lineEdit()->editingFinished();
    }
    EXPECT_EQ(form.Boxes, row.error ? QStringList{row.error} : QStringList());
    EXPECT_EQ(box[row.box]->currentText(), row.shown);
    EXPECT_EQ(sizes(pad->InternalDiameter(), pad->ExternalDiameter(), smd->Width(), smd->Height(),
                    smd->Roundness()),
              row.sizes);
    // The next pads placed match.
    EXPECT_EQ(sizes(editor.SolderInternalDiameter(), editor.SolderExternalDiameter(),
                    editor.SmdWidth(), editor.SmdHeight(), editor.SmdRoundness()),
              row.sizes);
    EXPECT_EQ(editor.UndoStack().count(), steps += row.error ? 0 : 1);
  }

  // The wire width and the pad shape reach the selection too, each as one step.
  editor.Elements().AddWire({0, 0}, {16, 0}, 4)->SetSelected(true);
  form.ElementWidthCombo->setCurrentIndex(1);
  form.SquareMenuItem->trigger();
  EXPECT_EQ(editor.Elements().Items(2)->ToText(), "0, 0, 16, 0, 2");
  EXPECT_EQ(pad->ToText() + " | " + smd->ToText(), "0, 0, 10, 13, 1 | @SMD 32, 0, 4, 12, 50");
  EXPECT_EQ(editor.UndoStack().count(), steps + 2);
  // SMD chosen, its boxes stand in place of Pad and Hole; a through-hole shape brings them back.
  for (QAction* shape : {form.SmdMenuItem, form.CircleMenuItem}) {
    shape->trigger();
    const bool on = shape == form.SmdMenuItem;
    EXPECT_EQ(
        std::tuple(box[0]->isHidden(), box[1]->isHidden(), box[2]->isHidden(), box[4]->isHidden()),
        std::tuple(on, on, !on, !on));
  }
}

}  // namespace
