#include "TPadSettings.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <utility>

#include "TBoardError.h"
#include "TMessageText.h"
#include "TPCBLayout.h"
#include "TPadSize.h"
#include "TSmdPad.h"

namespace {

template <typename Choices>
QComboBox* AddBox(QWidget* panel, QHBoxLayout* row, const char* name, const QString& label,
                  const QString& hint, const Choices& choices, std::vector<QWidget*>& group) {
  auto* combo = new QComboBox(panel);
  combo->setObjectName(QLatin1String(name));
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  for (const QString& choice : choices) combo->addItem(choice);
  combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  combo->setToolTip(hint);
  auto* caption = new QLabel(label, panel);
  caption->setBuddy(combo);
  row->addWidget(caption);
  row->addWidget(combo);
  group.insert(group.end(), {caption, combo});
  return combo;
}

template <size_t N>
QStringList InMillimetres(const int32_t (&units)[N]) {
  QStringList texts;
  for (int32_t u : units) texts << MillimetreText(u);
  return texts;
}

QLabel* AddUnit(QWidget* panel, QHBoxLayout* row, const QString& unit,
                std::vector<QWidget*>& group) {
  auto* label = new QLabel(unit, panel);
  row->addWidget(label);
  group.push_back(label);
  return label;
}

}  // namespace

TPadSettings::TPadSettings(TPCBLayout& editor, QWidget* panel, QHBoxLayout* row, TGuard guarded)
    : QObject(panel), Editor_(editor) {
  PadSizeCombo_ =
      AddBox(panel, row, "PadSizeCombo", QStringLiteral("Pad"),
             QStringLiteral("Outer diameter or side of new pads and of the selected pads, in mm"),
             InMillimetres(PadSizeChoices), ThroughHoleWidgets_);
  HoleSizeCombo_ = AddBox(panel, row, "HoleSizeCombo", QStringLiteral("Hole"),
                          QStringLiteral("Hole of new pads and of the selected pads, in mm"),
                          InMillimetres(HoleSizeChoices), ThroughHoleWidgets_);
  // One unit for both boxes, after the second.
  AddUnit(panel, row, QStringLiteral("mm"), ThroughHoleWidgets_);

  SmdWidthCombo_ = AddBox(panel, row, "SmdWidthCombo", QStringLiteral("SMD"),
                          QStringLiteral("Width across of new SMD pads and of the selected SMD "
                                         "pads, in mm"),
                          InMillimetres(SmdSizeChoices), SmdWidgets_);
  SmdHeightCombo_ =
      AddBox(panel, row, "SmdHeightCombo", QStringLiteral("x"),
             QStringLiteral("Height down of new SMD pads and of the selected SMD pads, in mm"),
             InMillimetres(SmdSizeChoices), SmdWidgets_);
  AddUnit(panel, row, QStringLiteral("mm"), SmdWidgets_);
  SmdRoundnessCombo_ = AddBox(
      panel, row, "SmdRoundnessCombo", QStringLiteral("Round"),
      QStringLiteral("Corner radius of new SMD pads and of the selected SMD pads, in percent of "
                     "the smaller side: 0 square corners, 50 round ends"),
      QStringList{QStringLiteral("0"), QStringLiteral("25"), QStringLiteral("50")}, SmdWidgets_);
  AddUnit(panel, row, QStringLiteral("%"), SmdWidgets_);
  row->addSpacing(4);
  ShowSmd(Editor_.SmdChosen());
  ShowPadSettings();

  const std::pair<QComboBox*, std::function<void()>> changes[] = {
      {PadSizeCombo_, [this] { PadSizeComboChange(); }},
      {HoleSizeCombo_, [this] { HoleSizeComboChange(); }},
      {SmdWidthCombo_, [this] { SmdComboChange(epSmdWidth); }},
      {SmdHeightCombo_, [this] { SmdComboChange(epSmdHeight); }},
      {SmdRoundnessCombo_, [this] { SmdComboChange(epSmdRoundness); }},
  };
  for (const auto& [combo, handler] : changes) {
    auto change = [handler, guarded] { guarded(handler); };
    connect(combo, &QComboBox::activated, this, change);
    connect(combo->lineEdit(), &QLineEdit::editingFinished, this, change);
  }
}

void TPadSettings::ShowSmd(bool smd) {
  for (QWidget* w : ThroughHoleWidgets_) w->setVisible(!smd);
  for (QWidget* w : SmdWidgets_) w->setVisible(smd);
}

int32_t TPadSettings::ReadRoundness(const QString& typed) {
  QString text = typed.trimmed();
  if (text.endsWith(QLatin1Char('%'))) text.chop(1);
  bool ok = false;
  const int percent = text.trimmed().toInt(&ok);
  const QString range = QStringLiteral("The roundness must be a whole percentage from 0 to %1")
                            .arg(TSmdPad::MaxRoundness);
  if (!ok)
    throw EBoardError(QStringLiteral("'%1' is not a roundness: %2")
                          .arg(ShortQuote(typed, QuotedNameLimit), range)
                          .toStdString());
  if (percent < 0 || percent > TSmdPad::MaxRoundness) throw EBoardError(range.toStdString());
  return percent;
}

void TPadSettings::ShowPadSettings() {
  PadSizeCombo_->setCurrentText(MillimetreText(Editor_.SolderExternalDiameter()));
  HoleSizeCombo_->setCurrentText(MillimetreText(Editor_.SolderInternalDiameter()));
  SmdWidthCombo_->setCurrentText(MillimetreText(Editor_.SmdWidth()));
  SmdHeightCombo_->setCurrentText(MillimetreText(Editor_.SmdHeight()));
  SmdRoundnessCombo_->setCurrentText(QString::number(Editor_.SmdRoundness()));
}

void TPadSettings::PadSizeComboChange() {
  try {
    const int32_t pad = ReadPadSize(PadSizeCombo_->currentText());
    CheckHoleFits(Editor_.SolderInternalDiameter(), pad);
    // The selected pads first: a pad whose hole is too large refuses the size for all.
    Editor_.ChangeSelected(epPadSize, pad);
    Editor_.SetSolderExternalDiameter(pad);
  } catch (...) {
    ShowPadSettings();
    throw;
  }
  ShowPadSettings();
}

void TPadSettings::HoleSizeComboChange() {
  try {
    const int32_t hole = ReadHoleSize(HoleSizeCombo_->currentText());
    CheckHoleFits(hole, Editor_.SolderExternalDiameter());
    Editor_.ChangeSelected(epHole, hole);
    Editor_.SetSolderInternalDiameter(hole);
  } catch (...) {
    ShowPadSettings();
    throw;
  }
  ShowPadSettings();
}

void TPadSettings::SmdComboChange(TElementProperty property) {
  try {
    int32_t value = 0;
    switch (property) {
      case epSmdWidth:
        value = ReadSmdSize(SmdWidthCombo_->currentText());
        break;
      case epSmdHeight:
        value = ReadSmdSize(SmdHeightCombo_->currentText());
        break;
      default:
        value = ReadRoundness(SmdRoundnessCombo_->currentText());
        break;
    }
    Editor_.ChangeSelected(property, value);
    if (property == epSmdWidth)
      Editor_.SetSmdWidth(value);
    else if (property == epSmdHeight)
      Editor_.SetSmdHeight(value);
    else
      Editor_.SetSmdRoundness(value);
  } catch (...) {
    ShowPadSettings();
    throw;
  }
  ShowPadSettings();
}
