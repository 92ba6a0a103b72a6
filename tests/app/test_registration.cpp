// The desktop registration of .pcb boards, checked with the desktop's own tools in a temporary
// home.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>

#include "AppTestSupport.h"
#include "TFileTypeRegistration.h"
#include "TPCBLayout.h"

namespace {

// Runs a tool to its end in the environment of the test, and tells what it printed.
struct TToolRun {
  int ExitCode = -1;
  QString Output;
};

TToolRun RunTool(const QString& program, const QStringList& arguments,
                 const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
  QProcess process;
  process.setProcessEnvironment(env);
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, arguments);
  if (!process.waitForFinished(30000)) {
    process.kill();
    process.waitForFinished();
    return {};
  }
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          QString::fromLocal8Bit(process.readAll()).trimmed()};
}

bool HaveTool(const char* name) {
  return !QStandardPaths::findExecutable(QLatin1String(name)).isEmpty();
}

QString ReadText(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A home of its own for each test: XDG_DATA_HOME and XDG_CONFIG_HOME point into it while the
// test runs, and the tools run synchronously so the test can look at what they did.
class Registration : public ::testing::Test {
 protected:
  QTemporaryDir Home{TestHome() + QStringLiteral("/home-XXXXXX")};
  QByteArray SavedData = qgetenv("XDG_DATA_HOME");
  QByteArray SavedConfig = qgetenv("XDG_CONFIG_HOME");

  void SetUp() override {
    qputenv("XDG_DATA_HOME", DataHome().toUtf8());
    qputenv("XDG_CONFIG_HOME", ConfigHome().toUtf8());
  }
  void TearDown() override {
    qputenv("XDG_DATA_HOME", SavedData);
    qputenv("XDG_CONFIG_HOME", SavedConfig);
  }
  QString DataHome() const { return Home.filePath(QStringLiteral("data")); }
  QString ConfigHome() const { return Home.filePath(QStringLiteral("config")); }
  QString Entry() const { return DataHome() + QStringLiteral("/applications/ferrolume.desktop"); }

  // Registers an executable the way a start does, but waits for the tools.
  bool Register(const QString& executable, QStringList* ran = nullptr) const {
    TFileTypeRegistration registration(executable);
    EXPECT_EQ(registration.DataHome(), DataHome());
    registration.SetRunner([ran](const QString& program, const QStringList& arguments) {
      if (ran) *ran << program;
      RunTool(program, arguments);
    });
    return registration.Register();
  }
};

TEST(ExecArgument, QuotesAndEscapesAPathAsOneArgument) {
  const std::pair<QString, QString> rows[] = {
      {"/usr/bin/ferrolume", "\"/usr/bin/ferrolume\""},
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

TEST_F(Registration, WritesAValidEntryAndMakesItTheDefaultOpener) {
  const QString exe = Home.filePath(QStringLiteral("bin dir/ferrolume"));
  QStringList ran;
  ASSERT_TRUE(Register(exe, &ran));

  const QString entry = ReadText(Entry());
  EXPECT_TRUE(entry.contains(QStringLiteral("\nExec=\"%1\" %f\n").arg(exe))) << entry.toStdString();
  EXPECT_TRUE(entry.contains(QStringLiteral("\nMimeType=application/x-ferrolume-pcb;\n")));
  EXPECT_TRUE(entry.contains(QStringLiteral("\nX-Ferrolume-FileType=PCB.File\n")));
  EXPECT_TRUE(entry.contains(QStringLiteral("\nIcon=ferrolume\n")));
  EXPECT_TRUE(ReadText(DataHome() + QStringLiteral("/mime/packages/ferrolume-pcb.xml"))
                  .contains(QStringLiteral("<comment>PCB Layout File</comment>")));
  EXPECT_TRUE(
      QFile::exists(DataHome() + QStringLiteral("/icons/hicolor/scalable/apps/ferrolume.svg")));

  if (HaveTool("desktop-file-validate")) {
    const TToolRun validate = RunTool(QStringLiteral("desktop-file-validate"), {Entry()});
    EXPECT_EQ(validate.ExitCode, 0) << validate.Output.toStdString();
    EXPECT_TRUE(validate.Output.isEmpty()) << validate.Output.toStdString();
  }
  if (HaveTool("xdg-mime")) {
    const TToolRun query =
        RunTool(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             QStringLiteral("application/x-ferrolume-pcb")});
    EXPECT_EQ(query.Output, QStringLiteral("ferrolume.desktop"));
    EXPECT_TRUE(ReadText(ConfigHome() + QStringLiteral("/mimeapps.list"))
                    .contains(QStringLiteral("application/x-ferrolume-pcb=ferrolume.desktop")));
  }
  if (HaveTool("update-mime-database")) {
    EXPECT_TRUE(QFile::exists(DataHome() + QStringLiteral("/mime/mime.cache")));
  }
  EXPECT_TRUE(ran.contains(QStringLiteral("xdg-mime")));

  // Started again from the same place: nothing to rebuild, only the default is claimed again.
  ran.clear();
  ASSERT_TRUE(Register(exe, &ran));
  EXPECT_EQ(ran, QStringList{QStringLiteral("xdg-mime")});
}

TEST_F(Registration, TheEntryNamesTheExecutableThatStartedLast) {
  const QString first = QStringLiteral("/opt/ferrolume-1/ferrolume");
  const QString second = QStringLiteral("/home/ann/build/src/ferrolume");
  ASSERT_TRUE(Register(first));
  EXPECT_TRUE(ReadText(Entry()).contains(QStringLiteral("Exec=\"%1\" %f").arg(first)));
  ASSERT_TRUE(Register(second));
  const QString entry = ReadText(Entry());
  EXPECT_TRUE(entry.contains(QStringLiteral("Exec=\"%1\" %f").arg(second)));
  EXPECT_FALSE(entry.contains(first));
}

TEST_F(Registration, ANewProcessKnowsBoardsByTheirExtension) {
  if (!HaveTool("update-mime-database")) GTEST_SKIP() << "update-mime-database is missing";
  ASSERT_TRUE(Register(QStringLiteral("/usr/bin/ferrolume")));
  const QString board = Home.filePath(QStringLiteral("blinker.pcb"));
  QFile file(board);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("*Solder*\r\n\r\n*Wire*\r\n");
  file.close();

  // This process has already read the database; a fresh one reads the new one.
  const TToolRun probe = RunTool(QStringLiteral(FERROLUME_BINARY_DIR "/tests/mime_probe"), {board},
                                 QProcessEnvironment::systemEnvironment());
  EXPECT_TRUE(
      probe.Output.contains(QStringLiteral("MIME=application/x-ferrolume-pcb;PCB Layout File;")))
      << probe.Output.toStdString();
}

TEST_F(Registration, ADesktopWithoutItsToolsStillGetsTheFiles) {
  // No update-mime-database, no xdg-mime: the tools simply do not start.
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", Home.filePath(QStringLiteral("empty-bin")).toUtf8());
  const bool registered = TFileTypeRegistration(QStringLiteral("/usr/bin/ferrolume")).Register();
  qputenv("PATH", path);
  EXPECT_TRUE(registered);
  EXPECT_TRUE(QFile::exists(Entry()));
  EXPECT_FALSE(QFile::exists(DataHome() + QStringLiteral("/mime/mime.cache")));
}

TEST_F(Registration, AnUnwritableHomeGivesASilentNormalStart) {
  // A file where the data folder should be: even root cannot create folders under it.
  const QString blocker = Home.filePath(QStringLiteral("blocker"));
  QFile file(blocker);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  qputenv("XDG_DATA_HOME", (blocker + QStringLiteral("/data")).toUtf8());

  TFileTypeRegistration registration(QStringLiteral("/usr/bin/ferrolume"));
  QStringList ran;
  registration.SetRunner([&](const QString& program, const QStringList&) { ran << program; });
  EXPECT_FALSE(registration.Register());
  EXPECT_TRUE(ran.isEmpty());

  const QString board = Home.filePath(QStringLiteral("board.pcb"));
  QFile boardFile(board);
  ASSERT_TRUE(boardFile.open(QIODevice::WriteOnly));
  boardFile.write("*Solder*\r\n128, 80, 4, 12, 0\r\n\r\n*Wire*\r\n");
  boardFile.close();
  TTestForm form;
  form.RealRegistration = true;
  form.FormCreate({board});
  EXPECT_TRUE(form.Boxes.empty());
  EXPECT_EQ(form.CurrentFileName(), board);
  EXPECT_EQ(form.Editor->Elements().Count(), 1);
}

}  // namespace
