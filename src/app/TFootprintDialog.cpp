#include "TFootprintDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <algorithm>

#include "TBoardFile.h"
#include "TCanvas.h"
#include "TElementTransform.h"
#include "TPCBLayout.h"
#include "TPcbText.h"
#include "TSmdPad.h"

namespace {

// A board view of its own for one picture: the editor's screen colours, the grid step at the
// base step, and the cell size and offset that fit the part in the image.
class TPictureView : public TLayoutView {
 public:
  explicit TPictureView(int size)
      : Image_(size, size, QImage::Format_RGB32), Surface_(&Image_), Spare_(&Spare) {
    Image_.fill(QColor(0xE9, 0xE9, 0xE9));
  }

  int32_t CellSize() const override { return Cell; }
  TPCBStep GridStep() const override { return gs1; }
  TPoint ViewOffset() const override { return Offset; }
  void SetViewOffset(TPoint offset) override { Offset = offset; }
  TColor Color() const override { return 0xE9E9E9; }
  TColor WireColor() const override { return 0xC99565; }
  TColor SolderColor() const override { return 0x800000; }
  TColor FocusColor() const override { return 0x800000; }
  TCanvas& BoardCanvas() override { return Surface_; }
  TCanvas& Canvas() override { return Spare_; }
  TCanvas* PrinterCanvas() override { return nullptr; }
  int32_t PrinterResolution() const override { return 0; }
  void SetPrinter(TCanvas*, int32_t) override {}
  void BoardReplaced() override {}
  void BoardSaved() override {}
  void CancelAction() override {}
  void RenderBoard() override {}

  QImage Finish() {
    Surface_.Flush();
    return Image_;
  }

  int32_t Cell = 10;
  TPoint Offset;
  QImage Spare{1, 1, QImage::Format_RGB32};

 private:
  QImage Image_;
  TCanvas Surface_;
  TCanvas Spare_;
};

// Names in the order a person expects: numbers by their value (DIP-8 before DIP-14), letters
// whatever their case.
bool NameBefore(const QString& a, const QString& b) {
  qsizetype i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (a[i].isDigit() && b[j].isDigit()) {
      qsizetype i2 = i, j2 = j;
      while (i2 < a.size() && a[i2].isDigit()) ++i2;
      while (j2 < b.size() && b[j2].isDigit()) ++j2;
      const qulonglong x = a.mid(i, i2 - i).toULongLong(), y = b.mid(j, j2 - j).toULongLong();
      if (x != y) return x < y;
      i = i2;
      j = j2;
      continue;
    }
    const QChar p = a[i].toLower(), q = b[j].toLower();
    if (p != q) return p < q;
    ++i;
    ++j;
  }
  return a.size() - i < b.size() - j;
}

QList<TFootprint> PartsIn(const QString& folder, bool own) {
  QList<TFootprint> parts;
  const QDir dir(folder);
  for (const QFileInfo& file : dir.entryInfoList({QStringLiteral("*.pcb")}, QDir::Files))
    parts.append({file.completeBaseName(), file.filePath(), own});
  std::sort(parts.begin(), parts.end(),
            [](const TFootprint& a, const TFootprint& b) { return NameBefore(a.Name, b.Name); });
  return parts;
}

}  // namespace

QString TFootprintDialog::UserFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
         QStringLiteral("/footprints");
}

QList<TFootprint> TFootprintDialog::Library() {
  return PartsIn(QStringLiteral(":/footprints"), false) + PartsIn(UserFolder(), true);
}

TElementList::Storage TFootprintDialog::ReadFootprint(TLayoutView* layout,
                                                      const QString& fileName) {
  const QByteArray bytes = ReadBoardFile(fileName);
  return ReadElements(layout, SplitLines({bytes.constData(), static_cast<size_t>(bytes.size())}),
                      true);
}

QImage TFootprintDialog::Picture(const QString& fileName, int size) {
  TPictureView view(size);
  TElementList::Storage part;
  try {
    part = ReadFootprint(&view, fileName);
  } catch (const std::exception&) {
    return view.Finish();
  }
  std::vector<int32_t> all;
  int32_t largest = 0;
  TElementList list(&view);
  for (auto& e : part) {
    e->SetSelected(false);
    if (e->Kind() == ekSolder)
      largest = std::max(largest, static_cast<const TSolder&>(*e).ExternalDiameter());
    if (e->Kind() == ekSmdPad) {
      const auto& smd = static_cast<const TSmdPad&>(*e);
      largest = std::max({largest, smd.Width(), smd.Height()});
    }
    all.push_back(list.Count());
    list.Append(std::move(e));
  }
  TRect extent;
  if (!PointsExtent(list, all, extent)) return view.Finish();
  // Whole pixels per base step, as large as fits with a pad's width to spare, at most 16.
  const int64_t span =
      std::max<int64_t>(int64_t(extent.Right) - extent.Left, int64_t(extent.Bottom) - extent.Top) +
      std::clamp(largest, 0, 64) + UnitsPerStep / 2;
  view.Cell = static_cast<int32_t>(std::clamp<int64_t>(int64_t(size) * UnitsPerStep / span, 1, 16));
  auto middle = [&](int32_t low, int32_t high) {
    return static_cast<int32_t>(size / 2 - (int64_t(low) + high) * view.Cell / (2 * UnitsPerStep));
  };
  view.Offset = {middle(extent.Left, extent.Right), middle(extent.Top, extent.Bottom)};
  // Wires and texts first, then pads of both kinds over them, as on the board.
  for (bool wires : {true, false})
    for (int32_t i = 0; i < list.Count(); ++i)
      if (TPCBLayout::DrawnWithWires(*list.Items(i)) == wires) list.Items(i)->Draw(dmNormal);
  return view.Finish();
}

TFootprintDialog::TFootprintDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FootprintDialog"));
  setWindowTitle(QStringLiteral("Insert Footprint"));
  auto* layout = new QVBoxLayout(this);

  Parts = new QListWidget(this);
  Parts->setObjectName(QStringLiteral("Parts"));
  Parts->setViewMode(QListView::IconMode);
  Parts->setResizeMode(QListView::Adjust);
  Parts->setMovement(QListView::Static);
  Parts->setIconSize(QSize(96, 96));
  // Wide enough for the longest names of the library on one line.
  Parts->setGridSize(QSize(172, 128));
  Parts->setWordWrap(false);
  Parts->setTextElideMode(Qt::ElideNone);
  for (const TFootprint& part : Library()) {
    const QString& label = part.Name;
    auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(Picture(part.Path, 96))),
                                     part.Own ? label + QStringLiteral(" *") : label, Parts);
    item->setData(Qt::UserRole, part.Path);
    item->setData(Qt::UserRole + 1, part.Name);
    item->setToolTip(part.Path);
  }
  layout->addWidget(Parts);

  FolderNote = new QLabel(
      QStringLiteral("Parts marked * are your own, kept as .pcb files in %1").arg(UserFolder()),
      this);
  FolderNote->setWordWrap(true);
  FolderNote->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(FolderNote);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(Parts, &QListWidget::itemActivated, this, &QDialog::accept);
  auto* ok = buttons->button(QDialogButtonBox::Ok);
  ok->setEnabled(false);
  connect(Parts, &QListWidget::currentItemChanged, this,
          [ok](QListWidgetItem* current) { ok->setEnabled(current != nullptr); });
  if (Parts->count() > 0) Parts->setCurrentRow(0);
  resize(760, 520);
}

QString TFootprintDialog::ChosenPath() const {
  const QListWidgetItem* item = Parts->currentItem();
  return item ? item->data(Qt::UserRole).toString() : QString();
}

bool TFootprintDialog::Choose(const QString& name) {
  for (int i = 0; i < Parts->count(); ++i) {
    if (Parts->item(i)->data(Qt::UserRole + 1).toString() != name) continue;
    Parts->setCurrentRow(i);
    return true;
  }
  return false;
}
