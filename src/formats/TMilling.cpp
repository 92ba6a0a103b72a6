#include "TMilling.h"

#include <QSettings>

TMillingJobs MillingJobs(const TElementList&, const TMillProcess&, const std::string&) {
  return {};
}

std::vector<TFillPath> IsolationPaths(const TElementList&, const TMillProcess&) { return {}; }

std::vector<TFillPoint> IsolationGaps(const TElementList&, const TMillProcess&) { return {}; }

TMillProcess LoadMillProcess(QSettings&) { return {}; }

void SaveMillProcess(QSettings&, const TMillProcess&) {}

void ExportMillingFiles(const TElementList&, const TMillProcess&, const QString&) {}

bool IsMillingFileName(const QString& fileName) {
  return fileName.endsWith(QLatin1String(".nc"), Qt::CaseInsensitive);
}
