#include "TFillDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QSettings>
#include <cmath>

#include "TUserSettings.h"

namespace {

constexpr double kLargestMm = 100.0;

QDoubleSpinBox* NewMmEdit(QWidget* parent, const char* name, const QString& hint) {
  auto* edit = new QDoubleSpinBox(parent);
  edit->setObjectName(QLatin1String(name));
  edit->setDecimals(2);
  edit->setRange(0.0, kLargestMm);
  edit->setSingleStep(0.05);
  edit->setSuffix(QStringLiteral(" mm"));
  edit->setToolTip(hint);
  return edit;
}

const char* const kKeys[] = {"Fill/Clearance", "Fill/MinimumWidth", "Fill/ThermalGap",
                             "Fill/SpokeWidth"};

}  // namespace

int64_t TFillDialog::NanometresOf(double mm) { return std::llround(mm * 100) * 10000; }

double TFillDialog::MmOf(int64_t nm) { return std::round(double(nm) / 10000) / 100; }

TFillDialog::TFillDialog(const TFillSettings& settings, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FillDialog"));
  setWindowTitle(QStringLiteral("Fill"));
  auto* form = new QFormLayout(this);
  ClearanceEdit = NewMmEdit(this, "ClearanceEdit",
                            QStringLiteral("The bare board the fill keeps around copper it does "
                                           "not join, and around every hole."));
  form->addRow(QStringLiteral("Clearance"), ClearanceEdit);
  MinimumWidthEdit =
      NewMmEdit(this, "MinimumWidthEdit",
                QStringLiteral("Thinner parts of the fill are left out, so that the etch never "
                               "leaves slivers that lift off the board."));
  form->addRow(QStringLiteral("Minimum width"), MinimumWidthEdit);
  ThermalGapEdit =
      NewMmEdit(this, "ThermalGapEdit",
                QStringLiteral("The ring of bare board around a pad the fill joins, which keeps "
                               "the pad easy to solder."));
  form->addRow(QStringLiteral("Thermal gap"), ThermalGapEdit);
  SpokeWidthEdit = NewMmEdit(this, "SpokeWidthEdit",
                             QStringLiteral("The width of the four spokes that join such a pad "
                                            "to the fill across its ring."));
  form->addRow(QStringLiteral("Spoke width"), SpokeWidthEdit);
  KeepIslandsCheck = new QCheckBox(QStringLiteral("Keep parts that join nothing"), this);
  KeepIslandsCheck->setObjectName(QStringLiteral("KeepIslandsCheck"));
  KeepIslandsCheck->setToolTip(
      QStringLiteral("Parts of the fill cut off from the copper it is seeded on are left on the "
                     "board: they join nothing, but save etchant."));
  form->addRow(KeepIslandsCheck);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);
  SetSettings(settings);
}

void TFillDialog::SetSettings(const TFillSettings& s) {
  ClearanceEdit->setValue(MmOf(s.Clearance));
  MinimumWidthEdit->setValue(MmOf(s.MinimumWidth));
  ThermalGapEdit->setValue(MmOf(s.ThermalGap));
  SpokeWidthEdit->setValue(MmOf(s.SpokeWidth));
  KeepIslandsCheck->setChecked(s.KeepIslands);
}

TFillSettings TFillDialog::Settings() const {
  TFillSettings s;
  s.Clearance = NanometresOf(ClearanceEdit->value());
  s.MinimumWidth = NanometresOf(MinimumWidthEdit->value());
  s.ThermalGap = NanometresOf(ThermalGapEdit->value());
  s.SpokeWidth = NanometresOf(SpokeWidthEdit->value());
  s.KeepIslands = KeepIslandsCheck->isChecked();
  return s;
}

TFillSettings TFillDialog::Load() {
  const auto settings = UserSettings();
  TFillSettings s;
  int64_t* fields[] = {&s.Clearance, &s.MinimumWidth, &s.ThermalGap, &s.SpokeWidth};
  for (size_t k = 0; k < 4; ++k) {
    bool ok = false;
    const double mm = settings->value(QLatin1String(kKeys[k])).toDouble(&ok);
    // Values edited by hand into nonsense keep the default.
    if (ok && mm >= 0 && mm <= kLargestMm) *fields[k] = NanometresOf(mm);
  }
  s.KeepIslands = settings->value(QStringLiteral("Fill/KeepIslands"), false).toBool();
  return s;
}

void TFillDialog::Save(const TFillSettings& s) {
  const auto settings = UserSettings();
  const int64_t fields[] = {s.Clearance, s.MinimumWidth, s.ThermalGap, s.SpokeWidth};
  for (size_t k = 0; k < 4; ++k) settings->setValue(QLatin1String(kKeys[k]), MmOf(fields[k]));
  settings->setValue(QStringLiteral("Fill/KeepIslands"), s.KeepIslands);
}
