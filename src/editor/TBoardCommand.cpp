#include "TBoardCommand.h"

QString TBoardCommand::CountedName(const QString& verb, int32_t count) {
  if (count == 1) return verb + QStringLiteral(" Element");
  return QStringLiteral("%1 %2 Elements").arg(verb).arg(count);
}
