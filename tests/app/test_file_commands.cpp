// New, Open, Save, Save as, closing and start-up, with the title and the unsaved-changes prompt.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QSpinBox>
#include <QTemporaryDir>

#include "AppTestSupport.h"
#include "TPCBLayout.h"

namespace {

const QByteArray BoardText =
    "*Solder*\r\n128, 80, 4, 12, 0\r\n\r\n*Wire*\r\n80, 80, 128, 80, 4\r\n";

class FileCommands : public ::testing::Test {
 protected:
  QTemporaryDir Dir{TestHome() + QStringLiteral("/boards-XXXXXX")};
  TTestForm Form;

  QString Path(const QString& name) const { return Dir.filePath(name); }
  QString WriteFile(const QString& name, const QByteArray& bytes) const {
    QFile file(Path(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
  }
  static QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  // A board with one unsaved wire.
  void Scribble() {
    Form.Editor->Elements().AddWire({16, 16}, {64, 16}, 4);
    Form.Editor->SetModified(true);
  }
  // Opens a board through the Open command, answering its dialog.
  void OpenBoard(const QString& path) {
    Form.FileAnswers.push_back(path);
    Form.FileOpen->trigger();
  }
};

TEST(WindowTitle, ShowsTheFileNameAfterTheLastSeparator) {
  const std::pair<QString, QString> rows[] = {
      {"", "Ferrolume"},
      {"board.pcb", "Ferrolume - board.pcb"},
      {"/home/ann/boards/amp.pcb", "Ferrolume - amp.pcb"},
      {"C:\\Boards\\amp.wt5", "Ferrolume - amp.wt5"},
      {"C:amp.pcb", "Ferrolume - amp.pcb"},
      {"mixed/dir\\sub:odd name.pcb", "Ferrolume - odd name.pcb"},
      {"relative/with space.pcb", "Ferrolume - with space.pcb"},
      {"folder/", "Ferrolume - "},
  };
  for (const auto& [path, title] : rows)
    EXPECT_EQ(TMainForm::TitleFor(path), title) << path.toStdString();
}

TEST_F(FileCommands, ThePromptAsksOnceWithItsOwnWordsAndButtons) {
  Scribble();
  Form.BoxAnswers = {QMessageBox::Cancel};
  Form.FileNew->trigger();
  ASSERT_EQ(Form.Boxes.size(), 1u);
  const TShownBox& box = Form.Boxes[0];
  EXPECT_EQ(box.Title, QStringLiteral("Info"));
  EXPECT_EQ(box.Text, QStringLiteral("Content has changed.\nSave changes ?"));
  EXPECT_EQ(box.Icon, QMessageBox::Question);
  EXPECT_EQ(box.Buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  EXPECT_EQ(box.Default, QMessageBox::Yes);
}

// Each answer of the prompt, for each command that asks it.
TEST_F(FileCommands, ThePromptDecidesWhetherTheBoardIsDiscarded) {
  enum TCommand { cmNew, cmOpen, cmClose };
  struct Row {
    TCommand Command;
    int Answer;
    const char* SaveAs;  // answer of the Save dialog after Yes; nullptr cancels it
    bool GoesOn;
    bool Saved;
  };
  const Row rows[] = {
      {cmNew, QMessageBox::Cancel, nullptr, false, false},
      {cmNew, QMessageBox::No, nullptr, true, false},
      {cmNew, QMessageBox::Yes, "kept.pcb", true, true},
      // Yes, then the Save dialog cancelled: the changes are neither saved nor thrown away.
      {cmNew, QMessageBox::Yes, nullptr, false, false},
      {cmOpen, QMessageBox::Cancel, nullptr, false, false},
      {cmOpen, QMessageBox::No, nullptr, true, false},
      {cmOpen, QMessageBox::Yes, "kept.pcb", true, true},
      {cmOpen, QMessageBox::Yes, nullptr, false, false},
      {cmClose, QMessageBox::Cancel, nullptr, false, false},
      {cmClose, QMessageBox::No, nullptr, true, false},
      {cmClose, QMessageBox::Yes, "kept.pcb", true, true},
      {cmClose, QMessageBox::Yes, nullptr, false, false},
      // Closed with the window's own button: like Cancel.
      {cmClose, QMessageBox::NoButton, nullptr, false, false},
  };
  const QString other = WriteFile("other.pcb", BoardText);
  int rowNumber = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(rowNumber++);
    TTestForm form;
    form.Editor->Elements().AddWire({16, 16}, {64, 16}, 4);
    form.Editor->SetModified(true);
    form.ScaleEdit->setValue(7);
    const QString saveAs = row.SaveAs ? Path(QString::number(rowNumber) + row.SaveAs) : QString();
    form.BoxAnswers = {row.Answer};
    if (row.Answer == QMessageBox::Yes) form.FileAnswers.push_back(saveAs);
    bool closed = false;
    switch (row.Command) {
      case cmNew:
        form.FileNew->trigger();
        break;
      case cmOpen:
        form.FileAnswers.push_back(other);
        form.FileOpen->trigger();
        break;
      case cmClose: {
        QCloseEvent event;
        form.closeEvent(&event);
        closed = event.isAccepted();
        break;
      }
    }
    ASSERT_EQ(form.Boxes.size(), 1u);
    EXPECT_EQ(QFile::exists(saveAs), row.Saved);
    if (row.Saved) {
      EXPECT_TRUE(ReadFile(saveAs).contains("16, 16, 64, 16, 4"));
    }
    if (row.Command == cmClose) {
      EXPECT_EQ(closed, row.GoesOn);
    } else if (row.GoesOn) {
      // New empties the board; Open puts the other file's two elements in its place.
      EXPECT_EQ(form.Editor->Elements().Count(), row.Command == cmNew ? 0 : 2);
      EXPECT_FALSE(form.Editor->Modified());
      EXPECT_EQ(form.ScaleEdit->value(), 0);
      EXPECT_EQ(form.CurrentFileName(), row.Command == cmNew ? QString() : other);
    } else {
      EXPECT_EQ(form.Editor->Elements().Count(), 1);
      EXPECT_TRUE(form.Editor->Modified());
      EXPECT_EQ(form.ScaleEdit->value(), 7);
      EXPECT_EQ(form.Editor->GridScale(), 7);
      EXPECT_EQ(form.windowTitle(), QStringLiteral("Ferrolume"));
    }
  }
}

TEST_F(FileCommands, AnUnchangedBoardIsDiscardedWithoutAQuestion) {
  OpenBoard(WriteFile("a.pcb", BoardText));
  Form.FileNew->trigger();
  EXPECT_EQ(Form.Editor->Elements().Count(), 0);
  EXPECT_EQ(Form.windowTitle(), QStringLiteral("Ferrolume"));
  EXPECT_TRUE(Form.CurrentFileName().isEmpty());
  QCloseEvent event;
  Form.closeEvent(&event);
  EXPECT_TRUE(event.isAccepted());
  EXPECT_TRUE(Form.Boxes.empty());
}

TEST_F(FileCommands, OpenShowsItsFiltersAndNamesTheWindowAfterTheBoard) {
  Form.ScaleEdit->setValue(25);
  const QString path = WriteFile("blinker.pcb", BoardText);
  OpenBoard(path);
  ASSERT_EQ(Form.Dialogs.size(), 1u);
  EXPECT_EQ(Form.Dialogs[0].Mode, QFileDialog::AcceptOpen);
  EXPECT_EQ(Form.Dialogs[0].Filters,
            (QStringList{"Supported files (*.pcb *.wt5)", "PCB files (*.pcb)",
                         "WinTypon 5 files (*.wt5)"}));
  EXPECT_EQ(Form.Dialogs[0].SelectedFilter, QStringLiteral("Supported files (*.pcb *.wt5)"));
  EXPECT_EQ(Form.Dialogs[0].DefaultSuffix, QStringLiteral("pcb"));
  EXPECT_EQ(Form.CurrentFileName(), path);
  EXPECT_EQ(Form.windowTitle(), QStringLiteral("Ferrolume - blinker.pcb"));
  EXPECT_EQ(Form.Editor->Elements().Count(), 2);
  EXPECT_EQ(Form.ScaleEdit->value(), 0);
  EXPECT_EQ(Form.Editor->GridScale(), 0);

  // A cancelled dialog changes nothing.
  Form.ScaleEdit->setValue(3);
  Form.FileOpen->trigger();
  EXPECT_EQ(Form.CurrentFileName(), path);
  EXPECT_EQ(Form.ScaleEdit->value(), 3);
}

// A board that fails to load leaves the window's file name, title and scale as they were, so a
// later Save cannot overwrite the file that could not be read.
TEST_F(FileCommands, AFailedOpenKeepsTheNameTitleAndScale) {
  const QString good = WriteFile("good.pcb", BoardText);
  struct Row {
    QString Path;
    QString Message;  // the start of what the error box says
  };
  const Row rows[] = {
      {WriteFile("notes.txt", BoardText), "Invalid file extention."},
      {Path("gone.pcb"), "Impossible d'ouvrir le fichier"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Path.toStdString());
    TTestForm form;
    form.FileAnswers = {good};
    form.FileOpen->trigger();
    form.ScaleEdit->setValue(9);
    form.FileAnswers = {row.Path};
    form.FileOpen->trigger();
    ASSERT_EQ(form.Boxes.size(), 1u);
    EXPECT_EQ(form.Boxes[0].Title, QStringLiteral("Ferrolume"));
    EXPECT_EQ(form.Boxes[0].Icon, QMessageBox::Critical);
    EXPECT_EQ(form.Boxes[0].Buttons, QMessageBox::Ok);
    EXPECT_TRUE(form.Boxes[0].Text.startsWith(row.Message)) << form.Boxes[0].Text.toStdString();
    EXPECT_TRUE(form.Boxes[0].Text.endsWith(QLatin1Char('.')));
    EXPECT_EQ(form.CurrentFileName(), good);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Ferrolume - good.pcb"));
    EXPECT_EQ(form.ScaleEdit->value(), 9);
    EXPECT_EQ(form.Editor->GridScale(), 9);
    // Save still goes to the board that did load.
    form.FileSave->trigger();
    EXPECT_EQ(form.Boxes.size(), 1u);
    EXPECT_TRUE(form.Dialogs.size() == 2u);
  }
}

TEST_F(FileCommands, SaveAsksForANameOnlyOnce) {
  Scribble();
  const QString path = Path("new board.pcb");
  Form.FileAnswers = {path};
  Form.FileSave->trigger();
  ASSERT_EQ(Form.Dialogs.size(), 1u);
  EXPECT_EQ(Form.Dialogs[0].Mode, QFileDialog::AcceptSave);
  EXPECT_EQ(Form.Dialogs[0].Filters,
            (QStringList{"PCB files (*.pcb)", "WinTypon 5 files (*.wt5)"}));
  EXPECT_EQ(Form.Dialogs[0].DefaultSuffix, QStringLiteral("pcb"));
  EXPECT_TRUE(Form.Dialogs[0].ConfirmOverwrite);
  EXPECT_EQ(Form.CurrentFileName(), path);
  EXPECT_EQ(Form.windowTitle(), QStringLiteral("Ferrolume - new board.pcb"));
  EXPECT_FALSE(Form.Editor->Modified());
  EXPECT_TRUE(ReadFile(path).startsWith("*Solder*\r\n"));

  // Now the board has a name: Save writes without asking, Save as always asks.
  Form.Editor->Elements().AddWire({0, 0}, {16, 0}, 4);
  Form.FileSave->trigger();
  EXPECT_EQ(Form.Dialogs.size(), 1u);
  EXPECT_TRUE(ReadFile(path).contains("0, 0, 16, 0, 4"));
  Form.FileSaveAs->trigger();  // cancelled
  EXPECT_EQ(Form.Dialogs.size(), 2u);
  EXPECT_EQ(Form.CurrentFileName(), path);
  const QString copy = Path("copy.pcb");
  Form.FileAnswers = {copy};
  Form.FileSaveAs->trigger();
  EXPECT_EQ(Form.CurrentFileName(), copy);
  EXPECT_EQ(Form.windowTitle(), QStringLiteral("Ferrolume - copy.pcb"));
  EXPECT_EQ(ReadFile(copy), ReadFile(path));
  EXPECT_TRUE(Form.Boxes.empty());
}

TEST_F(FileCommands, AFailedSaveShowsTheErrorAndKeepsTheChanges) {
  Scribble();
  Form.FileAnswers = {Path("board.txt")};
  Form.FileSaveAs->trigger();
  ASSERT_EQ(Form.Boxes.size(), 1u);
  EXPECT_EQ(Form.Boxes[0].Text, QStringLiteral("Invalid file extention."));
  EXPECT_TRUE(Form.Editor->Modified());
  EXPECT_EQ(Form.windowTitle(), QStringLiteral("Ferrolume"));
  // The failing name is kept, so Save tries it again rather than asking.
  Form.FileSave->trigger();
  EXPECT_EQ(Form.Boxes.size(), 2u);
  EXPECT_EQ(Form.Dialogs.size(), 1u);

  // Saving from the prompt fails the same way: the board stays and the window stays open.
  Form.BoxAnswers = {QMessageBox::Yes};
  QCloseEvent event;
  Form.closeEvent(&event);
  EXPECT_FALSE(event.isAccepted());
  EXPECT_EQ(Form.Boxes.size(), 4u);
  EXPECT_EQ(Form.Editor->Elements().Count(), 1);
}

TEST_F(FileCommands, ExportPdfAsksForAPdfName) {
  Form.FileExportPdf->trigger();
  ASSERT_EQ(Form.Dialogs.size(), 1u);
  EXPECT_EQ(Form.Dialogs[0].Mode, QFileDialog::AcceptSave);
  EXPECT_EQ(Form.Dialogs[0].Filters, (QStringList{"PDF files (*.pdf)"}));
  EXPECT_EQ(Form.Dialogs[0].DefaultSuffix, QStringLiteral("pdf"));
  EXPECT_TRUE(Form.Boxes.empty());

  Scribble();
  const QString pdf = Path("artwork.pdf");
  Form.FileAnswers = {pdf};
  Form.FileExportPdf->trigger();
  EXPECT_TRUE(Form.Boxes.empty());
  EXPECT_TRUE(ReadFile(pdf).startsWith("%PDF"));
  // Exporting is not saving: the board still has its changes.
  EXPECT_TRUE(Form.Editor->Modified());
}

TEST_F(FileCommands, StartUpRegistersFirstAndThenOpensTheFirstArgument) {
  const QString board = WriteFile("start board.pcb", BoardText);
  const QString text = WriteFile("readme.txt", BoardText);
  struct Row {
    QStringList Arguments;
    QString FileName;
    QString Title;
    size_t Boxes;
    int Elements;
  };
  const Row rows[] = {
      {{}, "", "Ferrolume", 0, 0},
      {{board}, board, "Ferrolume - start board.pcb", 0, 2},
      {{board, text}, board, "Ferrolume - start board.pcb", 0, 2},
      {{Path("nothing.pcb")}, "", "Ferrolume", 0, 0},
      {{Dir.path()}, "", "Ferrolume", 0, 0},
      // A file that cannot be loaded: the error, and a window without a file name.
      {{text}, "", "Ferrolume", 1, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Arguments.join(' ').toStdString());
    TTestForm form;
    bool registeredFirst = false;
    form.OnRegister = [&] {
      registeredFirst = form.Boxes.empty() && form.Editor->Elements().Count() == 0;
    };
    form.FormCreate(row.Arguments);
    EXPECT_EQ(form.Registrations, 1);
    EXPECT_TRUE(registeredFirst);
    EXPECT_EQ(form.CurrentFileName(), row.FileName);
    EXPECT_EQ(form.windowTitle(), row.Title);
    EXPECT_EQ(form.Boxes.size(), row.Boxes);
    EXPECT_EQ(form.Editor->Elements().Count(), row.Elements);
    EXPECT_FALSE(form.Editor->Modified());
    EXPECT_EQ(form.ScaleEdit->value(), 0);
  }
}

TEST_F(FileCommands, StartUpKeepsARelativePathAsGiven) {
  WriteFile("rel.pcb", BoardText);
  const QString before = QDir::currentPath();
  QDir::setCurrent(Dir.path());
  Form.FormCreate({QStringLiteral("rel.pcb")});
  QDir::setCurrent(before);
  EXPECT_EQ(Form.CurrentFileName(), QStringLiteral("rel.pcb"));
  EXPECT_EQ(Form.windowTitle(), QStringLiteral("Ferrolume - rel.pcb"));
}

}  // namespace
