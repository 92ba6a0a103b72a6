#pragma once

#include <gtest/gtest.h>

#include <QTest>
#include <QtWidgets>
#include <deque>

#include "TBoardDocument.h"
#include "TMainForm.h"
#include "TPCBLayout.h"
#include "TPadSettings.h"
#include "TRecovery.h"
#include "TUserSettings.h"
#include "formats/BoardHelpers.h"

// Messages of failed checks show texts as text.
inline void PrintTo(const QString& text, std::ostream* os) { *os << text.toStdString(); }

// The temporary home every test of this binary runs in (HOME and the XDG folders point there).
QString TestHome();

// The main window with a scripted user: boxes and file dialogs answered from queues.
class TTestForm : public TMainForm {
 public:
  using TMainForm::CircleMenuItem, TMainForm::DeleteElementButton, TMainForm::EditCopy,
      TMainForm::EditCut, TMainForm::EditDelete, TMainForm::EditInsertFootprint,
      TMainForm::EditMirror, TMainForm::EditPaste, TMainForm::EditRedo, TMainForm::EditRotate,
      TMainForm::EditSaveFootprint, TMainForm::EditSelectAll, TMainForm::EditSelectConnected,
      TMainForm::EditUndo, TMainForm::Editor, TMainForm::ElementWidthCombo, TMainForm::FileExit,
      TMainForm::FileExportFabrication, TMainForm::FileExportPdf, TMainForm::FileExportSvg,
      TMainForm::FileMenuItem, TMainForm::FileNew, TMainForm::FileOpen, TMainForm::FilePrint,
      TMainForm::FilePrintCalibration, TMainForm::FilePrintOptions, TMainForm::FilePrintPreview,
      TMainForm::FileSave, TMainForm::FileSaveAs, TMainForm::GridModeCombo,
      TMainForm::GridStepCombo, TMainForm::MouseToolActions, TMainForm::MoveButton,
      TMainForm::PadSettings, TMainForm::StatusBar, TMainForm::ProblemsPanel,
      TMainForm::RecentFileItems, TMainForm::RecentFilesSeparator, TMainForm::ScaleEdit,
      TMainForm::SelectButton, TMainForm::SmdMenuItem, TMainForm::SolderButton,
      TMainForm::SolderMenu, TMainForm::SquareMenuItem, TMainForm::ToolsCheckBoard,
      TMainForm::WireButton, TMainForm::TextButton, TMainForm::EditEditText, TMainForm::FillButton,
      TMainForm::EditSetFillSeed, TMainForm::ToolsFillBoard, TMainForm::ViewShowFills,
      TMainForm::ToolsProcess, TMainForm::FileExportMilling, TMainForm::ViewShowMilling;

  std::deque<int> BoxAnswers;
  QStringList FileAnswers;
  QStringList Boxes;
  // The informative text under each box's question, in step with Boxes.
  QStringList Details;
  // The file each file dialog proposed as it opened, in order.
  QStringList Proposed;
  // Answers any other dialog (print options, preview); none answers Cancel.
  std::function<int(QDialog&)> DialogAnswer;
  int Registrations = 0;

  // Shown on the screen and active, for the tests that draw, click or type.
  void ShowActive() {
    show();
    QApplication::setActiveWindow(this);
    ASSERT_TRUE(QTest::qWaitForWindowActive(this));
  }
  void Click(TPoint p) { QTest::mouseClick(Editor, Qt::LeftButton, {}, QPoint(p.X, p.Y)); }
  // "Ferrolume - amp.pcb, 2 elements, scale 7, changed": title, count, scale, unsaved changes.
  QString Summary() const {
    return QStringLiteral("%1, %2 elements, scale %3%4")
        .arg(windowTitle())
        .arg(Editor->Elements().Count())
        .arg(Editor->GridScale())
        .arg(Editor->Modified() ? ", changed" : "");
  }
  // Closes the window as its close button does; tells whether it went.
  bool Close() {
    QCloseEvent event;
    closeEvent(&event);
    return event.isAccepted();
  }

 protected:
  int ExecMessageBox(QMessageBox& box) override {
    Boxes << box.text();
    Details << box.informativeText();
    if (BoxAnswers.empty()) return QMessageBox::Cancel;
    const int answer = BoxAnswers.front();
    BoxAnswers.pop_front();
    return answer;
  }
  QString ExecFileDialog(QFileDialog& dialog) override {
    Proposed << dialog.selectedFiles().value(0);
    return FileAnswers.isEmpty() ? QString() : FileAnswers.takeFirst();
  }
  int ExecDialog(QDialog& dialog) override {
    return DialogAnswer ? DialogAnswer(dialog) : int(QDialog::Rejected);
  }
  void RegisterFileType() override { ++Registrations; }
};

// A window made anew by Open(), as at start, after the settings groups named are forgotten.
class TFreshForm : public ::testing::Test {
 protected:
  explicit TFreshForm(QStringList groups) : Groups(std::move(groups)) {}
  void SetUp() override {
    Forget();
    Open();
  }
  void TearDown() override { Forget(); }
  void Forget() {
    for (const QString& group : Groups) UserSettings()->remove(group);
  }
  virtual void Open() {
    Form = std::make_unique<TTestForm>();
    Form->ShowActive();
  }
  QStringList Groups;
  std::unique_ptr<TTestForm> Form;
};

// A board of one pad and one wire, as its file holds it.
inline const std::string BoardText =
    "*Solder*\r\n128, 80, 4, 12, 0\r\n\r\n*Wire*\r\n80, 80, 128, 80, 4\r\n";

inline bool FileHas(const QString& path, const std::string& text) {
  return ReadBytes(path).find(text) != std::string::npos;
}

// How many pixels of an image a test picks.
template <typename Wanted>
int CountPixels(const QImage& image, Wanted&& wanted) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += wanted(image.pixel(x, y));
  return n;
}
