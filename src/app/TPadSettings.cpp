#include "TPadSettings.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <utility>

#include "TPCBLayout.h"
#include "TPadSize.h"

namespace {

template <typename Choices>
QComboBox* AddBox(QWidget* panel, QHBoxLayout* row, const char* name, const QString& label,
                  const QString& hint, const Choices& choices) {
  auto* combo = new QComboBox(panel);
  combo->setObjectName(QLatin1String(name));
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  for (int32_t units : choices) combo->addItem(MillimetreText(units));
  combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  combo->setToolTip(hint);
  auto* caption = new QLabel(label, panel);
  caption->setBuddy(combo);
  row->addWidget(caption);
  row->addWidget(combo);
  return combo;
}

}  // namespace

TPadSettings::TPadSettings(TPCBLayout& editor, QWidget* panel, QHBoxLayout* row, TGuard guarded)
    : QObject(panel),
      Editor_(editor),
      PadSizeCombo_(AddBox(
          panel, row, "PadSizeCombo", QStringLiteral("Pad"),
          QStringLiteral("Outer diameter or side of new pads and of the selected pads, in mm"),
          PadSizeChoices)),
      HoleSizeCombo_(AddBox(panel, row, "HoleSizeCombo", QStringLiteral("Hole"),
                            QStringLiteral("Hole of new pads and of the selected pads, in mm"),
                            HoleSizeChoices)) {
  // One unit for both boxes, after the second.
  row->addWidget(new QLabel(QStringLiteral("mm"), panel));
  row->addSpacing(4);
  ShowPadSettings();
  for (auto [combo, handler] : {std::pair{PadSizeCombo_, &TPadSettings::PadSizeComboChange},
                                std::pair{HoleSizeCombo_, &TPadSettings::HoleSizeComboChange}}) {
    auto change = [this, handler, guarded] { guarded([=] { (this->*handler)(); }); };
    connect(combo, &QComboBox::activated, this, change);
    connect(combo->lineEdit(), &QLineEdit::editingFinished, this, change);
  }
}

void TPadSettings::ShowPadSettings() {
  PadSizeCombo_->setCurrentText(MillimetreText(Editor_.SolderExternalDiameter()));
  HoleSizeCombo_->setCurrentText(MillimetreText(Editor_.SolderInternalDiameter()));
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
