// New, Open, Save, Save as, closing and start-up, with the title and the unsaved-changes prompt.
#include "AppTestSupport.h"
#include "TChangeText.h"
#include "TRecentFiles.h"

namespace {

class FileCommands : public ::testing::Test {
 protected:
  QTemporaryDir Dir{TestHome() + QStringLiteral("/boards-XXXXXX")};
  TTestForm Form;

  QString Path(const QString& name) const { return Dir.filePath(name); }
  QString Write(const QString& name, const std::string& bytes = BoardText) const {
    WriteBytes(Path(name), bytes);
    return Path(name);
  }
  // A board with one unsaved wire, at scale 7.
  static void Scribble(TTestForm& form) {
    form.Editor->Elements().AddWire({16, 16}, {64, 16}, 4);
    form.Editor->SetModified(true);
    form.ScaleEdit->setValue(7);
  }
};

TEST(WindowTitle, ShowsTheFileNameAfterTheLastSeparator) {
  const std::pair<QString, QString> rows[] = {
      {"", "Ferrolume"},
      {"C:\\Boards\\amp.wt5", "Ferrolume - amp.wt5"},
      {"C:amp.pcb", "Ferrolume - amp.pcb"},
      {"mixed/dir\\sub:odd name.pcb", "Ferrolume - odd name.pcb"},
      {"folder/", "Ferrolume - "}};
  for (const auto& [path, title] : rows)
    EXPECT_EQ(TMainForm::TitleFor(path), title) << path.toStdString();
}

// Each answer of the prompt for New, Open and closing; a cancelled Save stops like Cancel.
TEST_F(FileCommands, ThePromptDecidesWhetherTheBoardIsDiscarded) {
  const std::tuple<int, bool, bool> rows[] = {{QMessageBox::Cancel, false, false},
                                              {QMessageBox::No, false, true},
                                              {QMessageBox::Yes, true, true},
                                              {QMessageBox::Yes, false, false},
                                              {QMessageBox::NoButton, false, false}};
  const QString other = Write("other.pcb");
  // The board kept, after New, after Open; for closing, whether the window went.
  const QString after[] = {"Ferrolume, 1 elements, scale 7, changed",
                           "Ferrolume, 0 elements, scale 0",
                           "Ferrolume - other.pcb, 2 elements, scale 0", "0", "1"};
  int n = 0;
  for (int command = 0; command < 3; ++command) {
    for (const auto& [answer, saved, goesOn] : rows) {
      SCOPED_TRACE(std::to_string(command) + " " + std::to_string(answer));
      TTestForm form;
      Scribble(form);
      const QString saveAs = Path(QString::number(++n) + ".pcb");
      form.BoxAnswers = {answer};
      if (answer == QMessageBox::Yes) form.FileAnswers << (saved ? saveAs : "");
      form.FileAnswers << other;
      if (command < 2) (command ? form.FileOpen : form.FileNew)->trigger();
      const QString closed = QString::number(command == 2 && form.Close());
      EXPECT_EQ(form.Boxes, QStringList{"Content has changed.\nSave changes ?"});
      EXPECT_EQ(FileHas(saveAs, "16, 16, 64, 16, 4"), saved);
      EXPECT_EQ(command < 2 ? form.Summary() : closed,
                command < 2 ? after[goesOn ? command + 1 : 0] : after[3 + goesOn]);
    }
  }
  // An unchanged board goes without a question.
  Form.FileNew->trigger();
  EXPECT_TRUE(Form.Close());
  EXPECT_TRUE(Form.Boxes.empty());
}

// A wire or band begun on one board ends with it when New, Open or a recent board comes in.
TEST_F(FileCommands, ABoardThatComesInDropsThePendingWireAndBand) {
  const QString other = Write("other.pcb");
  for (int command = 0; command < 6; ++command) {
    const bool band = command % 2;
    SCOPED_TRACE(command);
    TTestForm form;
    form.FileAnswers = QStringList{other, other};
    form.FileOpen->trigger();  // and the first recent board
    (band ? form.SelectButton : form.WireButton)->click();
    QTest::mouseMove(form.Editor, QPoint(20, 20));
    QTest::mousePress(form.Editor, Qt::LeftButton, {}, QPoint(20, 20));
    if (!band) QTest::mouseRelease(form.Editor, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseMove(form.Editor, QPoint(200, 150));
    (command < 2 ? form.FileNew : command < 4 ? form.FileOpen : form.RecentFileItems[0])->trigger();
    const QString summary = form.Summary();
    EXPECT_TRUE(summary.contains(command < 2 ? " 0 elements" : " 2 elements"));
    if (band) QTest::mouseRelease(form.Editor, Qt::LeftButton, {}, QPoint(200, 150));
    if (!band) form.Click({200, 150});
    EXPECT_EQ(form.Editor->WirePending(), !band);  // the press started a new wire
    EXPECT_EQ(form.Summary() + form.Boxes.join(""), summary);
    EXPECT_EQ(form.Editor->SelectedCount(), 0);
  }
}

// A failed or cancelled Open keeps name, title and scale; exports propose the board's name.
TEST_F(FileCommands, AFailedOpenKeepsTheNameTitleAndScaleAndExportsProposeTheBoardsName) {
  const QString good = Write("blinker 555.v2.pcb");
  Form.FileAnswers =
      QStringList{good, Write("kicad.pcb", "(kicad_pcb (version 4))\n"), "", Path("artwork.pdf")};
  Form.FileOpen->trigger();
  Form.ScaleEdit->setValue(9);
  Form.FileOpen->trigger();
  Form.FileOpen->trigger();
  ASSERT_EQ(Form.Boxes.size(), 1);
  EXPECT_TRUE(Form.Boxes[0].startsWith("The file \""));
  EXPECT_EQ(Form.Summary(), "Ferrolume - blinker 555.v2.pcb, 2 elements, scale 9");
  EXPECT_FALSE(TRecentFiles().Files().join('\n').contains("kicad.pcb"));
  Form.Editor->AddSolder({0, 0});
  for (QAction* exportAs : {Form.FileExportPdf, Form.FileExportSvg, Form.FileExportFabrication})
    exportAs->trigger();
  EXPECT_EQ(Form.Proposed.mid(3),
            (QStringList{Path("blinker 555.v2.pdf"), Path("blinker 555.v2.svg"),
                         Path("blinker 555.v2.zip")}));
  EXPECT_EQ(ReadBytes(Path("artwork.pdf")).rfind("%PDF", 0), 0u);
  Form.FileSave->trigger();
  EXPECT_EQ(Form.Proposed.size(), 6);
  EXPECT_TRUE(FileHas(good, "*Solder*\r\n128, 80, 4, 12, 0\r\n0, 0, 4, 12, 0"));
}

// Save asks for a name once, Save as always; a failed save changes nothing the next one uses.
TEST_F(FileCommands, SaveAndSaveAs) {
  Scribble(Form);
  const QString path = Path("new board.pcb"), copy = Path("copy.pcb");
  Form.FileAnswers = QStringList{Path("no folder/board.pcb"), path, copy, Path("board.txt")};
  Form.FileSave->trigger();
  EXPECT_EQ(Form.Summary(), "Ferrolume, 1 elements, scale 7, changed");
  Form.FileSave->trigger();
  EXPECT_EQ(Form.Summary(), "Ferrolume - new board.pcb, 1 elements, scale 7");
  Form.Editor->AddSolder({0, 0});
  Form.FileSave->trigger();
  EXPECT_EQ(Form.Proposed.size(), 2);
  EXPECT_TRUE(FileHas(path, "0, 0, 4, 12, 0"));
  Form.FileSaveAs->trigger();
  EXPECT_EQ(ReadBytes(copy), ReadBytes(path));
  Form.Editor->AddSolder({16, 0});
  Form.FileSaveAs->trigger();
  EXPECT_EQ(Form.Boxes.size(), 2);
  EXPECT_TRUE(Form.Boxes[0].startsWith("Impossible de créer le fichier"));
  EXPECT_EQ(Form.Boxes[1], "Invalid file extention.");
  EXPECT_EQ(Form.Summary(), "Ferrolume - copy.pcb, 3 elements, scale 7, changed");
  Form.Document().KeepRecoveryCopy();
  EXPECT_EQ(ReadBytes(QString(Form.Document().Recovery().CopyPath()).replace(".pcb", ".path")),
            copy.toStdString());
  Form.BoxAnswers = {QMessageBox::Yes};
  EXPECT_TRUE(Form.Close());
  EXPECT_EQ(Form.Proposed.size(), 4);
  EXPECT_TRUE(FileHas(copy, "16, 0, 4, 12, 0"));
}

// Saving as .wt5 first says what the file leaves out; Cancel writes nothing.
TEST_F(FileCommands, SavingAsWt5FirstSaysHowManyElementsAreLeftOut) {
  const QString pcb = Write("board.pcb"), wt5 = Path("board.wt5");
  Form.Document().Load(pcb);
  for (TPoint at : {TPoint{0, 0}, TPoint{32, 0}}) AddSmd(Form.Editor->Elements(), at, 8, 9, 25);
  Form.Editor->AddText({64, 64}, {"L"});
  const QString box =
      "2 elements cannot be kept in a WinTypon 5 file and will be left out of board.wt5. 1 text "
      "will be kept in board.wt5 only as its strokes, drawn as wires.";
  Form.FileAnswers = QStringList{wt5, wt5};
  Form.BoxAnswers = {QMessageBox::Cancel, QMessageBox::Save};
  for (const bool saved : {false, true}) {
    Form.FileSaveAs->trigger();
    EXPECT_EQ(Form.Boxes, QStringList(saved ? 2 : 1, box));
    EXPECT_EQ(QFile::exists(wt5), saved);
    EXPECT_EQ(Form.CurrentFileName(), saved ? wt5 : pcb);
    EXPECT_TRUE(Form.Summary().endsWith(", 5 elements, scale 0, changed"));
  }
}

// Start-up registers the file type and opens the first argument, or leaves no name to save over.
TEST_F(FileCommands, StartUpOpensTheFirstArgument) {
  const QString board = Write("start board.pcb"), text = Write("readme.txt");
  const QString other = Write("other.pcb", "G04 *\n");
  const QString before = QDir::currentPath();
  QDir::setCurrent(Dir.path());
  // The arguments, the file name after, the boxes shown and the elements read.
  const std::tuple<QStringList, QString, int, int> rows[] = {
      {{}, "", 0, 0},
      {{board, text}, board, 0, 2},
      {{"start board.pcb"}, "start board.pcb", 0, 2},
      {{text}, "", 1, 0},
      {{other}, "", 1, 0}};
  for (const auto& [arguments, fileName, boxes, count] : rows) {
    SCOPED_TRACE(arguments.join(' ').toStdString());
    TTestForm form;
    form.FormCreate(arguments);
    EXPECT_EQ(form.Registrations, 1);
    EXPECT_EQ(form.Summary(),
              QString("%1, %2 elements, scale 0").arg(TMainForm::TitleFor(fileName)).arg(count));
    EXPECT_EQ(form.CurrentFileName(), fileName);
    EXPECT_EQ(form.Boxes.size(), boxes);
    form.FileSave->trigger();
    EXPECT_EQ(form.Proposed.size(), fileName.isEmpty() ? 1 : 0);
  }
  EXPECT_EQ(ReadBytes(other), "G04 *\n");
  QDir::setCurrent(before);
}

}  // namespace
