// The desktop registration of .pcb boards, checked with the desktop's own tools in a temporary
// home.
#include <QProcess>
#include <QStandardPaths>

#include "AppTestSupport.h"
#include "TFileTypeRegistration.h"

namespace {

// Runs a tool to its end and tells its exit code and what it printed (-1 when it did not run).
std::pair<int, QString> RunTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, arguments);
  const bool ran = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit;
  if (!ran) process.kill();
  return {ran ? process.exitCode() : -1, QString::fromLocal8Bit(process.readAll()).trimmed()};
}

bool HaveTool(const char* name) {
  return !QStandardPaths::findExecutable(QLatin1String(name)).isEmpty();
}

// A home of its own for each test: XDG_DATA_HOME and XDG_CONFIG_HOME point into it (only these
// tests register for real), and the tools run synchronously so the test can look at them.
class Registration : public ::testing::Test {
 protected:
  QTemporaryDir Home{TestHome() + QStringLiteral("/home-XXXXXX")};
  const QString DataHome = Home.filePath("data"),
                Entry = DataHome + "/applications/ferrolume.desktop";
  const QString Board = Home.filePath("blinker.pcb");

  void SetUp() override {
    qputenv("XDG_DATA_HOME", DataHome.toUtf8());
    qputenv("XDG_CONFIG_HOME", Home.filePath("config").toUtf8());
    WriteBytes(Board, "*Solder*\r\n128, 80, 4, 12, 0\r\n\r\n*Wire*\r\n");
  }
  // Registers an executable the way a start does, but waits for the tools.
  bool Register(const QString& executable, QStringList* ran = nullptr) const {
    TFileTypeRegistration registration(executable);
    registration.SetRunner([ran](const QString& program, const QStringList& arguments) {
      if (ran) *ran << program;
      RunTool(program, arguments);
    });
    return registration.Register();
  }
};

TEST(ExecArgument, QuotesAndEscapesAPathAsOneArgument) {
  const std::pair<QString, QString> rows[] = {
      {"/opt/my tools/ferrolume", "\"/opt/my tools/ferrolume\""},
      {"/tmp/100%/ferrolume", "\"/tmp/100%%/ferrolume\""},
      {"/tmp/$HOME/f", "\"/tmp/\\\\$HOME/f\""},
      {"/tmp/a\"b/f", "\"/tmp/a\\\\\"b/f\""},
      {"/tmp/back`tick/f", "\"/tmp/back\\\\`tick/f\""},
      {"/tmp/back\\slash/f", "\"/tmp/back\\\\\\\\slash/f\""},
  };
  for (const auto& [path, argument] : rows)
    EXPECT_EQ(TFileTypeRegistration::ExecArgument(path), argument) << path.toStdString();
}

// The entry names the last executable registered and is the default for boards; a start that
// finds it so only claims the default again, and a fresh process knows boards by extension.
TEST_F(Registration, WritesAValidEntryForTheLastExecutableAndMakesItTheDefault) {
  const QString first = Home.filePath("bin dir/ferrolume"), exe = "/opt/ferrolume-2/ferrolume";
  ASSERT_TRUE(Register(first));
  QStringList ran;
  ASSERT_TRUE(Register(exe, &ran));
  EXPECT_TRUE(FileHas(Entry, ("\nExec=\"" + exe + "\" %f\n").toStdString())) << ReadBytes(Entry);
  EXPECT_FALSE(FileHas(Entry, first.toStdString()));
  ran.clear();
  ASSERT_TRUE(Register(exe, &ran));
  EXPECT_EQ(ran, QStringList{"xdg-mime"});

  if (HaveTool("desktop-file-validate")) {
    EXPECT_EQ(RunTool("desktop-file-validate", {Entry}), std::make_pair(0, QString()));
  }
  if (HaveTool("xdg-mime")) {
    EXPECT_EQ(RunTool("xdg-mime", {"query", "default", "application/x-ferrolume-pcb"}).second,
              "ferrolume.desktop");
  }
  // This process has already read the MIME database; a fresh one reads the new one.
  if (HaveTool("update-mime-database")) {
    EXPECT_TRUE(RunTool(FERROLUME_BINARY_DIR "/tests/mime_probe", {Board})
                    .second.contains("MIME=application/x-ferrolume-pcb;PCB Layout File;"));
  }
}

// Without the desktop's tools the files are still written; where nothing can be written the
// program starts as usual, silently.
TEST_F(Registration, ADesktopWithoutItsToolsOrAWritableHomeStillStartsSilently) {
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", Home.filePath("empty-bin").toUtf8());
  const bool registered = TFileTypeRegistration("/usr/bin/ferrolume").Register();
  qputenv("PATH", path);
  EXPECT_TRUE(registered);
  EXPECT_TRUE(QFile::exists(Entry));
  EXPECT_FALSE(QFile::exists(DataHome + "/mime/mime.cache"));

  // A file where the data folder should be: even root cannot create folders under it.
  qputenv("XDG_DATA_HOME", (Board + "/data").toUtf8());
  TFileTypeRegistration registration("/usr/bin/ferrolume");
  QStringList ran;
  registration.SetRunner([&](const QString& program, const QStringList&) { ran << program; });
  EXPECT_FALSE(registration.Register());
  EXPECT_TRUE(ran.isEmpty());
  TTestForm form;
  form.RealRegistration = true;
  form.FormCreate({Board});
  EXPECT_TRUE(form.Boxes.empty());
  EXPECT_EQ(form.Editor->Elements().Count(), 1);
}

}  // namespace
