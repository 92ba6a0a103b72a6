#include <gtest/gtest.h>

#include <string>

#include "TBoardError.h"
#include "TElementLine.h"

namespace {

struct LineCase {
  const char* text;
  bool accepted;
  int32_t values[5];
};

bool Read(const std::string& line, int32_t v[5]) {
  return ReadElementLine(line.data(), line.data() + line.size(), v);
}

TEST(ElementLine, AcceptsAndRejectsLines) {
  const LineCase cases[] = {
      {"1,2,3,4,5", true, {1, 2, 3, 4, 5}},
      {" +1 , -2,3 ,4,  5 ", true, {1, -2, 3, 4, 5}},
      {"1, 2, 3, 4, 5", true, {1, 2, 3, 4, 5}},
      {"-0, +0, 007, 0, 0", true, {0, 0, 7, 0, 0}},
      {"2147483647, -2147483648, 0, 0, 0", true, {2147483647, INT32_MIN, 0, 0, 0}},
      {"1, 2, 3, 4", false, {}},
      {"1, 2, 3, 4,", false, {}},
      {"1, 2, 3, 4, 5, 6", false, {}},
      {"1, 2, 3, 4, 5 6", false, {}},
      {"1; 2; 3; 4; 5", false, {}},
      {"     ", false, {}},
      {"", false, {}},
      {"\t1, 2, 3, 4, 5", false, {}},
      {"1, 2, 3, 4, 5\t", false, {}},
      {"1,, 2, 3, 4, 5", false, {}},
      {"+, 2, 3, 4, 5", false, {}},
      {"--1, 2, 3, 4, 5", false, {}},
      {"1 2, 3, 4, 5, 6", false, {}},
      {"1, 2, 3, 4, 5x", false, {}},
      {"a1, 2, 3, 4, 5", false, {}},
  };
  for (const auto& c : cases) {
    int32_t v[5] = {};
    EXPECT_EQ(Read(c.text, v), c.accepted) << c.text;
    if (c.accepted) {
      for (int i = 0; i < 5; ++i) EXPECT_EQ(v[i], c.values[i]) << c.text << " field " << i;
    }
  }
}

TEST(ElementLine, NumberBeyond32BitsIsAnErrorWithTheNumberAsWritten) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"2147483648, 0, 0, 0, 0", "'2147483648' n'est pas une valeur entière correcte"},
      {"0, -2147483649, 0, 0, 0", "'-2147483649' n'est pas une valeur entière correcte"},
      {"0, 0, +99999999999999999999999, 0, 0",
       "'+99999999999999999999999' n'est pas une valeur entière correcte"},
      {"0, 0, 0, 0, 4294967296", "'4294967296' n'est pas une valeur entière correcte"},
      // The number is converted as it is read, before the rest of the line is looked at.
      {"1, 2, 3, 4, 5555555555 junk", "'5555555555' n'est pas une valeur entière correcte"},
  };
  for (const auto& c : cases) {
    int32_t v[5];
    try {
      Read(c.text, v);
      ADD_FAILURE() << "no error for " << c.text;
    } catch (const EBoardError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
}

TEST(ElementLine, StopsAtTheGivenEnd) {
  const char text[] = "1, 2, 3, 4, 5, 6";
  int32_t v[5];
  EXPECT_TRUE(ReadElementLine(text, text + 13, v));
  EXPECT_EQ(v[4], 5);
}

}  // namespace
