#include "TWindows1252.h"

#include "TCopperText.h"

namespace {

// The characters of 0x80 to 0x9F, where Windows-1252 parts from Latin-1; 0 where it has none.
constexpr char16_t High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 0x88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 0x98
};

// The byte of one character, or -1 when Windows-1252 has none for it.
int ByteOf(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
  for (int i = 0; i < 32; ++i)
    if (High[i] == c) return 0x80 + i;
  return -1;
}

}  // namespace

bool ToWindows1252(const QString& text, std::string& out, qsizetype* refusedAt) {
  std::string bytes;
  bytes.reserve(static_cast<size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      bytes += '\n';
      continue;
    }
    const int b = ByteOf(c);
    if (b < 0 || !TCopperText::Printable(static_cast<unsigned char>(b))) {
      if (refusedAt) *refusedAt = i;
      return false;
    }
    bytes += static_cast<char>(b);
  }
  out = std::move(bytes);
  return true;
}

QString FromWindows1252(std::string_view bytes) {
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  for (const char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    const char16_t c = b >= 0x80 && b < 0xA0 ? High[b - 0x80] : char16_t{b};
    text += QChar(c ? c : char16_t{0xFFFD});
  }
  return text;
}
