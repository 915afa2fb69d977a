#include "core/text_helpers.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>

namespace {

TEST(TextHelpersTest, TextToIntAndNumberAfterBlank) {
  struct Case {
    const char* text;
    int32_t value;
  };
  const Case to_int[] = {
      {"", -1},
      {"abc", -1},
      {"-12x", -12},
      {"x-", 0},
      {"  42 7", 42},
      {"4294967297", 1},                             // modulo 2^32
      {"2147483648", INT32_MIN},
      {"000000000000000000000000000000017", 1},      // the 33rd digit is ignored
  };
  for (const Case& c : to_int) EXPECT_EQ(TextToInt(c.text), c.value) << c.text;

  const Case after_blank[] = {
      {"HTTP/1.0 200 OK", 200},
      {"Content-Length: 345", 345},
      {"Content-Length:345", -1},
      {"a b", -1},
  };
  for (const Case& c : after_blank) EXPECT_EQ(ReadNumberAfterBlank(c.text), c.value) << c.text;
}

TEST(TextHelpersTest, RoundingIsHalfToEvenAndOutOfRangeIsIndefinite) {
  struct Case {
    double v;
    int32_t expected;
  };
  const Case cases[] = {
      {2.5, 2},  {3.5, 4},        {-2.5, -2},          {-3.5, -4},       {1.4999, 1},
      {1e10, INT_MIN}, {-1e10, INT_MIN}, {NAN, INT_MIN}, {2147483647.0, INT_MAX},
      {-2147483648.0, INT_MIN},
  };
  for (const Case& c : cases) EXPECT_EQ(RoundDoubleToInt(c.v), c.expected) << c.v;
  EXPECT_EQ(RoundFloatToInt(0.5f), 0);
  EXPECT_EQ(RoundFloatToInt(1.5f), 2);
  int32_t rect[4];
  RoundDoubleRect(0.5, 1.5, -0.6, 1e12, rect);
  EXPECT_EQ(rect[0], 0);
  EXPECT_EQ(rect[1], 2);
  EXPECT_EQ(rect[2], -1);
  EXPECT_EQ(rect[3], INT_MIN);
}

TEST(TextHelpersTest, Comparisons) {
  // Equal in the first 15 bytes only; the prefix compare does not stop at NUL.
  const char a[] = "0123456789abcdeXYZ";
  const char b[] = "0123456789abcdeQRS";
  EXPECT_EQ(CompareTextPrefix(a, b, 15), 0);
  EXPECT_EQ(CompareTextPrefix(a, b, 16), 1);
  EXPECT_EQ(CompareTextPrefix(a, b, 0), 0);
  EXPECT_EQ(CompareTextPrefix(a, a, -1), 1);
  const char nul_a[4] = {'a', '\0', 'x', 'y'};
  const char nul_b[4] = {'a', '\0', 'x', 'z'};
  EXPECT_EQ(CompareTextPrefix(nul_a, nul_b, 4), 1);

  EXPECT_EQ(CompareText("abc", "abc"), 0);
  EXPECT_EQ(CompareText("abc", "abd"), 1);
  EXPECT_EQ(CompareText("b", "a"), 1);  // no ordering
  EXPECT_EQ(CompareBytes("ab", "xy", 0), 0);
  EXPECT_EQ(CompareBytes("ab", "ax", 2), 1);

  const char* text = "a=b=c";
  EXPECT_EQ(FindCharInText(text, '='), text + 1);
  EXPECT_EQ(FindCharInText(text, 'z'), nullptr);
  EXPECT_EQ(FindCharInText(text, '\0'), nullptr);  // unlike strchr
}

TEST(TextHelpersTest, CopiesAndFormatting) {
  char buf[16] = "0123456789";
  MoveBytes(buf + 2, buf, 5);  // overlapping, source below destination
  EXPECT_STREQ(buf, "0101234789");
  char text[16];
  CopyText(text, "abc");
  AppendText(text, "def");
  EXPECT_STREQ(text, "abcdef");

  char small[8];
  EXPECT_EQ(FormatText(small, sizeof small, "%d-%s", 12345, "overflowing"), 0);
  EXPECT_STREQ(small, "12345-o");

  float s = 0, c = 0;
  SinCos(0.0f, &s, &c);
  EXPECT_EQ(s, 0.0f);
  EXPECT_EQ(c, 1.0f);
  EXPECT_EQ(AbsInt(-5), 5);
  EXPECT_EQ(AbsInt(INT32_MIN), INT32_MIN);
}

TEST(TextHelpersTest, CutNeverLeavesHalfACharacter) {
  struct Case {
    std::string text;
    std::string kept;
  };
  const Case cases[] = {
      {"ab\x83", "ab"},            // lead byte cut from its trail
      {"\x83\x5C\x83", "\x83\x5C"},  // 0x5C is a trail byte here, not a character
      {"\x83\x83\x83", "\x83\x83"},
      {"ab\xA0", "ab\xA0"},         // half-width katakana: one byte
      {"ソ", "ソ"},
      {"", ""},
  };
  for (const Case& c : cases) {
    std::string buf = c.text;
    EXPECT_EQ(TrimDanglingLeadByte(buf.data()), c.kept.size());
    EXPECT_EQ(std::string(buf.c_str()), c.kept);
  }
}

}  // namespace
