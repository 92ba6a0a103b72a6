#include <gtest/gtest.h>

#include <string>

#include "TBoardError.h"
#include "TElementLine.h"
#include "TMessageText.h"

namespace {

// The five values read, nothing when the line is rejected, or the message of the error.
std::string Outcome(const char* begin, const char* end) {
  int32_t v[5] = {};
  try {
    if (!ReadElementLine(begin, end, v)) return "";
  } catch (const EBoardError& e) {
    return e.what();
  }
  std::string out;
  for (int32_t value : v) out += (out.empty() ? "" : " ") + std::to_string(value);
  return out;
}

// A number is converted as it is read, before the rest of the line is looked at. A number of up
// to 40 characters is quoted as written, a longer one by its first 20 and last 10 characters.
TEST(ElementLine, GrammarAndLimits) {
  const std::string no = " n'est pas une valeur entière correcte", ten = "9876543210";
  const std::string forty = ten + ten + ten + ten, seven(1000000, '7'), rest = ", 0, 0, 0, 0";
  const std::pair<std::string, std::string> cases[] = {
      {"1,2,3,4,5", "1 2 3 4 5"},
      {" +1 , -2,3 ,4,  5 ", "1 -2 3 4 5"},
      {"-0, +0, 007, 0, 0", "0 0 7 0 0"},
      {"2147483647, -2147483648, 0, 0, 0", "2147483647 -2147483648 0 0 0"},
      {"1, 2, 3, 4", ""},
      {"1, 2, 3, 4,", ""},
      {"1, 2, 3, 4, 5, 6", ""},
      {"1, 2, 3, 4, 5 6", ""},
      {"1; 2; 3; 4; 5", ""},
      {"     ", ""},
      {"", ""},
      {"\t1, 2, 3, 4, 5", ""},
      {"1, 2, 3, 4, 5\t", ""},
      {"1,, 2, 3, 4, 5", ""},
      {"+, 2, 3, 4, 5", ""},
      {"--1, 2, 3, 4, 5", ""},
      {"1, 2, 3, 4, 5x", ""},
      {"a1, 2, 3, 4, 5", ""},
      {"2147483648, 0, 0, 0, 0", "'2147483648'" + no},
      {"0, -2147483649, 0, 0, 0", "'-2147483649'" + no},
      {"0, 0, +99999999999999999999999, 0, 0", "'+99999999999999999999999'" + no},
      {"1, 2, 3, 4, 5555555555 junk", "'5555555555'" + no},
      {forty + rest, "'" + forty + "'" + no},
      {forty + "7" + rest, "'" + ten + ten + "…8765432107'" + no},
      {seven + rest, "'" + seven.substr(0, 20) + "…" + seven.substr(0, 10) + "'" + no}};
  for (const auto& [line, outcome] : cases)
    EXPECT_EQ(Outcome(line.data(), line.data() + line.size()), outcome) << line.substr(0, 50);
  // Nothing past the given end is read.
  const char text[] = "1, 2, 3, 4, 5, 6";
  EXPECT_EQ(Outcome(text, text + 13), "1 2 3 4 5");
  // Characters, not bytes: a quoted path is never cut inside one.
  EXPECT_EQ(ShortQuote(std::string(30, 'a') + std::string(15, 'e') + "\xc3\xa9" + "bcdefghi", 40),
            std::string(20, 'a') + "…e\xc3\xa9" + "bcdefghi");
}

}  // namespace
