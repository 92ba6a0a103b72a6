#include "TPadSize.h"

#include <algorithm>
#include <cmath>

#include "TBoardError.h"
#include "TMessageText.h"
#include "TTypes.h"

QString MillimetreText(int32_t units) {
  // Hundredths of a millimetre: units x 15.875, rounded half up, in integers so that 1.905 mm
  // shows as 1.91 however a double would hold it. Sizes are never negative.
  const int64_t hundredths = (std::max<int64_t>(units, 0) * 15875 + 500) / 1000;
  return QStringLiteral("%1.%2")
      .arg(hundredths / 100)
      .arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

namespace {

int32_t ReadSize(const QString& typed, int32_t low, int32_t high, const char* what) {
  QString text = typed.trimmed();
  if (text.endsWith(QLatin1String("mm"), Qt::CaseInsensitive)) text.chop(2);
  text = text.trimmed().replace(QLatin1Char(','), QLatin1Char('.'));
  bool ok = false;
  const double mm = text.toDouble(&ok);
  const QString range = QStringLiteral("%1 must be between %2 and %3 mm across")
                            .arg(QLatin1String(what), MillimetreText(low), MillimetreText(high));
  if (!ok || !std::isfinite(mm))
    throw EBoardError(QStringLiteral("'%1' is not a size in millimetres: %2")
                          .arg(ShortQuote(typed, QuotedNameLimit), range)
                          .toStdString());
  const double units = std::round(mm / MmPerUnit);
  if (units < low || units > high) throw EBoardError(range.toStdString());
  return static_cast<int32_t>(units);
}

}  // namespace

int32_t ReadPadSize(const QString& text) {
  return ReadSize(text, MinPadUnits, MaxPadUnits, "A pad");
}

int32_t ReadHoleSize(const QString& text) {
  return ReadSize(text, MinHoleUnits, MaxHoleUnits, "A hole");
}

int32_t ReadSmdSize(const QString& text) {
  return ReadSize(text, MinSmdUnits, MaxSmdUnits, "A side of an SMD pad");
}

void CheckHoleFits(int32_t hole, int32_t pad) {
  if (hole < pad) return;
  throw EBoardError(QStringLiteral("A hole of %1 mm must be smaller than its pad of %2 mm")
                        .arg(MillimetreText(hole), MillimetreText(pad))
                        .toStdString());
}
