// Before QApplication exists: every test lives in a temporary home on a plain desktop.
#include "AppTestSupport.h"

namespace {

const QTemporaryDir& Home() {
  static const QTemporaryDir home(QStringLiteral("/tmp/ferrolume-app-tests-XXXXXX"));
  return home;
}

// Touched at static initialisation, before main() builds the application.
[[maybe_unused]] const bool homeReady = [] {
  const QString root = Home().path();
  QDir(root).mkdir(QStringLiteral("runtime"));
  QFile::setPermissions(root + QStringLiteral("/runtime"),
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  qputenv("HOME", root.toUtf8());
  for (const char* dir : {"DATA", "CONFIG", "CACHE"})
    qputenv(QByteArray("XDG_") + dir + "_HOME", (root + "/" + dir).toUtf8());
  qputenv("XDG_RUNTIME_DIR", (root + QStringLiteral("/runtime")).toUtf8());
  for (const char* name :
       {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "KDE_SESSION_VERSION",
        "GNOME_DESKTOP_SESSION_ID", "XDG_SESSION_DESKTOP"})
    qunsetenv(name);
  return true;
}();

}  // namespace

QString TestHome() { return Home().path(); }
