#include "TArtworkOptions.h"

#include <QRegularExpression>
#include <QSettings>

bool ParseCopies(const QString& text, int32_t& rows, int32_t& columns) {
  static const QRegularExpression grid(QStringLiteral("^([0-9]{1,3})[xX]([0-9]{1,3})$"));
  const QRegularExpressionMatch m = grid.match(text);
  if (!m.hasMatch()) return false;
  const int r = m.captured(1).toInt(), c = m.captured(2).toInt();
  if (r < 1 || c < 1 || r > TArtworkOptions::MaxCopies || c > TArtworkOptions::MaxCopies)
    return false;
  rows = r;
  columns = c;
  return true;
}

bool ParseScale(const QString& text, int32_t& hundredths) {
  static const QRegularExpression percent(QStringLiteral("^([0-9]{1,3})(?:\\.([0-9]{0,2}))?$"));
  const QRegularExpressionMatch m = percent.match(text);
  if (!m.hasMatch()) return false;
  const QString decimals = m.captured(2).leftJustified(2, QLatin1Char('0'));
  const int32_t value = m.captured(1).toInt() * 100 + decimals.toInt();
  if (value < TArtworkOptions::MinScale || value > TArtworkOptions::MaxScale) return false;
  hundredths = value;
  return true;
}

QString ScaleText(int32_t hundredths) {
  return QStringLiteral("%1.%2")
      .arg(hundredths / 100)
      .arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

TArtworkOptions LoadArtworkOptions(QSettings& settings) {
  TArtworkOptions o;
  settings.beginGroup(QStringLiteral("print"));
  o.Mirror = settings.value(QStringLiteral("mirror"), false).toBool();
  o.Negative = settings.value(QStringLiteral("negative"), false).toBool();
  o.DrillMarks = settings.value(QStringLiteral("drillMarks"), false).toBool();
  int32_t rows, columns, scale;
  if (ParseCopies(settings.value(QStringLiteral("copies")).toString(), rows, columns)) {
    o.Rows = rows;
    o.Columns = columns;
  }
  if (ParseScale(settings.value(QStringLiteral("scaleX")).toString(), scale)) o.ScaleX = scale;
  if (ParseScale(settings.value(QStringLiteral("scaleY")).toString(), scale)) o.ScaleY = scale;
  settings.endGroup();
  return o;
}

void SaveArtworkOptions(QSettings& settings, const TArtworkOptions& o) {
  settings.beginGroup(QStringLiteral("print"));
  settings.setValue(QStringLiteral("mirror"), o.Mirror);
  settings.setValue(QStringLiteral("negative"), o.Negative);
  settings.setValue(QStringLiteral("drillMarks"), o.DrillMarks);
  settings.setValue(QStringLiteral("copies"), QStringLiteral("%1x%2").arg(o.Rows).arg(o.Columns));
  settings.setValue(QStringLiteral("scaleX"), ScaleText(o.ScaleX));
  settings.setValue(QStringLiteral("scaleY"), ScaleText(o.ScaleY));
  settings.endGroup();
}
