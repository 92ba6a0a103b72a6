#include "TMessageText.h"

namespace {

bool StartsCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

}  // namespace

std::string ShortQuote(std::string_view utf8, size_t limit) {
  // Only the first limit + 1 characters are counted: the text may be megabytes long.
  size_t count = 0;
  for (size_t i = 0; i < utf8.size() && count <= limit; ++i) count += StartsCharacter(utf8[i]);
  if (count <= limit) return std::string(utf8);

  const size_t head = limit / 2, tail = limit / 4;
  size_t headEnd = 0;
  for (size_t seen = 0; headEnd < utf8.size(); ++headEnd) {
    if (StartsCharacter(utf8[headEnd]) && seen++ == head) break;
  }
  size_t tailStart = utf8.size();
  for (size_t seen = 0; tailStart > headEnd && seen < tail;) {
    if (StartsCharacter(utf8[--tailStart])) ++seen;
  }
  std::string out(utf8.substr(0, headEnd));
  out += "\xE2\x80\xA6";  // …
  out += utf8.substr(tailStart);
  return out;
}

QString ShortQuote(const QString& text, size_t limit) {
  const QByteArray utf8 = text.toUtf8();
  return QString::fromStdString(
      ShortQuote(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), limit));
}

QString ErrorBoxText(const QString& message) {
  if (!message.isEmpty() && message.back() > QLatin1Char('.')) return message + QLatin1Char('.');
  return message;
}
