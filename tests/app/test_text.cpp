// Copper text in the window: the text tool's dialog and Edit Text.

#include "AppTestSupport.h"
#include "TTextDialog.h"

namespace {

class TextCommands : public TFreshForm {
 protected:
  TextCommands() : TFreshForm({"Text"}) {}
  // Seen: the dialog as it opens; Typing: text, height, stroke, turns, side, then OK.
  void Open() override {
    TFreshForm::Open();
    Form->DialogAnswer = [this](QDialog& d) {
      auto& dialog = dynamic_cast<TTextDialog&>(d);
      Seen = QStringLiteral("%1|%2|%3|%4|%5")
                 .arg(dialog.TextEdit->toPlainText())
                 .arg(dialog.HeightEdit->value(), 0, 'f', 2)
                 .arg(dialog.StrokeWidthEdit->value(), 0, 'f', 2)
                 .arg(dialog.TurnsCombo->currentText())
                 .arg(dialog.CopperSideCheck->isChecked() ? "copper" : "component");
      const QStringList fields = Typing.split('|');
      dialog.HeightEdit->setValue(fields[1].toDouble());
      dialog.StrokeWidthEdit->setValue(fields[2].toDouble());
      dialog.TurnsCombo->setCurrentIndex(fields[3].toInt());
      dialog.CopperSideCheck->setChecked(fields[4] == "copper");
      // Typed line by line, Shift+Enter between the lines; Enter is OK.
      dialog.TextEdit->clear();
      for (const QString& line : fields[0].split('\n')) {
        if (!dialog.TextEdit->toPlainText().isEmpty())
          QTest::keyClick(dialog.TextEdit, Qt::Key_Return, Qt::ShiftModifier);
        dialog.TextEdit->insertPlainText(line);
      }
      QTest::keyClick(dialog.TextEdit, Qt::Key_Return);
      Problem = dialog.ProblemLabel->isHidden() ? QString() : dialog.ProblemLabel->text();
      return dialog.result();
    };
  }
  std::string Last() const {
    const TElementList& list = Form->Editor->Elements();
    return list.Count() ? list.Items(list.Count() - 1)->ToText() : "";
  }

  QString Typing, Seen, Problem;
};

TEST_F(TextCommands, TheToolPlacesWhatTheDialogSaysOrRefusesItWithTheDialogOpen) {
  TPCBLayout& editor = *Form->Editor;
  Form->TextButton->click();
  ASSERT_EQ(editor.MouseAction(), maText);
  // Where pressed, seen (last placed), typed, and the text placed or the reason refused.
  const char* const last = "LM386 AMP|2.06|0.32|0\u00B0|copper";
  const struct {
    int32_t x, y;
    const char *seen, *typing, *outcome;
  } rows[] = {{103, 58, "|2.06|0.32|0\u00B0|copper", "LM386 AMP|2.06|0.32|0|copper",
               "@TEXT 160, 96, 13, 2, 0, 1, LM386 AMP"},
              {40, 40, last, "\u03A9 1|2.06|0.32|0|copper",
               "The character \u201C\u03A9\u201D (U+03A9) cannot be made in copper"},
              {40, 40, last, "|2.06|0.32|0|copper", "Type the text"},
              {40, 40, last, "A|2.0|2.5|0|copper",
               "The strokes must be from 0.16 mm wide to as wide as the letters are high, 2.06 mm"},
              {198, 141, last, "+9V\n\u00C9t\u00E9|3.0|0.5|1|component",
               "@TEXT 320, 224, 19, 3, 1, 0, +9V%0A\xC9t\xE9"},
              {40, 40, "+9V\n\u00C9t\u00E9|3.02|0.48|90\u00B0|component", "\t|3.0|0.5|1|component",
               "The character U+0009 cannot be made in copper"}};
  int steps = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.typing);
    Typing = QString::fromUtf8(row.typing);
    Form->Click({row.x, row.y});
    EXPECT_EQ(Seen, QString::fromUtf8(row.seen));
    const qsizetype n = QString::fromUtf8(row.outcome).size();
    EXPECT_EQ(Problem.isEmpty() ? Last() : Problem.left(n).toStdString(), row.outcome);
    EXPECT_EQ(editor.UndoStack().count(), steps += Problem.isEmpty());
  }
  EXPECT_EQ(Form->EditUndo->text(), QStringLiteral("Undo Add Text"));
  EXPECT_TRUE(Form->Boxes.isEmpty());
}

// Edit Text opens the one selected text, shows its values and changes it in one step.
TEST_F(TextCommands, EditTextOpensTheOneSelectedTextAndChangesItInOneStep) {
  TPCBLayout& editor = *Form->Editor;
  editor.AddText({160, 96}, {"GND", 16, 2, 0, true});
  editor.AddText({320, 96}, {"OUT", 16, 2, 0, true});
  const std::pair<std::vector<int32_t>, bool> selections[] = {{{0, 1}, false}, {{1}, true}};
  for (const auto& [selected, enabled] : selections) {
    editor.ClearSelection();
    for (int32_t i : selected) editor.Elements().Items(i)->SetSelected(true);
    emit editor.SelectionChanged();
    EXPECT_EQ(Form->EditEditText->isEnabled(), enabled) << selected.size();
  }
  const std::string was = Last();
  Typing = "IN|3.0|0.32|2|component";
  Form->EditEditText->trigger();
  EXPECT_EQ(Seen, QStringLiteral("OUT|2.54|0.32|0\u00B0|copper"));
  EXPECT_EQ(Last(), "@TEXT 320, 96, 19, 2, 2, 0, IN");
  EXPECT_EQ(Form->EditUndo->text(), QStringLiteral("Undo Edit Text"));
  Form->EditUndo->trigger();
  EXPECT_EQ(Last(), was);
}

}  // namespace
