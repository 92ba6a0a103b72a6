// Runs before QApplication exists: every test of this binary lives in a temporary home, so no
// test writes into the real one, and the desktop tools see a plain desktop.
#include <stdlib.h>

#include <QString>
#include <filesystem>
#include <string>

#include "AppTestSupport.h"

namespace {

struct TTestHome {
  std::string Root;
  bool Keep = false;
  TTestHome() {
    // A probe started by a test inherits the folders that test prepared for it.
    if (getenv("FERROLUME_MIME_PROBE")) {
      Root = getenv("HOME") ? getenv("HOME") : "";
      Keep = true;
      return;
    }
    char pattern[] = "/tmp/ferrolume-app-tests-XXXXXX";
    const char* made = mkdtemp(pattern);
    Root = made ? made : "/tmp/ferrolume-app-tests";
    const std::string runtime = Root + "/runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    setenv("HOME", Root.c_str(), 1);
    setenv("XDG_DATA_HOME", (Root + "/data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (Root + "/config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (Root + "/cache").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    for (const char* name :
         {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "KDE_SESSION_VERSION",
          "GNOME_DESKTOP_SESSION_ID", "XDG_SESSION_DESKTOP"})
      unsetenv(name);
  }
  ~TTestHome() {
    if (Keep) return;
    std::error_code ignored;
    std::filesystem::remove_all(Root, ignored);
  }
};

TTestHome& Home() {
  static TTestHome home;
  return home;
}

// Touched at static initialisation, before main() builds the application.
[[maybe_unused]] const bool homeReady = !Home().Root.empty();

}  // namespace

QString TestHome() { return QString::fromStdString(Home().Root); }
