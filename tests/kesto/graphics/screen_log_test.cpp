// The on-screen log: off, it keeps and draws nothing; on, presenting draws
// the newest log lines over the frame with the log's own font.
#include <string>

#include "core/app_log.h"
#include "core/screen_log.h"
#include "font_fixture.h"
#include "graphics/graphics_manager.h"
#include "platform/video/display.h"

namespace {

class ScreenLogTest : public FontTest {
 protected:
  void TearDown() override {
    SetScreenLogEnabled(0);
    FontTest::TearDown();
  }
  static std::string Line(int i) { return GetScreenLogState().store[i]; }
  // The shown frame (the primary after a flip), white pixels per text row.
  static int WhiteInRows(int top, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < 640; ++x) {
        int r = 0, g = 0, b = 0;
        GetColorComponents(static_cast<int>(GetPrimarySurface()->ReadPixel(x, y)), &r, &g, &b);
        n += r == 255 && g == 255 && b == 255;
      }
    return n;
  }
};

TEST_F(ScreenLogTest, OffItKeepsAndDrawsNothing) {
  StartScreen(false);
  const ScreenLogState& s = GetScreenLogState();
  ASSERT_EQ(s.prepared, 1);
  EXPECT_EQ(IsScreenLogEnabled(), 0);
  EXPECT_TRUE(IsValidFontHandle(s.font));
  WriteLog("kept nowhere\n");
  EXPECT_EQ(Line(0), "");
  ASSERT_EQ(PresentBackScreenBody(), 0);
  EXPECT_EQ(WhiteInRows(0, 480), 0);
}

TEST_F(ScreenLogTest, OnItShowsTheNewestLinesOverTheFrame) {
  StartScreen(false);
  SetScreenLogEnabled(1);
  WriteLog("first line\n");
  WriteLog("\tsecond \x82\xA0\n");
  EXPECT_EQ(Line(0), "first line");
  EXPECT_EQ(Line(1), "    second \x82\xA0");
  ASSERT_EQ(PresentBackScreenBody(), 0);
  EXPECT_GT(WhiteInRows(0, 16), 20);
  EXPECT_GT(WhiteInRows(16, 32), 20);
  EXPECT_EQ(WhiteInRows(32, 480), 0);
  // The caller's draw area and blend stay.
  EXPECT_EQ(GetDrawState().blend_mode, 0);
  // More lines than the screen holds: the newest ones are shown.
  for (int i = 0; i < 100; ++i) WriteLogFormat("line %d", i);
  EXPECT_EQ(Line(0), "line 21");
  EXPECT_EQ(Line(78), "line 99");
  EXPECT_EQ(Line(79), "");
  ASSERT_EQ(PresentBackScreenBody(), 0);
  EXPECT_GT(WhiteInRows(464, 480), 20);  // "line 99" on the last row
}

TEST_F(ScreenLogTest, LongLinesGoOnAndTwoByteCharactersStayWhole) {
  StartScreen(false);
  SetScreenLogEnabled(1);
  const std::string long_text = std::string(253, 'x') + "\x82\xA0" + "y\n";
  WriteLog(long_text.c_str());
  EXPECT_EQ(Line(0), std::string(253, 'x'));
  EXPECT_EQ(Line(1), "\x82\xA0y");
}

TEST_F(ScreenLogTest, ItsFontComesBackAfterAModeSwitchAndGoesAtTheEnd) {
  StartScreen(false);
  SetScreenLogEnabled(1);
  const int first = GetScreenLogState().font;
  ASSERT_EQ(ChooseScreenModeBody(800, 600, 16, -1), 0);
  EXPECT_FALSE(IsValidFontHandle(first));
  EXPECT_EQ(GetScreenLogState().font_deleted, 1);
  ASSERT_EQ(ChooseDrawTargetBody(-2), 0);
  WriteLog("after the switch\n");
  ASSERT_EQ(PresentBackScreenBody(), 0);
  EXPECT_TRUE(IsValidFontHandle(GetScreenLogState().font));
  EXPECT_GT(WhiteInRows(0, 16), 20);
  const int font = GetScreenLogState().font;
  EXPECT_EQ(GetFontRecord(font)->type, 1);
  EXPECT_EQ(GetFontRecord(font)->thickness, 4);
  // A lost display puts the font back under its handle, and the log keeps it.
  platform::video::SimulateDisplayLoss();
  platform::video::EndDisplayLoss();
  ASSERT_EQ(RecoverGraphicsDevice(), 0);
  ASSERT_EQ(PresentBackScreenBody(), 0);
  EXPECT_EQ(GetScreenLogState().font, font);
  EXPECT_EQ(GetScreenLogState().font_deleted, 0);
  int fonts = 0;
  for (int slot = 0; slot < kMaxFonts; ++slot) {
    for (int check = 0; check < 2048; ++check) {
      fonts += IsValidFontHandle(static_cast<int>(((check | 0x2000) << 16) | slot));
    }
  }
  EXPECT_EQ(fonts, 2);  // the default font and the log's
  ASSERT_EQ(EndScreenLog(), 0);
  EXPECT_FALSE(IsValidFontHandle(font));
  EXPECT_EQ(GetScreenLogState().prepared, 0);
}

}  // namespace
