#include "TBoardFile.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "TBoardError.h"
#include "TMessageText.h"

namespace {

// The full path the user can find the file by, shortened if it is unreasonably long.
std::string QuotedPath(const QString& fileName) {
  return ShortQuote(QDir::cleanPath(QFileInfo(fileName).absoluteFilePath()).toStdString(),
                    QuotedNameLimit);
}

[[noreturn]] void Fail(const char* what, const QString& fileName, const QString& cause) {
  throw EBoardError(std::string(what) + " \"" + QuotedPath(fileName) + "\". " +
                    cause.toStdString());
}

[[noreturn]] void FailOpen(const QString& fileName, const QString& cause) {
  Fail("Impossible d'ouvrir le fichier", fileName, cause);
}

[[noreturn]] void FailCreate(const QString& fileName, const QString& cause) {
  Fail("Impossible de créer le fichier", fileName, cause);
}

QString SystemMessage(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

}  // namespace

QByteArray ReadBoardFile(const QString& fileName) {
  // Qt would open a folder for reading and hand back no bytes, a silently empty board.
  if (QFileInfo(fileName).isDir()) FailOpen(fileName, SystemMessage(EISDIR));
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) FailOpen(fileName, file.errorString());
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) FailOpen(fileName, file.errorString());
  return bytes;
}

void FailNotABoard(const QString& fileName, const std::string& why) {
  throw ENotABoard("The file \"" + QuotedPath(fileName) + "\" is not a board file: " + why);
}

TBoardFileWriter::TBoardFileWriter(const QString& fileName) : FileName_(fileName), File_(fileName) {
  const QFileInfo target(fileName);
  if (target.isDir()) FailCreate(fileName, SystemMessage(EISDIR));
  if (target.exists() && !target.isWritable()) FailCreate(fileName, SystemMessage(EACCES));
  // Unbuffered: Qt's own write buffer is emptied only when the file is committed, and a failure
  // there (a disk that fills up on the last few kilobytes) would be lost and the short file put
  // in the target's place. Written straight through, every failure reaches Write().
  if (!File_.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
    FailCreate(fileName, File_.errorString());
}

void TBoardFileWriter::Write(std::string_view bytes) {
  const char* p = bytes.data();
  qint64 left = static_cast<qint64>(bytes.size());
  while (left > 0) {
    const qint64 written = File_.write(p, left);
    if (written <= 0) {
      const QString cause = File_.errorString();
      File_.cancelWriting();
      FailCreate(FileName_, cause);
    }
    p += written;
    left -= written;
  }
}

void TBoardFileWriter::Commit() {
  if (!File_.commit()) FailCreate(FileName_, File_.errorString());
}

void WriteBoardFile(const QString& fileName, std::string_view bytes) {
  TBoardFileWriter file(fileName);
  file.Write(bytes);
  file.Commit();
}
