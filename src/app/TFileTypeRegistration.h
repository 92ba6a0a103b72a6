#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

// Makes the running program the one that opens .pcb boards when the user double-clicks them.
// On Linux it follows the freedesktop.org standards, in the user's own folders: a MIME type for
// *.pcb ("PCB Layout File"), a desktop entry that starts this very executable with the file, the
// program's icon, and the user's default-application list. On Windows it writes the four
// HKEY_CLASSES_ROOT values the Explorer reads. It runs at every start, so the entries always
// name the executable that started last; it never fails and never shows anything.
class TFileTypeRegistration {
 public:
  // How outside programs are run: detached by default, so start-up never waits for them.
  using TRunner = std::function<void(const QString& program, const QStringList& arguments)>;

  // The type the entries carry, as the Windows registry knows it.
  static inline const QString TypeName = QStringLiteral("PCB.File");
  static inline const QString Description = QStringLiteral("PCB Layout File");
  static inline const QString MimeType = QStringLiteral("application/x-ferrolume-pcb");
  static inline const QString DesktopFileName = QStringLiteral("ferrolume.desktop");
  static inline const QString IconName = QStringLiteral("ferrolume");

  explicit TFileTypeRegistration(const QString& executable);

  // Where the user's data folders are: $XDG_DATA_HOME, or ~/.local/share.
  QString DataHome() const { return DataHome_; }
  void SetDataHome(const QString& folder) { DataHome_ = folder; }
  void SetRunner(TRunner runner) { Runner_ = std::move(runner); }

  // Writes everything and starts the desktop's tools; returns whether all of it was written.
  bool Register() const;

  // The registration of the program that is running now, with the tools started detached.
  static void RegisterRunningProgram();

  // The desktop entry for an executable, and the MIME package, as they are written.
  static QByteArray DesktopEntry(const QString& executable);
  static QByteArray MimePackage();
  // A path as one argument of a desktop entry's Exec line: quoted, escaped for the quoting rules
  // and then for the file's string rules, with a literal % doubled.
  static QString ExecArgument(const QString& path);

 private:
  bool RegisterFreedesktop() const;
  bool RegisterWindows() const;

  QString Executable_;
  QString DataHome_;
  TRunner Runner_;
};
