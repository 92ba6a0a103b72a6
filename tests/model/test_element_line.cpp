#include <gtest/gtest.h>

#include <string>

#include "TBoardError.h"
#include "TElementLine.h"

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

}  // namespace
