#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <string>
#include <string_view>

#include "TBoardError.h"

// Board files are bytes: they are read whole and written whole, without any conversion of the
// text, so the WinTypon bytes 0xA4 and 0xB7 stay single bytes both ways.

// The whole content of a file. A file that cannot be opened or read raises
// "Impossible d'ouvrir le fichier "<full path>". <cause>".
QByteArray ReadBoardFile(const QString& fileName);

// A file that opens but holds something else than a board: it must not take the board's place,
// nor its name. The command-line tools tell it apart from a board they fail to read or write.
class ENotABoard : public EBoardError {
 public:
  using EBoardError::EBoardError;
};

// Raises ENotABoard with "The file "<full path>" is not a board file: <why>".
[[noreturn]] void FailNotABoard(const QString& fileName, const std::string& why);

// Writes the bytes to a temporary file beside the target and puts it in the target's place only
// once every byte is on disk, so a failed save leaves the old file whole. A read-only target is
// refused as it would be by writing it in place. Failures raise
// "Impossible de créer le fichier "<full path>". <cause>".
void WriteBoardFile(const QString& fileName, std::string_view bytes);

// A board file being saved, written piece by piece to the temporary file; the target is replaced
// by Commit() only. Destroyed without Commit() (an error on the way), it leaves no trace.
class TBoardFileWriter {
 public:
  explicit TBoardFileWriter(const QString& fileName);
  void Write(std::string_view bytes);
  void Commit();

 private:
  QString FileName_;
  QSaveFile File_;
};
