#include "TPrintOptionsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <cmath>

#include "TCalibrationPage.h"

namespace {

QDoubleSpinBox* NewScaleEdit(QWidget* parent) {
  auto* edit = new QDoubleSpinBox(parent);
  edit->setDecimals(2);
  edit->setRange(TArtworkOptions::MinScale / 100.0, TArtworkOptions::MaxScale / 100.0);
  edit->setSingleStep(0.1);
  edit->setSuffix(QStringLiteral(" %"));
  return edit;
}

int32_t Hundredths(const QDoubleSpinBox* edit) {
  return static_cast<int32_t>(std::lround(edit->value() * 100));
}

}  // namespace

TPrintOptionsDialog::TPrintOptionsDialog(const TArtworkOptions& options, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Print Options"));
  auto* form = new QFormLayout;
  MirrorCheck = new QCheckBox(QStringLiteral("Mirror left to right"), this);
  // The board is drawn as seen from the parts, through the board: paper or film laid face down
  // on the copper turns the print over once more, so the plain print is the one for both.
  auto* mirrorAdvice = new QLabel(
      QStringLiteral("The board is shown from the component side, through the board. Print as "
                     "shown for toner transfer and for film laid printed side down. Mirror only "
                     "for film laid printed side up, or for copper on the component side."),
      this);
  mirrorAdvice->setObjectName(QStringLiteral("MirrorAdvice"));
  mirrorAdvice->setWordWrap(true);
  NegativeCheck = new QCheckBox(QStringLiteral("Negative: copper white on black"), this);
  DrillMarksCheck = new QCheckBox(QStringLiteral("Drill marks: holes at most 0.5 mm wide"), this);
  form->addRow(MirrorCheck);
  form->addRow(mirrorAdvice);
  form->addRow(NegativeCheck);
  form->addRow(DrillMarksCheck);

  RowsEdit = new QSpinBox(this);
  ColumnsEdit = new QSpinBox(this);
  for (QSpinBox* edit : {RowsEdit, ColumnsEdit}) edit->setRange(1, TArtworkOptions::MaxCopies);
  auto* copies = new QHBoxLayout;
  copies->addWidget(RowsEdit);
  copies->addWidget(new QLabel(QStringLiteral("rows ×"), this));
  copies->addWidget(ColumnsEdit);
  copies->addWidget(new QLabel(QStringLiteral("columns"), this));
  copies->addStretch();
  form->addRow(QStringLiteral("Copies:"), copies);
  auto* copiesAdvice = new QLabel(QStringLiteral("Copies are 5 mm apart between their board "
                                                 "outlines, which lie 2.54 mm outside the copper."),
                                  this);
  copiesAdvice->setObjectName(QStringLiteral("CopiesAdvice"));
  copiesAdvice->setWordWrap(true);
  form->addRow(copiesAdvice);

  ScaleXEdit = NewScaleEdit(this);
  ScaleYEdit = NewScaleEdit(this);
  form->addRow(QStringLiteral("Scale across:"), ScaleXEdit);
  form->addRow(QStringLiteral("Scale down:"), ScaleYEdit);
  auto* advice = new QLabel(CalibrationAdvice(), this);
  advice->setWordWrap(true);
  form->addRow(advice);

  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::RestoreDefaults, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(buttons->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, this,
          [this] { SetOptions(TArtworkOptions()); });
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  SetOptions(options);
}

void TPrintOptionsDialog::SetOptions(const TArtworkOptions& o) {
  MirrorCheck->setChecked(o.Mirror);
  NegativeCheck->setChecked(o.Negative);
  DrillMarksCheck->setChecked(o.DrillMarks);
  RowsEdit->setValue(o.Rows);
  ColumnsEdit->setValue(o.Columns);
  ScaleXEdit->setValue(o.ScaleX / 100.0);
  ScaleYEdit->setValue(o.ScaleY / 100.0);
}

TArtworkOptions TPrintOptionsDialog::Options() const {
  TArtworkOptions o;
  o.Mirror = MirrorCheck->isChecked();
  o.Negative = NegativeCheck->isChecked();
  o.DrillMarks = DrillMarksCheck->isChecked();
  o.Rows = RowsEdit->value();
  o.Columns = ColumnsEdit->value();
  o.ScaleX = Hundredths(ScaleXEdit);
  o.ScaleY = Hundredths(ScaleYEdit);
  return o;
}
