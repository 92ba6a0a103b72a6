#include "TElementLine.h"

#include <string>

#include "TBoardError.h"
#include "TMessageText.h"

bool ReadElementLine(const char* p, const char* end, int32_t values[5]) {
  auto skipSpaces = [&] {
    while (p != end && *p == ' ') ++p;
  };
  for (int i = 0; i < 5; ++i) {
    skipSpaces();
    const char* numberStart = p;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    const char* digits = p;
    uint64_t magnitude = 0;
    bool tooBig = false;
    while (p != end && *p >= '0' && *p <= '9') {
      magnitude = magnitude * 10 + static_cast<unsigned>(*p - '0');
      if (magnitude > 2147483648ull) {
        tooBig = true;
        magnitude = 2147483648ull;
      }
      ++p;
    }
    if (p == digits) return false;
    if (tooBig || (!negative && magnitude > 2147483647ull)) {
      const std::string_view number(numberStart, static_cast<size_t>(p - numberStart));
      throw EBoardError("'" + ShortQuote(number, QuotedNumberLimit) +
                        "' n'est pas une valeur entière correcte");
    }
    values[i] = negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude))
                         : static_cast<int32_t>(magnitude);
    skipSpaces();
    if (i < 4) {
      if (p == end || *p != ',') return false;
      ++p;
    }
  }
  return p == end;
}
