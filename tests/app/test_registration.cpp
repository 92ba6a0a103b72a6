// The desktop registration of .pcb boards, checked with the desktop's own tools in a temporary
// home.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "AppTestSupport.h"
#include "TFileTypeRegistration.h"
#include "TPCBLayout.h"

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

QString ReadText(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A home of its own for each test: XDG_DATA_HOME and XDG_CONFIG_HOME point into it (only these
// tests register for real), and the tools run synchronously so the test can look at them.
class Registration : public ::testing::Test {
 protected:
  QTemporaryDir Home{TestHome() + QStringLiteral("/home-XXXXXX")};
  const QString DataHome = Home.filePath("data"),
                Entry = DataHome + "/applications/ferrolume.desktop";

  void SetUp() override {
    qputenv("XDG_DATA_HOME", DataHome.toUtf8());
    qputenv("XDG_CONFIG_HOME", Home.filePath("config").toUtf8());
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
  QString WriteBoard(const QString& name) const {
    QFile file(Home.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("*Solder*\r\n128, 80, 4, 12, 0\r\n\r\n*Wire*\r\n");
    return file.fileName();
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

TEST_F(Registration, WritesAValidEntryForTheLastExecutableAndMakesItTheDefault) {
  const QString first = Home.filePath("bin dir/ferrolume"), exe = "/opt/ferrolume-2/ferrolume";
  ASSERT_TRUE(Register(first));
  QStringList ran;
  ASSERT_TRUE(Register(exe, &ran));
  const QString entry = ReadText(Entry);
  EXPECT_TRUE(entry.contains(QStringLiteral("\nExec=\"%1\" %f\n").arg(exe))) << entry.toStdString();
  EXPECT_FALSE(entry.contains(first));
  // Started again: nothing to rebuild, only the default is claimed again.
  ran.clear();
  ASSERT_TRUE(Register(exe, &ran));
  EXPECT_EQ(ran, QStringList{"xdg-mime"});

  if (HaveTool("desktop-file-validate")) {
    EXPECT_EQ(RunTool("desktop-file-validate", {Entry}), std::make_pair(0, QString()));
  }
  if (HaveTool("xdg-mime")) {
    EXPECT_EQ(RunTool("xdg-mime", {"query", "default", "application/x-ferrolume-pcb"}).second,
              QStringLiteral("ferrolume.desktop"));
  }
}

TEST_F(Registration, ANewProcessKnowsBoardsByTheirExtension) {
  if (!HaveTool("update-mime-database")) GTEST_SKIP() << "update-mime-database is missing";
  ASSERT_TRUE(Register("/usr/bin/ferrolume"));
  // This process has already read the database; a fresh one reads the new one.
  const QString output =
      RunTool(FERROLUME_BINARY_DIR "/tests/mime_probe", {WriteBoard("blinker.pcb")}).second;
  EXPECT_TRUE(output.contains("MIME=application/x-ferrolume-pcb;PCB Layout File;"))
      << output.toStdString();
}

TEST_F(Registration, ADesktopWithoutItsToolsStillGetsTheFiles) {
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", Home.filePath("empty-bin").toUtf8());
  const bool registered = TFileTypeRegistration("/usr/bin/ferrolume").Register();
  qputenv("PATH", path);
  EXPECT_TRUE(registered);
  EXPECT_TRUE(QFile::exists(Entry));
  EXPECT_FALSE(QFile::exists(DataHome + "/mime/mime.cache"));
}

TEST_F(Registration, AnUnwritableHomeGivesASilentNormalStart) {
  // A file where the data folder should be: even root cannot create folders under it.
  const QString blocker = WriteBoard("blocker");
  qputenv("XDG_DATA_HOME", (blocker + "/data").toUtf8());
  TFileTypeRegistration registration("/usr/bin/ferrolume");
  QStringList ran;
  registration.SetRunner([&](const QString& program, const QStringList&) { ran << program; });
  EXPECT_FALSE(registration.Register());
  EXPECT_TRUE(ran.isEmpty());

  TTestForm form;
  form.RealRegistration = true;
  form.FormCreate({WriteBoard("board.pcb")});
  EXPECT_TRUE(form.Boxes.empty());
  EXPECT_EQ(form.Editor->Elements().Count(), 1);
}

}  // namespace
