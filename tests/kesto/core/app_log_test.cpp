#include "core/app_log.h"

#include <filesystem>
#include <string>
#include <vector>

#include "core/tracked_memory.h"
#include "core_fixture.h"

namespace {

using AppLogTest = LogFixture;

// One step of a log case: move the clock, change the indent, write a text.
struct Step {
  int advance_ms;
  int indent_delta;
  const char* text;
};

struct LogCase {
  const char* name;
  std::vector<Step> steps;
  std::string expected;
};

TEST_F(AppLogTest, WritesExactBytes) {
  const std::string lfs300(300, '\n');
  std::string crlf300;
  for (int i = 0; i < 300; ++i) crlf300 += "\r\n";
  const std::vector<LogCase> cases = {
      {"a message continues the open line; one stamp per line start",
       {{1, 0, "abc\n"}, {2, 0, "def"}, {4, 0, "\n"}},
       "1:abc\r\n3:def\r\n"},
      {"indent of two", {{0, 2, "x\n"}}, "0:\t\tx\r\n"},
      {"indent never goes below zero", {{0, -1, "x\n"}}, "0:x\r\n"},
      {"lines after the first in one message get no stamp", {{7, 1, "a\nb\n"}},
       "7:\ta\r\nb\r\n"},
      {"a line feed at the very start is converted", {{0, 0, "\nabc\n"}}, "0:\r\nabc\r\n"},
      {"conversion stops at the first CR LF", {{0, 0, "a\r\nb\nc"}}, "0:a\r\nb\nc"},
      {"bare line feeds before the first CR LF are converted", {{0, 0, "x\ny\r\nz\n"}},
       "0:x\r\ny\r\nz\n"},
      {"an empty text writes nothing", {{5, 0, ""}, {0, 0, "text\n"}}, "5:text\r\n"},
      {"300 line feeds (converted in a tracked block)", {{0, 0, lfs300.c_str()}},
       "0:" + crlf300},
      {"cp932 bytes, 0x5C trail bytes kept", {{0, 0, "ソ表\n"}}, "0:\x83\x5C\x95\x5C\r\n"},
  };
  for (const LogCase& c : cases) {
    SCOPED_TRACE(c.name);
    InitAppLog();
    for (const Step& s : c.steps) {
      clock_.AdvanceMilliseconds(static_cast<uint64_t>(s.advance_ms));
      for (int i = 0; i < s.indent_delta; ++i) IncreaseLogIndent();
      for (int i = 0; i > s.indent_delta; --i) DecreaseLogIndent();
      EXPECT_EQ(WriteLog(s.text), -1);
    }
    EXPECT_EQ(LogBytes(), c.expected);
  }
}

TEST_F(AppLogTest, FormatCutsAt1023AndEndsTheLine) {
  const std::string long_text(2000, 'a');
  EXPECT_EQ(WriteLogFormat("%s", long_text.c_str()), -1);
  EXPECT_EQ(WriteLogFormat("n=%d", 5), -1);
  EXPECT_EQ(LogBytes(), "0:" + std::string(1023, 'a') + "\r\n0:n=5\r\n");
}

TEST_F(AppLogTest, InitStartsAFreshFileAndResetsLineState) {
  IncreaseLogIndent();
  WriteLog("open line");
  clock_.AdvanceMilliseconds(50);
  InitAppLog();
  clock_.AdvanceMilliseconds(3);
  WriteLog("x\n");
  EXPECT_EQ(LogBytes(), "3:x\r\n");
}

TEST_F(AppLogTest, NothingIsWrittenWithoutFolderOrWithLoggingOff) {
  SetLogFolderPath("");
  WriteLog("lost\n");
  SetLogFolderPath(dir_.path().c_str());
  EXPECT_EQ(LogBytes(), "");

  GetAppLogState().logging_off = 1;
  std::filesystem::remove(dir_.file("AppLog.txt"));
  InitAppLog();
  WriteLog("lost\n");
  EXPECT_FALSE(std::filesystem::exists(dir_.file("AppLog.txt")));
  GetAppLogState().logging_off = 0;
}

TEST_F(AppLogTest, StampsCanBeSwitchedOff) {
  GetAppLogState().stamps_off = 1;
  IncreaseLogIndent();
  WriteLog("a\n");
  EXPECT_EQ(LogBytes(), "\ta\r\n");
}

TEST_F(AppLogTest, UnconvertedWriteKeepsBareLineFeedAndUpdatesLineState) {
  WriteLogUnconverted("wait\n");
  WriteLogUnconverted("half");
  WriteLog(" done\n");
  EXPECT_EQ(LogBytes(), "0:wait\n0:half done\r\n");
}

TEST_F(AppLogTest, LongTextWithoutMemoryIsWrittenUnconverted) {
  std::string text(299, 'x');
  text += "\n";
  FailHeapRequestsForTesting(1);
  WriteLog(text.c_str());
  const std::string bytes = LogBytes();
  // The failed allocation dumps the allocation list first; the text follows as given.
  EXPECT_NE(bytes.find("Alloc memory dump"), std::string::npos);
  ASSERT_GE(bytes.size(), text.size());
  EXPECT_EQ(bytes.substr(bytes.size() - text.size() - 2), "0:" + text);
}

}  // namespace
