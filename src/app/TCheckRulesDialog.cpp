#include "TCheckRulesDialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSettings>

#include "TUserSettings.h"

namespace {

// Where each rule lives in the settings, beside the field it fills.
struct TRuleKey {
  const char* key;
  double TCheckRules::*field;
};
constexpr TRuleKey kKeys[] = {{"Check/Clearance", &TCheckRules::Clearance},
                              {"Check/MinWidth", &TCheckRules::MinWidth},
                              {"Check/MinRing", &TCheckRules::MinRing},
                              {"Check/MinHole", &TCheckRules::MinHole}};

}  // namespace

TCheckRulesDialog::TCheckRulesDialog(const TCheckRules& rules, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("CheckRulesDialog"));
  setWindowTitle(QStringLiteral("Check Rules"));
  auto* form = new QFormLayout(this);
  auto addBox = [&](const char* name, const QString& label) {
    auto* box = new QDoubleSpinBox(this);
    box->setObjectName(QLatin1String(name));
    box->setRange(0, 10);
    box->setDecimals(3);
    box->setSingleStep(0.05);
    box->setSuffix(QStringLiteral(" mm"));
    form->addRow(label, box);
    return box;
  };
  Clearance = addBox("Clearance", QStringLiteral("Clearance between copper not connected"));
  MinWidth = addBox("MinWidth", QStringLiteral("Wire width at least"));
  MinRing = addBox("MinRing", QStringLiteral("Annular ring at least"));
  MinHole = addBox("MinHole", QStringLiteral("Hole size at least"));
  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::RestoreDefaults, this);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(buttons->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, this,
          [this] { SetRules(TCheckRules{}); });
  SetRules(rules);
}

TCheckRules TCheckRulesDialog::Rules() const {
  TCheckRules r;
  r.Clearance = Clearance->value();
  r.MinWidth = MinWidth->value();
  r.MinRing = MinRing->value();
  r.MinHole = MinHole->value();
  return r;
}

void TCheckRulesDialog::SetRules(const TCheckRules& r) {
  Clearance->setValue(r.Clearance);
  MinWidth->setValue(r.MinWidth);
  MinRing->setValue(r.MinRing);
  MinHole->setValue(r.MinHole);
}

TCheckRules TCheckRulesDialog::Load() {
  const auto settings = UserSettings();
  TCheckRules rules;
  for (const TRuleKey& k : kKeys) {
    bool ok = false;
    const double v = settings->value(QLatin1String(k.key)).toDouble(&ok);
    // A value edited by hand into nonsense falls back to the default.
    if (ok && v >= 0 && v <= 1000) rules.*k.field = v;
  }
  return rules;
}

void TCheckRulesDialog::Save(const TCheckRules& rules) {
  const auto settings = UserSettings();
  for (const TRuleKey& k : kKeys) settings->setValue(QLatin1String(k.key), rules.*k.field);
}
