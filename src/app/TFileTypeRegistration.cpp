#include "TFileTypeRegistration.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QSettings>

#include "TResources.h"

namespace {

QByteArray ReadResource(const QString& name) {
  InitResources();
  QFile file(name);
  if (!file.open(QIODevice::ReadOnly)) return QByteArray();
  return file.readAll();
}

// Writes a file whole, through a temporary file, unless it already holds exactly these bytes.
// Returns false when the folder or the file cannot be written; changed says whether it was.
bool WriteFile(const QString& fileName, const QByteArray& bytes, bool* changed = nullptr) {
  if (changed) *changed = false;
  if (bytes.isEmpty()) return false;
  QFile current(fileName);
  if (current.open(QIODevice::ReadOnly) && current.readAll() == bytes) return true;
  current.close();
  if (!QDir().mkpath(QFileInfo(fileName).absolutePath())) return false;
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    return false;
  if (changed) *changed = true;
  return true;
}

void RunDetached(const QString& program, const QStringList& arguments) {
  // A desktop without these tools still gets the files; nothing waits and nothing is shown.
  QProcess process;
  process.setProgram(program);
  process.setArguments(arguments);
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  process.startDetached();
}

QString DefaultDataHome() {
  const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
  if (QDir::isAbsolutePath(xdg)) return xdg;
  const QString home = qEnvironmentVariable("HOME");
  if (home.isEmpty()) return QString();
  return home + QStringLiteral("/.local/share");
}

}  // namespace

TFileTypeRegistration::TFileTypeRegistration(const QString& executable)
    : Executable_(executable), DataHome_(DefaultDataHome()), Runner_(RunDetached) {}

void TFileTypeRegistration::RegisterRunningProgram() {
  TFileTypeRegistration(QCoreApplication::applicationFilePath()).Register();
}

bool TFileTypeRegistration::Register() const {
  try {
#ifdef Q_OS_WIN
    return RegisterWindows();
#else
    return RegisterFreedesktop();
#endif
  } catch (...) {
    return false;
  }
}

QString TFileTypeRegistration::ExecArgument(const QString& path) {
  // Inside a quoted argument ", `, $ and \ take a backslash ...
  QString quoted = QStringLiteral("\"");
  for (const QChar c : path) {
    if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
        c == QLatin1Char('\\'))
      quoted += QLatin1Char('\\');
    quoted += c;
  }
  quoted += QLatin1Char('"');
  // ... and then the whole value follows the string rules of the file.
  QString value;
  for (const QChar c : quoted) {
    if (c == QLatin1Char('\\'))
      value += QStringLiteral("\\\\");
    else if (c == QLatin1Char('\n'))
      value += QStringLiteral("\\n");
    else if (c == QLatin1Char('\t'))
      value += QStringLiteral("\\t");
    else if (c == QLatin1Char('\r'))
      value += QStringLiteral("\\r");
    else if (c == QLatin1Char('%'))
      value += QStringLiteral("%%");
    else
      value += c;
  }
  return value;
}

QByteArray TFileTypeRegistration::DesktopEntry(const QString& executable) {
  QByteArray entry = ReadResource(QStringLiteral(":/desktop/ferrolume.desktop.in"));
  entry.replace("@FERROLUME_EXEC@", ExecArgument(executable).toUtf8());
  return entry;
}

QByteArray TFileTypeRegistration::MimePackage() {
  return ReadResource(QStringLiteral(":/desktop/ferrolume-pcb.xml"));
}

bool TFileTypeRegistration::RegisterFreedesktop() const {
  if (DataHome_.isEmpty() || Executable_.isEmpty()) return false;
  const QString mimeFolder = DataHome_ + QStringLiteral("/mime");
  const QString applications = DataHome_ + QStringLiteral("/applications");
  const QString icons = DataHome_ + QStringLiteral("/icons/hicolor/scalable");
  const QByteArray icon = ReadResource(QStringLiteral(":/icons/ferrolume.svg"));

  // In the order of the Windows rows: the type and its description, the program that opens it,
  // its icon. The first write that fails ends the registration.
  bool mimeChanged = false;
  bool entryChanged = false;
  if (!WriteFile(mimeFolder + QStringLiteral("/packages/ferrolume-pcb.xml"), MimePackage(),
                 &mimeChanged))
    return false;
  if (!WriteFile(applications + QLatin1Char('/') + DesktopFileName, DesktopEntry(Executable_),
                 &entryChanged))
    return false;
  if (!WriteFile(icons + QStringLiteral("/apps/") + IconName + QStringLiteral(".svg"), icon))
    return false;
  // File managers that look the icon up by the type's name find the same picture.
  QString typeIcon = MimeType;
  typeIcon.replace(QLatin1Char('/'), QLatin1Char('-'));
  if (!WriteFile(icons + QStringLiteral("/mimetypes/") + typeIcon + QStringLiteral(".svg"), icon))
    return false;

  if (mimeChanged || !QFileInfo::exists(mimeFolder + QStringLiteral("/mime.cache")))
    Runner_(QStringLiteral("update-mime-database"), {mimeFolder});
  if (entryChanged) Runner_(QStringLiteral("update-desktop-database"), {applications});
  Runner_(QStringLiteral("xdg-mime"), {QStringLiteral("default"), DesktopFileName, MimeType});
  return true;
}

bool TFileTypeRegistration::RegisterWindows() const {
#ifdef Q_OS_WIN
  const QString program = QDir::toNativeSeparators(Executable_);
  const QString quote = QStringLiteral("\"");
  const QString rows[4][2] = {
      {QStringLiteral(".pcb"), TypeName},
      {TypeName, Description},
      {TypeName + QStringLiteral("\\DefaultIcon"), quote + program + QStringLiteral("\", 1")},
      {TypeName + QStringLiteral("\\Shell\\Open\\Command"),
       quote + program + QStringLiteral("\" \"%1\"")},
  };
  for (const auto& row : rows) {
    QSettings key(QStringLiteral("HKEY_CLASSES_ROOT\\") + row[0], QSettings::NativeFormat);
    key.setValue(QStringLiteral("Default"), row[1]);
    key.sync();
    if (key.status() != QSettings::NoError) return false;
  }
  return true;
#else
  return false;
#endif
}
