#include <gtest/gtest.h>

#include <string>

#include "TBoardError.h"
#include "TElementLine.h"
#include "TMessageText.h"

namespace {

// The five values read, "rejected", or the message of the error.
std::string Outcome(const char* begin, const char* end) {
  int32_t v[5] = {};
  try {
    if (!ReadElementLine(begin, end, v)) return "rejected";
  } catch (const EBoardError& e) {
    return e.what();
  }
  std::string out;
  for (int32_t value : v) out += (out.empty() ? "" : " ") + std::to_string(value);
  return out;
}

// A number is converted as it is read, before the rest of the line is looked at (the last case).
TEST(ElementLine, GrammarAndLimits) {
  const char* const rejected = "rejected";
  const struct {
    const char* text;
    std::string outcome;
  } cases[] = {
      {"1,2,3,4,5", "1 2 3 4 5"},
      {" +1 , -2,3 ,4,  5 ", "1 -2 3 4 5"},
      {"-0, +0, 007, 0, 0", "0 0 7 0 0"},
      {"2147483647, -2147483648, 0, 0, 0", "2147483647 -2147483648 0 0 0"},
      {"1, 2, 3, 4", rejected},
      {"1, 2, 3, 4,", rejected},
      {"1, 2, 3, 4, 5, 6", rejected},
      {"1, 2, 3, 4, 5 6", rejected},
      {"1; 2; 3; 4; 5", rejected},
      {"     ", rejected},
      {"", rejected},
      {"\t1, 2, 3, 4, 5", rejected},
      {"1, 2, 3, 4, 5\t", rejected},
      {"1,, 2, 3, 4, 5", rejected},
      {"+, 2, 3, 4, 5", rejected},
      {"--1, 2, 3, 4, 5", rejected},
      {"1, 2, 3, 4, 5x", rejected},
      {"a1, 2, 3, 4, 5", rejected},
      {"2147483648, 0, 0, 0, 0", "'2147483648' n'est pas une valeur entière correcte"},
      {"0, -2147483649, 0, 0, 0", "'-2147483649' n'est pas une valeur entière correcte"},
      {"0, 0, +99999999999999999999999, 0, 0",
       "'+99999999999999999999999' n'est pas une valeur entière correcte"},
      {"1, 2, 3, 4, 5555555555 junk", "'5555555555' n'est pas une valeur entière correcte"}};
  for (const auto& c : cases) {
    const std::string line = c.text;
    EXPECT_EQ(Outcome(line.data(), line.data() + line.size()), c.outcome) << c.text;
  }
  // Nothing past the given end is read.
  const char text[] = "1, 2, 3, 4, 5, 6";
  EXPECT_EQ(Outcome(text, text + 13), "1 2 3 4 5");
}

// A number of up to 40 characters is quoted as written; a longer one by its first 20 and last 10
// characters, so the message box is laid out at once whatever the file holds.
TEST(ElementLine, ALongNumberIsQuotedShort) {
  const std::string ten = "9876543210", forty = ten + ten + ten + ten;
  const std::string cut = "…";
  const std::pair<std::string, std::string> cases[] = {
      {ten, ten},
      {forty, forty},
      {forty + "7", ten + ten + cut + "8765432107"},
      {std::string(1000000, '7'), std::string(20, '7') + cut + std::string(10, '7')}};
  for (const auto& [number, quoted] : cases) {
    const std::string line = number + ", 0, 0, 0, 0";
    EXPECT_EQ(Outcome(line.data(), line.data() + line.size()),
              "'" + quoted + "' n'est pas une valeur entière correcte")
        << number.size();
  }
  // Characters, not bytes: a quoted path is never cut inside one.
  EXPECT_EQ(ShortQuote(std::string(30, 'a') + std::string(15, 'e') + "\xc3\xa9" + "bcdefghi", 40),
            std::string(20, 'a') + cut + "e\xc3\xa9" + "bcdefghi");
}

}  // namespace
