#include "TProcessDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>

#include "TMilling.h"
#include "TUserSettings.h"

namespace {

// The boxes take more than the process allows, so that a wrong value is answered with a line
// saying what is wrong rather than silently clipped.
QDoubleSpinBox* NewEdit(QWidget* parent, const char* name, int decimals, const QString& suffix,
                        double step) {
  auto* edit = new QDoubleSpinBox(parent);
  edit->setObjectName(QLatin1String(name));
  edit->setDecimals(decimals);
  edit->setRange(0, 1000000);
  edit->setSingleStep(step);
  edit->setSuffix(suffix);
  return edit;
}

QSpinBox* NewCount(QWidget* parent, const char* name, const QString& suffix = QString()) {
  auto* edit = new QSpinBox(parent);
  edit->setObjectName(QLatin1String(name));
  edit->setRange(0, 1000000);
  edit->setSuffix(suffix);
  return edit;
}

}  // namespace

TProcessDialog::TProcessDialog(const TMillProcess& process, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ProcessDialog"));
  setWindowTitle(QStringLiteral("Process"));
  auto* top = new QVBoxLayout(this);
  auto* head = new QFormLayout;
  top->addLayout(head);
  MakingCombo = new QComboBox(this);
  MakingCombo->setObjectName(QStringLiteral("MakingCombo"));
  MakingCombo->addItems({QStringLiteral("Etch"), QStringLiteral("Mill")});
  head->addRow(QStringLiteral("Boards are made by"), MakingCombo);
  const QString mm = QStringLiteral(" mm"), rate = QStringLiteral(" mm/min");
  EtchCompensationEdit = NewEdit(this, "EtchCompensationEdit", 2, mm, 0.01);
  EtchCompensationEdit->setToolTip(
      QStringLiteral("The printed copper grows by this much on every side, 0.00 to 0.20 mm, to "
                     "make up for the etchant eating under the toner."));
  head->addRow(QStringLiteral("Etch compensation"), EtchCompensationEdit);

  MillGroup = new QGroupBox(QStringLiteral("Milling"), this);
  MillGroup->setObjectName(QStringLiteral("MillGroup"));
  top->addWidget(MillGroup);
  auto* form = new QFormLayout(MillGroup);
  BitCombo = new QComboBox(MillGroup);
  BitCombo->setObjectName(QStringLiteral("BitCombo"));
  BitCombo->addItems({QStringLiteral("Flat end mill"), QStringLiteral("V-bit")});
  form->addRow(QStringLiteral("Isolation bit"), BitCombo);
  BitDiameterEdit = NewEdit(MillGroup, "BitDiameterEdit", 3, mm, 0.05);
  form->addRow(QStringLiteral("Bit diameter"), BitDiameterEdit);
  VAngleEdit = NewEdit(MillGroup, "VAngleEdit", 1, QStringLiteral("°"), 5);
  form->addRow(QStringLiteral("V-bit angle"), VAngleEdit);
  VTipEdit = NewEdit(MillGroup, "VTipEdit", 3, mm, 0.01);
  form->addRow(QStringLiteral("V-bit tip width"), VTipEdit);
  CutDepthEdit = NewEdit(MillGroup, "CutDepthEdit", 3, mm, 0.01);
  form->addRow(QStringLiteral("Cut depth"), CutDepthEdit);
  CutWidthLabel = new QLabel(MillGroup);
  CutWidthLabel->setObjectName(QStringLiteral("CutWidthLabel"));
  form->addRow(QStringLiteral("Cut width"), CutWidthLabel);
  PassesEdit = NewCount(MillGroup, "PassesEdit");
  PassesEdit->setToolTip(QStringLiteral("Grooves around each island of copper, 1 to 4."));
  form->addRow(QStringLiteral("Isolation passes"), PassesEdit);
  OverlapEdit = NewEdit(MillGroup, "OverlapEdit", 0, QStringLiteral(" %"), 5);
  form->addRow(QStringLiteral("Pass overlap"), OverlapEdit);
  FeedEdit = NewEdit(MillGroup, "FeedEdit", 0, rate, 10);
  form->addRow(QStringLiteral("Feed rate"), FeedEdit);
  PlungeEdit = NewEdit(MillGroup, "PlungeEdit", 0, rate, 10);
  form->addRow(QStringLiteral("Plunge rate"), PlungeEdit);
  SpindleEdit = NewCount(MillGroup, "SpindleEdit", QStringLiteral(" rpm"));
  SpindleEdit->setSingleStep(1000);
  form->addRow(QStringLiteral("Spindle speed"), SpindleEdit);
  SafeHeightEdit = NewEdit(MillGroup, "SafeHeightEdit", 2, mm, 0.5);
  form->addRow(QStringLiteral("Safe height"), SafeHeightEdit);
  TravelHeightEdit = NewEdit(MillGroup, "TravelHeightEdit", 2, mm, 0.1);
  form->addRow(QStringLiteral("Travel height"), TravelHeightEdit);
  DrillDepthEdit = NewEdit(MillGroup, "DrillDepthEdit", 2, mm, 0.1);
  form->addRow(QStringLiteral("Drill depth"), DrillDepthEdit);
  OutlineBitEdit = NewEdit(MillGroup, "OutlineBitEdit", 2, mm, 0.1);
  form->addRow(QStringLiteral("Outline bit diameter"), OutlineBitEdit);
  BoardThicknessEdit = NewEdit(MillGroup, "BoardThicknessEdit", 2, mm, 0.1);
  form->addRow(QStringLiteral("Board thickness"), BoardThicknessEdit);
  DepthPerPassEdit = NewEdit(MillGroup, "DepthPerPassEdit", 2, mm, 0.1);
  form->addRow(QStringLiteral("Outline depth per pass"), DepthPerPassEdit);
  auto* tabs = new QHBoxLayout;
  TabsEdit = NewCount(MillGroup, "TabsEdit");
  TabWidthEdit = NewEdit(MillGroup, "TabWidthEdit", 2, mm, 0.5);
  tabs->addWidget(TabsEdit);
  tabs->addWidget(new QLabel(QStringLiteral("wide"), MillGroup));
  tabs->addWidget(TabWidthEdit);
  form->addRow(QStringLiteral("Holding tabs"), tabs);
  MirrorCheck =
      new QCheckBox(QStringLiteral("Mirror: the board lies copper up on the mill"), MillGroup);
  MirrorCheck->setObjectName(QStringLiteral("MirrorCheck"));
  form->addRow(MirrorCheck);

  ProblemLabel = new QLabel(this);
  ProblemLabel->setObjectName(QStringLiteral("ProblemLabel"));
  ProblemLabel->setStyleSheet(QStringLiteral("color: #c00000"));
  ProblemLabel->setWordWrap(true);
  ProblemLabel->hide();
  top->addWidget(ProblemLabel);
  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::RestoreDefaults, this);
  top->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &TProcessDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(buttons->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, this,
          [this] { SetProcess(TMillProcess{}); });

  for (QComboBox* combo : {MakingCombo, BitCombo})
    connect(combo, &QComboBox::currentIndexChanged, this, &TProcessDialog::ShowChoices);
  for (QDoubleSpinBox* edit : {BitDiameterEdit, VAngleEdit, VTipEdit, CutDepthEdit})
    connect(edit, &QDoubleSpinBox::valueChanged, this, &TProcessDialog::ShowChoices);
  SetProcess(process);
}

void TProcessDialog::ShowChoices() {
  const bool mill = MakingCombo->currentIndex() == bmMill;
  EtchCompensationEdit->setEnabled(!mill);
  MillGroup->setEnabled(mill);
  const bool vee = BitCombo->currentIndex() == mbVee;
  BitDiameterEdit->setEnabled(!vee);
  VAngleEdit->setEnabled(vee);
  VTipEdit->setEnabled(vee);
  CutWidthLabel->setText(QStringLiteral("%1 mm").arg(Process().CutWidth(), 0, 'f', 3));
}

TMillProcess TProcessDialog::Process() const {
  TMillProcess p;
  p.Making = MakingCombo->currentIndex() == bmMill ? bmMill : bmEtch;
  p.EtchCompensation = EtchCompensationEdit->value();
  p.Bit = BitCombo->currentIndex() == mbVee ? mbVee : mbFlat;
  p.BitDiameter = BitDiameterEdit->value();
  p.VAngle = VAngleEdit->value();
  p.VTip = VTipEdit->value();
  p.CutDepth = CutDepthEdit->value();
  p.Passes = PassesEdit->value();
  p.Overlap = OverlapEdit->value();
  p.Feed = FeedEdit->value();
  p.Plunge = PlungeEdit->value();
  p.Spindle = SpindleEdit->value();
  p.SafeHeight = SafeHeightEdit->value();
  p.TravelHeight = TravelHeightEdit->value();
  p.DrillDepth = DrillDepthEdit->value();
  p.OutlineBit = OutlineBitEdit->value();
  p.BoardThickness = BoardThicknessEdit->value();
  p.DepthPerPass = DepthPerPassEdit->value();
  p.Tabs = TabsEdit->value();
  p.TabWidth = TabWidthEdit->value();
  p.Mirror = MirrorCheck->isChecked();
  return p;
}

void TProcessDialog::SetProcess(const TMillProcess& p) {
  MakingCombo->setCurrentIndex(p.Making);
  EtchCompensationEdit->setValue(p.EtchCompensation);
  BitCombo->setCurrentIndex(p.Bit);
  BitDiameterEdit->setValue(p.BitDiameter);
  VAngleEdit->setValue(p.VAngle);
  VTipEdit->setValue(p.VTip);
  CutDepthEdit->setValue(p.CutDepth);
  PassesEdit->setValue(p.Passes);
  OverlapEdit->setValue(p.Overlap);
  FeedEdit->setValue(p.Feed);
  PlungeEdit->setValue(p.Plunge);
  SpindleEdit->setValue(p.Spindle);
  SafeHeightEdit->setValue(p.SafeHeight);
  TravelHeightEdit->setValue(p.TravelHeight);
  DrillDepthEdit->setValue(p.DrillDepth);
  OutlineBitEdit->setValue(p.OutlineBit);
  BoardThicknessEdit->setValue(p.BoardThickness);
  DepthPerPassEdit->setValue(p.DepthPerPass);
  TabsEdit->setValue(p.Tabs);
  TabWidthEdit->setValue(p.TabWidth);
  MirrorCheck->setChecked(p.Mirror);
  ShowChoices();
}

void TProcessDialog::accept() {
  std::string why;
  if (!Process().Valid(&why)) {
    QString text = QString::fromStdString(why);
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    ProblemLabel->setText(text + QLatin1Char('.'));
    ProblemLabel->show();
    return;
  }
  ProblemLabel->hide();
  QDialog::accept();
}

TMillProcess TProcessDialog::Load() { return LoadMillProcess(*UserSettings()); }

void TProcessDialog::Save(const TMillProcess& process) {
  SaveMillProcess(*UserSettings(), process);
}
