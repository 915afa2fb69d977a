// A key-input line drawn with the real default font into a 32-bit back
// buffer, so each part's colour can be told apart pixel by pixel.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/key_input.h"
#include "core/text_input.h"
#include "core/tracked_memory.h"
#include "kesto/graphics/font_fixture.h"
#include "platform/window/ime.h"

namespace {

class KeyInputDrawTest : public FontTest {
 protected:
  void SetUp() override {
    FontTest::SetUp();
    ResetTextInputForTesting();
    StartScreen(false, 32);
    line_ = MakeKeyInput(32, 1, 0, 0);
    ASSERT_GE(line_, 0);
    font_ = GetDefaultFontHandle();
    height_ = GetFontRecord(font_)->line_height;
  }
  void TearDown() override {
    EndKeyInputs();
    ResetTextInputForTesting();
    FontTest::TearDown();
  }

  // Every pixel of a colour inside a rectangle of the frame.
  static int CountIn(const std::vector<uint32_t>& frame, uint32_t rgb, int left, int top, int right,
                     int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += frame[static_cast<size_t>(y) * 640 + x] == rgb;
    return n;
  }

  int line_ = -1;
  int font_ = -1;
  int height_ = 0;
};

constexpr uint32_t kWhite = 0xFFFFFF, kYellow = 0xFFFF00, kCyan = 0x00FFFF;
constexpr uint32_t kRed = 0xFF3232, kFrame = 0xFFFF14;

TEST_F(KeyInputDrawTest, TheTextAndABlinkingCursorOnlyOnTheActiveLine) {
  SetKeyInputString("AB", line_);
  const int pen = 10 + Measure(font_, "AB");
  ASSERT_EQ(DrawKeyInputString(10, 20, line_), 0);
  std::vector<uint32_t> frame = Frame();
  EXPECT_GT(CountIn(frame, kWhite, 10, 20, pen, 20 + height_), 0);
  EXPECT_EQ(CountIn(frame, kWhite, pen, 20, pen + 2, 20 + height_), 0);  // not active: no cursor

  ActivateKeyInput(line_);
  Erase();
  DrawKeyInputString(10, 20, line_);
  frame = Frame();
  EXPECT_EQ(CountIn(frame, kWhite, pen, 20, pen + 2, 20 + height_), 2 * height_);
  // Half a second after the last key the cursor is off, then on again.
  clock_.AdvanceMilliseconds(500);
  Erase();
  DrawKeyInputString(10, 20, line_);
  EXPECT_EQ(CountIn(Frame(), kWhite, pen, 20, pen + 2, 20 + height_), 0);
  clock_.AdvanceMilliseconds(500);
  Erase();
  DrawKeyInputString(10, 20, line_);
  EXPECT_EQ(CountIn(Frame(), kWhite, pen, 20, pen + 2, 20 + height_), 2 * height_);
  EXPECT_EQ(DrawKeyInputString(10, 20, -1), -1);
}

TEST_F(KeyInputDrawTest, TheCompositionAndItsCandidatesInTheirColours) {
  SetKeyInputString("AB", line_);
  SetKeyInputCursor(1, line_);
  ActivateKeyInput(line_);
  ImeState& ime = TextInput().ime;
  ime.enabled = 1;
  ime.composing = 1;
  std::strcpy(ime.composition, "xy");
  ime.composition_cursor = 1;  // at the second clause, the one being converted
  const uint32_t clauses[] = {0, 1, 2};
  std::memcpy(ime.clauses, clauses, sizeof clauses);
  ime.clause_count = 3;
  // Two candidates, the second chosen.
  std::vector<uint8_t> list(sizeof(platform::window::CandidateListHeader) + 8);
  const uint32_t offsets[] = {static_cast<uint32_t>(list.size()),
                              static_cast<uint32_t>(list.size() + 3)};
  for (const char* c : {"ab", "cd"}) list.insert(list.end(), c, c + 3);
  const platform::window::CandidateListHeader head{
      static_cast<uint32_t>(list.size()), 1, 2, 1, 0, 2};
  std::memcpy(list.data(), &head, sizeof head);
  std::memcpy(list.data() + sizeof head, offsets, sizeof offsets);
  ime.candidates = AllocTracked(static_cast<uint32_t>(list.size()), "test", __LINE__);
  std::memcpy(ime.candidates, list.data(), list.size());

  ASSERT_EQ(DrawKeyInputString(10, 20, line_), 0);
  const std::vector<uint32_t> frame = Frame();
  const int a_end = 10 + Measure(font_, "A");
  const int x_end = a_end + Measure(font_, "x");
  const int y_end = x_end + Measure(font_, "y");
  EXPECT_GT(CountIn(frame, kWhite, 10, 20, a_end, 20 + height_), 0);
  EXPECT_GT(CountIn(frame, kYellow, a_end, 20, x_end, 20 + height_), 0);
  EXPECT_EQ(CountIn(frame, kCyan, a_end, 20, x_end, 20 + height_), 0);
  EXPECT_GT(CountIn(frame, kCyan, x_end, 20, y_end, 20 + height_), 0);
  EXPECT_EQ(CountIn(frame, kYellow, x_end + 2, 20, y_end, 20 + height_), 0);
  // The cursor stands between the clauses, the rest of the line after them.
  EXPECT_EQ(CountIn(frame, kWhite, x_end, 20, x_end + 2, 20 + height_ - 1), 2 * (height_ - 1));
  EXPECT_GT(CountIn(frame, kWhite, y_end, 20, 640, 20 + height_), 0);
  // Below: the list in its frame, the chosen candidate in red.
  const int list_top = 20 + height_ + 4;
  EXPECT_GT(CountIn(frame, kWhite, a_end, list_top, 640, list_top + height_), 0);
  EXPECT_GT(CountIn(frame, kRed, a_end, list_top + height_, 640, list_top + 2 * height_), 0);
  EXPECT_EQ(CountIn(frame, kRed, 0, 0, 640, list_top + height_), 0);
  EXPECT_GT(Count(frame, kFrame), 2 * height_);
}

}  // namespace
