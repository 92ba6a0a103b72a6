#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "TElementList.h"

// What a board holds, one string per element in list order: "P " or "W " and its text line,
// with " *" when the element is selected.
inline std::vector<std::string> Describe(const TElementList& list) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement* e = list.Items(i);
    out.push_back((e->IsWire() ? "W " : "P ") + e->ToText() + (e->Selected() ? " *" : ""));
  }
  return out;
}

inline std::string ReadBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return "<missing>";
  return f.readAll().toStdString();
}

inline void WriteBytes(const QString& path, const std::string& bytes) {
  QFile f(path);
  f.open(QIODevice::WriteOnly | QIODevice::Truncate);
  f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

inline QString DataFile(const char* name) {
  return QString::fromUtf8(FERROLUME_TEST_DATA) + "/" + QString::fromUtf8(name);
}
