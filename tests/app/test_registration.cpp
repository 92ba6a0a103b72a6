// The desktop registration of .pcb boards, checked with the desktop's own tools.

#include "AppTestSupport.h"
#include "TFileTypeRegistration.h"

namespace {

// Runs a tool to its end: its exit code and what it printed.
QString RunTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, arguments);
  if (!process.waitForFinished(30000)) process.kill();
  return QString::number(process.exitCode()) + ": " + process.readAll().trimmed();
}

// A home of its own for each test: only these tests register for real.
class Registration : public ::testing::Test {
 protected:
  QTemporaryDir Home{TestHome() + QStringLiteral("/home-XXXXXX")};
  const QString DataHome = Home.filePath("data"),
                Entry = DataHome + "/applications/ferrolume.desktop",
                Board = Home.filePath("b.pcb");

  void SetUp() override {
    qputenv("XDG_DATA_HOME", DataHome.toUtf8());
    qputenv("XDG_CONFIG_HOME", Home.filePath("config").toUtf8());
    WriteBytes(Board, "*Solder*\r\n128, 80, 4, 12, 0\r\n\r\n*Wire*\r\n");
  }
  // Registers an executable the way a start does, but runs the tools to their end; Ran lists them.
  bool Register(const QString& executable) {
    TFileTypeRegistration registration(executable);
    Ran.clear();
    registration.SetRunner([this](const QString& program, const QStringList& arguments) {
      Ran << program;
      RunTool(program, arguments);
    });
    return registration.Register();
  }
  QStringList Ran;
};

TEST(ExecArgument, QuotesAndEscapesAPathAsOneArgument) {
  const std::pair<QString, QString> rows[] = {
      {"/opt/my tools/ferrolume", "\"/opt/my tools/ferrolume\""},
      {"/tmp/100%/ferrolume", "\"/tmp/100%%/ferrolume\""},
      {"/tmp/$HOME/f", "\"/tmp/\\\\$HOME/f\""},
      {"/tmp/a\"b/f", "\"/tmp/a\\\\\"b/f\""},
      {"/tmp/back`tick/f", "\"/tmp/back\\\\`tick/f\""},
      {"/tmp/back\\slash/f", "\"/tmp/back\\\\\\\\slash/f\""}};
  for (const auto& [path, argument] : rows)
    EXPECT_EQ(TFileTypeRegistration::ExecArgument(path), argument) << path.toStdString();
}

// The entry names the last executable; a start that finds it so only claims the default.
TEST_F(Registration, WritesAValidEntryForTheLastExecutableAndMakesItTheDefault) {
  const QString first = Home.filePath("bin dir/ferrolume"), exe = "/opt/ferrolume-2/ferrolume";
  ASSERT_TRUE(Register(first) && Register(exe));
  EXPECT_TRUE(FileHas(Entry, ("\nExec=\"" + exe + "\" %f\n").toStdString())) << ReadBytes(Entry);
  EXPECT_FALSE(FileHas(Entry, first.toStdString()));
  ASSERT_TRUE(Register(exe));
  EXPECT_EQ(Ran, QStringList{"xdg-mime"});
  // The tool each check needs, the check and its answer; a fresh process reads the MIME database.
  const std::tuple<const char*, QString, QStringList, QString> checks[] = {
      {"desktop-file-validate", "desktop-file-validate", {Entry}, "0: "},
      {"xdg-mime",
       "xdg-mime",
       {"query", "default", "application/x-ferrolume-pcb"},
       "0: ferrolume.desktop"},
      {"update-mime-database",
       FERROLUME_BINARY_DIR "/tests/mime_probe",
       {Board},
       "0: MIME=application/x-ferrolume-pcb;PCB Layout File;"}};
  for (const auto& [tool, program, arguments, answer] : checks) {
    if (QStandardPaths::findExecutable(tool).isEmpty()) continue;
    EXPECT_EQ(RunTool(program, arguments), answer);
  }
}

}  // namespace
