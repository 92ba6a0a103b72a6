// Throwaway stand-in for the board files until they land in main. Delete before merging.
#include <QFile>

#include "TBoardError.h"
#include "TElementList.h"
#include "TPcbText.h"

static bool HasExtension(const QString& name, const char* ext) {
  return name.toLower().endsWith(QLatin1String(ext));
}
void TElementList::LoadFromFile(const QString& fileName) {
  if (!HasExtension(fileName, ".pcb")) throw EBoardError("Invalid file extention");
  QFile f(fileName);
  if (!f.open(QIODevice::ReadOnly)) throw EBoardError("Impossible d'ouvrir le fichier");
  const QByteArray bytes = f.readAll();
  std::string text(bytes.constData(), bytes.size());
  auto lines = SplitLines(text);
  Replace(ReadElements(Layout(), lines, false));
  Layout()->SetModified(false);
  Layout()->RenderBoard();
}
void TElementList::SaveToFile(const QString& fileName) {
  if (!HasExtension(fileName, ".pcb")) throw EBoardError("Invalid file extention");
  QFile f(fileName);
  if (!f.open(QIODevice::WriteOnly)) throw EBoardError("Impossible de créer le fichier");
  f.write(QByteArray::fromStdString(WritePcbText(*this, [](const TPCBElement&) { return true; })));
  Layout()->SetModified(false);
}
