#include "screens/text_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A reader over a stream holding `text`.
std::FILE* StreamOf(const std::string& text) {
  std::FILE* f = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), f);
  std::rewind(f);
  return f;
}
struct MemoryReader {
  explicit MemoryReader(const std::string& text) : reader(StreamOf(text)) {}
  TextFileReader reader;
};

struct Read {
  int result;
  int32_t value;
};

TEST(TextFileReader, NumbersFollowFormattedInputRules) {
  struct Case {
    const char* text;
    std::vector<Read> reads;  // value checked only when stored
  } cases[] = {
      {"12 -7\t+3\n", {{1, 12}, {1, -7}, {1, 3}, {EOF, 0}}},
      {"", {{EOF, 0}}},
      {" \r\n\r\n", {{EOF, 0}}},
      {"4\r\n5\r\n", {{1, 4}, {1, 5}, {EOF, 0}}},
      // A letter stays unread, so every later read fails on it too.
      {"1 x 2", {{1, 1}, {0, 0}, {0, 0}}},
      {"12abc", {{1, 12}, {0, 0}}},
      // A sign followed by something else is taken; what follows is not.
      {"-x", {{0, 0}, {0, 0}}},
      {"+-5", {{0, 0}, {1, -5}}},
      {"-", {{0, 0}, {EOF, 0}}},
      {"99999999999 -99999999999", {{1, INT32_MAX}, {1, INT32_MIN}}},
  };
  for (const Case& c : cases) {
    MemoryReader m(c.text);
    for (size_t i = 0; i < c.reads.size(); ++i) {
      int32_t v = -12345;
      const int r = m.reader.ReadInt(&v);
      EXPECT_EQ(r, c.reads[i].result) << '"' << c.text << "\" read " << i;
      EXPECT_EQ(v, r == 1 ? c.reads[i].value : -12345) << '"' << c.text << "\" read " << i;
    }
  }
}

TEST(TextFileReader, ALineReadAfterANumberLineStartsAtTheNextText) {
  // "%d\n" eats every blank after the number, blank lines too.
  MemoryReader m("7\n\n  XYZW\nAB\n");
  int32_t v = 0;
  ASSERT_EQ(m.reader.ReadIntLine(&v), 1);
  char buffer[4];
  ASSERT_TRUE(m.reader.ReadShortLine(buffer));
  EXPECT_STREQ(buffer, "XYZ");
  ASSERT_TRUE(m.reader.ReadShortLine(buffer));
  EXPECT_STREQ(buffer, "W\n");
  ASSERT_TRUE(m.reader.ReadShortLine(buffer));
  EXPECT_STREQ(buffer, "AB\n");
  std::memcpy(buffer, "QQQ", 4);
  EXPECT_FALSE(m.reader.ReadShortLine(buffer));
  EXPECT_STREQ(buffer, "QQQ");  // the end leaves the buffer as it was
}

TEST(TextFileReader, CommentLinesAreSkippedAlsoAfterCrLf) {
  MemoryReader m("\r\n# note\r\n  \r\n#another\n42\n");
  m.reader.SkipBlankAndComments();
  int32_t v = 0;
  EXPECT_EQ(m.reader.ReadIntLine(&v), 1);
  EXPECT_EQ(v, 42);
}

TEST(TextFileReader, AMissingFileIsToldApartFromOtherFailures) {
  TextFileReader missing("no/such/file.dat");
  EXPECT_FALSE(missing.is_open());
  EXPECT_TRUE(missing.missing());
  int32_t v = 5;
  EXPECT_EQ(missing.ReadInt(&v), EOF);
  EXPECT_EQ(v, 5);
}

TEST(SanitizeName, BytesWithoutAGlyphBecomeUnderscores) {
  struct Case {
    char in[4];
    const char* out;
  } cases[] = {
      {{'H', 'L', 'X', 0}, "HLX"},
      {{'A', '_', '/', 0}, "A_/"},
      {{'a', 'b', '\n', 0}, "___"},
      {{'A', '\xE9', '\x80', 0}, "A__"},
      {{'A', 'B', 'C', 'D'}, "ABC"},       // no terminator: the fourth byte becomes it
      {{'A', 0, 'x', 0}, "A"},             // nothing after the end survives
      {{'1', '!', '?', 0}, "1!?"},
  };
  for (Case& c : cases) {
    char name[4];
    std::memcpy(name, c.in, 4);
    SanitizeName(name);
    EXPECT_STREQ(name, c.out);
    EXPECT_EQ(name[3], '\0');
  }
}

}  // namespace
