#include "TZipWriter.h"

#include <array>

namespace {

void Put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

constexpr uint16_t kVersionStored = 10;        // 1.0: stored entries need nothing newer
constexpr uint16_t kMadeOnUnix = 3 << 8 | 20;  // so unzip gives the files ordinary permissions
constexpr uint16_t kUtf8Names = 1 << 11;

}  // namespace

uint32_t Crc32(std::string_view bytes) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t c = 0xFFFFFFFFu;
  for (unsigned char b : bytes) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

TZipWriter::TZipWriter(const QDateTime& stamp) {
  // Zip's dates start in 1980.
  const QDate d = stamp.date().year() < 1980 ? QDate(1980, 1, 1) : stamp.date();
  const QTime t = stamp.time();
  Time_ = static_cast<uint16_t>(t.hour() << 11 | t.minute() << 5 | t.second() / 2);
  Date_ = static_cast<uint16_t>((d.year() - 1980) << 9 | d.month() << 5 | d.day());
}

void TZipWriter::Add(const std::string& name, std::string_view bytes) {
  const uint32_t crc = Crc32(bytes), size = static_cast<uint32_t>(bytes.size());
  const uint32_t offset = static_cast<uint32_t>(Bytes_.size());
  bool ascii = true;
  for (unsigned char c : name) ascii = ascii && c < 0x80;
  const uint16_t flags = ascii ? 0 : kUtf8Names;
  // The fields the local header and the directory entry share, from the version needed on.
  std::string common;
  Put16(common, kVersionStored);
  Put16(common, flags);
  Put16(common, 0);  // stored
  Put16(common, Time_);
  Put16(common, Date_);
  Put32(common, crc);
  Put32(common, size);  // compressed
  Put32(common, size);
  Put16(common, static_cast<uint32_t>(name.size()));
  Put16(common, 0);  // no extra field

  Put32(Bytes_, 0x04034b50);
  Bytes_ += common;
  Bytes_ += name;
  Bytes_.append(bytes.data(), bytes.size());

  Put32(Directory_, 0x02014b50);
  Put16(Directory_, kMadeOnUnix);
  Directory_ += common;
  Put16(Directory_, 0);               // no comment
  Put16(Directory_, 0);               // first disk
  Put16(Directory_, 0);               // binary
  Put32(Directory_, 0100644u << 16);  // rw-r--r--
  Put32(Directory_, offset);
  Directory_ += name;
  ++Entries_;
}

std::string TZipWriter::Finish() {
  std::string out = Bytes_ + Directory_;
  Put32(out, 0x06054b50);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, Entries_);
  Put16(out, Entries_);
  Put32(out, static_cast<uint32_t>(Directory_.size()));
  Put32(out, static_cast<uint32_t>(Bytes_.size()));
  Put16(out, 0);
  return out;
}
