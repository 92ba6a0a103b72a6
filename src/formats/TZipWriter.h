#pragma once

#include <QDateTime>
#include <cstdint>
#include <string>
#include <string_view>

// A zip archive of stored (uncompressed) files made whole in memory: the fabrication files are a
// few kilobytes of text, and a board house only needs to unpack them.
class TZipWriter {
 public:
  // Every entry carries this time, as zip keeps it: local time to two seconds.
  explicit TZipWriter(const QDateTime& stamp = QDateTime::currentDateTime());
  void Add(const std::string& name, std::string_view bytes);
  // The archive: the entries, their directory and its end record.
  std::string Finish();

 private:
  std::string Bytes_;
  std::string Directory_;
  uint16_t Entries_ = 0;
  uint16_t Time_ = 0;
  uint16_t Date_ = 0;
};

// The CRC-32 of zip, gzip and PNG (reflected polynomial 0xEDB88320).
uint32_t Crc32(std::string_view bytes);
