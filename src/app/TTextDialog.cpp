#include "TTextDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTextCursor>
#include <cmath>

#include "TUserSettings.h"
#include "TWindows1252.h"

namespace {

QDoubleSpinBox* NewMmEdit(QWidget* parent, const char* name, int32_t lowest) {
  auto* edit = new QDoubleSpinBox(parent);
  edit->setObjectName(QLatin1String(name));
  edit->setDecimals(2);
  edit->setRange(TTextDialog::MmOf(lowest), TTextDialog::MmOf(TCopperText::MaxHeight));
  edit->setSingleStep(MmPerUnit);
  edit->setSuffix(QStringLiteral(" mm"));
  // A typed size shows at once the whole board units it will be made of.
  QObject::connect(edit, &QDoubleSpinBox::editingFinished, edit, [edit] {
    edit->setValue(TTextDialog::MmOf(TTextDialog::UnitsOf(edit->value())));
  });
  return edit;
}

// How the user sees a character in the message that refuses it: itself and its code point.
QString Described(const QString& text, qsizetype at) {
  const bool pair = text.at(at).isHighSurrogate() && at + 1 < text.size();
  const QString c = text.mid(at, pair ? 2 : 1);
  const char32_t code =
      pair ? QChar::surrogateToUcs4(text.at(at), text.at(at + 1)) : char32_t(text.at(at).unicode());
  const QString number =
      QStringLiteral("U+%1").arg(uint(code), code > 0xFFFF ? 5 : 4, 16, QLatin1Char('0')).toUpper();
  // A control character or a space of another kind is named by its number alone.
  if (QChar::isPrint(code) && !QChar::isSpace(code))
    return QStringLiteral("\u201C%1\u201D (%2)").arg(c, number);
  return number;
}

}  // namespace

int32_t TTextDialog::UnitsOf(double mm) {
  return static_cast<int32_t>(std::lround(mm / MmPerUnit));
}

double TTextDialog::MmOf(int32_t units) { return std::round(units * MmPerUnit * 100) / 100; }

TTextDialog::TTextDialog(const TTextFields& fields, bool editing, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("TextDialog"));
  setWindowTitle(editing ? QStringLiteral("Edit Text") : QStringLiteral("Place Text"));
  auto* form = new QFormLayout(this);
  TextEdit = new QPlainTextEdit(this);
  TextEdit->setObjectName(QStringLiteral("TextEdit"));
  TextEdit->setTabChangesFocus(true);
  TextEdit->setMinimumWidth(280);
  TextEdit->setFixedHeight(TextEdit->fontMetrics().lineSpacing() * 4 + 12);
  TextEdit->setToolTip(QStringLiteral("Shift+Enter starts a new line."));
  TextEdit->installEventFilter(this);
  form->addRow(QStringLiteral("Text"), TextEdit);
  HeightEdit = NewMmEdit(this, "HeightEdit", TCopperText::MinHeight);
  form->addRow(QStringLiteral("Letter height"), HeightEdit);
  StrokeWidthEdit = NewMmEdit(this, "StrokeWidthEdit", TCopperText::MinStrokeWidth);
  form->addRow(QStringLiteral("Stroke width"), StrokeWidthEdit);
  TurnsCombo = new QComboBox(this);
  TurnsCombo->setObjectName(QStringLiteral("TurnsCombo"));
  // Quarter turns clockwise, as R turns the selection.
  TurnsCombo->addItems({QStringLiteral("0\u00B0"), QStringLiteral("90\u00B0"),
                        QStringLiteral("180\u00B0"), QStringLiteral("270\u00B0")});
  form->addRow(QStringLiteral("Rotation"), TurnsCombo);
  CopperSideCheck = new QCheckBox(QStringLiteral("Reads on the copper side"), this);
  CopperSideCheck->setObjectName(QStringLiteral("CopperSideCheck"));
  CopperSideCheck->setToolTip(
      QStringLiteral("The board is shown from the component side, through the board: text that "
                     "reads right on the etched copper is shown mirrored."));
  form->addRow(CopperSideCheck);
  ProblemLabel = new QLabel(this);
  ProblemLabel->setObjectName(QStringLiteral("ProblemLabel"));
  ProblemLabel->setWordWrap(true);
  ProblemLabel->setStyleSheet(QStringLiteral("color: #b00000"));
  ProblemLabel->hide();
  form->addRow(ProblemLabel);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);
  SetFields(fields);
  TextEdit->setFocus();
  TextEdit->selectAll();
}

void TTextDialog::SetFields(const TTextFields& f) {
  TextEdit->setPlainText(FromWindows1252(f.Text));
  HeightEdit->setValue(MmOf(f.Height));
  StrokeWidthEdit->setValue(MmOf(f.StrokeWidth));
  TurnsCombo->setCurrentIndex(std::clamp(f.Turns, 0, 3));
  CopperSideCheck->setChecked(f.CopperSide);
}

TTextFields TTextDialog::Fields() const {
  TTextFields f;
  if (!ToWindows1252(TextEdit->toPlainText(), f.Text)) f.Text.clear();
  f.Height = UnitsOf(HeightEdit->value());
  f.StrokeWidth = UnitsOf(StrokeWidthEdit->value());
  f.Turns = TurnsCombo->currentIndex();
  f.CopperSide = CopperSideCheck->isChecked();
  return f;
}

QString TTextDialog::Problem() const {
  const QString typed = TextEdit->toPlainText();
  std::string bytes;
  qsizetype at = -1;
  if (!ToWindows1252(typed, bytes, &at))
    return QStringLiteral(
               "The character %1 cannot be made in copper: a text holds the letters, "
               "digits and signs of Windows-1252 only.")
        .arg(Described(typed, at));
  return QString::fromStdString(Fields().Problem());
}

void TTextDialog::accept() {
  const QString problem = Problem();
  if (problem.isEmpty()) {
    QDialog::accept();
    return;
  }
  ProblemLabel->setText(problem);
  ProblemLabel->show();
  // The refused character is selected, ready to be typed over.
  std::string bytes;
  qsizetype at = -1;
  const QString typed = TextEdit->toPlainText();
  if (!ToWindows1252(typed, bytes, &at) && at >= 0) {
    // A character beyond the first 65536 takes two places.
    const int length = typed.at(at).isHighSurrogate() ? 2 : 1;
    QTextCursor cursor = TextEdit->textCursor();
    cursor.setPosition(int(at));
    cursor.setPosition(int(at) + length, QTextCursor::KeepAnchor);
    TextEdit->setTextCursor(cursor);
    TextEdit->setFocus();
  }
}

bool TTextDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == TextEdit && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      if (key->modifiers() & Qt::ShiftModifier)
        TextEdit->textCursor().insertBlock();
      else
        accept();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

TTextFields TTextDialog::Load() {
  const auto settings = UserSettings();
  TTextFields f;
  std::string text;
  if (ToWindows1252(settings->value(QStringLiteral("Text/Text")).toString(), text)) f.Text = text;
  auto number = [&](const char* key, int32_t fallback) {
    bool ok = false;
    const int32_t v = settings->value(QLatin1String(key)).toInt(&ok);
    return ok ? v : fallback;
  };
  f.Height = number("Text/Height", f.Height);
  f.StrokeWidth = number("Text/StrokeWidth", f.StrokeWidth);
  f.Turns = number("Text/Turns", f.Turns);
  f.CopperSide = settings->value(QStringLiteral("Text/CopperSide"), true).toBool();
  // Values edited by hand into nonsense give the defaults back.
  TTextFields check = f;
  if (check.Text.empty()) check.Text = "A";
  if (!check.Problem().empty()) f = TTextFields();
  return f;
}

void TTextDialog::Save(const TTextFields& f) {
  const auto settings = UserSettings();
  settings->setValue(QStringLiteral("Text/Text"), FromWindows1252(f.Text));
  settings->setValue(QStringLiteral("Text/Height"), f.Height);
  settings->setValue(QStringLiteral("Text/StrokeWidth"), f.StrokeWidth);
  settings->setValue(QStringLiteral("Text/Turns"), f.Turns);
  settings->setValue(QStringLiteral("Text/CopperSide"), f.CopperSide);
}
