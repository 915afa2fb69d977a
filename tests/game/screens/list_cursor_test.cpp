#include "screens/list_cursor.h"

#include <gtest/gtest.h>

#include <random>

#include "screens/config.h"
#include "shell/buttons.h"
#include "shell/game_flags.h"
#include "support/kesto_fake/kesto_fake.h"

namespace {

constexpr uint32_t kDown = 1, kLeft = 2, kRight = 4, kUp = 8, kBomb = 32;

class ListCursorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kesto_fake::Reset();
    g_flags = GameFlags{};
    g_input = InputState{};
    g_config = DefaultConfig();  // no file touched
  }
};

void ExpectConsistent(const ReplayListCursor& c) {
  EXPECT_EQ(c.index, c.top + c.row);
  EXPECT_GE(c.top, 0);
  EXPECT_LE(c.top, kReplayListMaxTop);
  EXPECT_GE(c.row, 0);
  EXPECT_LE(c.row, kReplayListRows - 1);
  EXPECT_GE(c.index, 0);
  EXPECT_LE(c.index, kReplayListReturn);
}

TEST(ReplayListMoveTest, NamedMovesLandWhereThePlayerExpects) {
  struct Case {
    ReplayListCursor start;
    ReplayListMove move;
    int index, row, top;
  };
  const Case cases[] = {
      // Up on the first slot wraps to RETURN at the bottom, and back.
      {{0, 0, 0, 0}, ReplayListMove::kUp, 99, 6, 93},
      {{99, 6, 93, 0}, ReplayListMove::kDown, 0, 0, 0},
      // Pages stop at either end instead of wrapping.
      {{95, 2, 93, 0}, ReplayListMove::kRight, 99, 6, 93},
      {{3, 3, 0, 0}, ReplayListMove::kLeft, 0, 0, 0},
      // A page forward near the end used to leave the highlight on entry 93
      // while the cursor stood on 97.
      {{90, 0, 90, 0}, ReplayListMove::kRight, 97, 4, 93},
      // A page back near the start used to keep row 3 on index 1.
      {{8, 3, 5, 0}, ReplayListMove::kLeft, 1, 1, 0},
      {{50, 3, 47, 0}, ReplayListMove::kRight, 57, 3, 54},
      {{50, 3, 47, 0}, ReplayListMove::kLeft, 43, 3, 40},
      // Scrolling only when the cursor leaves the visible rows.
      {{10, 0, 10, 0}, ReplayListMove::kUp, 9, 0, 9},
      {{16, 6, 10, 0}, ReplayListMove::kDown, 17, 6, 11},
      {{12, 2, 10, 0}, ReplayListMove::kDown, 13, 3, 10},
      {{40, 2, 38, 0}, ReplayListMove::kJumpToReturn, 99, 6, 93},
      // Out-of-range positions restored from flags come back in range.
      {{500, -3, 900, 0}, ReplayListMove::kNone, 99, 6, 93},
      {{-7, 9, -40, 0}, ReplayListMove::kNone, 0, 0, 0},
  };
  for (const Case& k : cases) {
    ReplayListCursor c = k.start;
    ApplyReplayListMove(c, k.move);
    SCOPED_TRACE(testing::Message() << "from " << k.start.index << "/" << k.start.row << "/"
                                    << k.start.top << " move " << static_cast<int>(k.move));
    EXPECT_EQ(c.index, k.index);
    EXPECT_EQ(c.row, k.row);
    EXPECT_EQ(c.top, k.top);
  }
}

TEST(ReplayListMoveTest, JumpToReturnIsSilentOnlyWhenAlreadyThere) {
  ReplayListCursor c{5, 5, 0, 0};
  EXPECT_EQ(ApplyReplayListMove(c, ReplayListMove::kJumpToReturn), 1);
  EXPECT_EQ(ApplyReplayListMove(c, ReplayListMove::kJumpToReturn), 0);
  EXPECT_EQ(ApplyReplayListMove(c, ReplayListMove::kUp), 1);
}

// Random held keys, changing every few frames, through the real button
// counters: whatever the sequence, the highlighted row names the chosen slot
// and nothing leaves its range.
TEST_F(ListCursorTest, RandomKeySequencesKeepTheHighlightOnTheChosenSlot) {
  const uint32_t choices[] = {0, kUp, kDown, kLeft, kRight, kBomb, kUp | kRight, kDown | kLeft};
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    std::mt19937 rng(seed);
    g_input = InputState{};
    ReplayListCursor c{};
    uint32_t word = 0;
    for (int frame = 0; frame < 3000; ++frame) {
      if (rng() % 6 == 0) word = choices[rng() % std::size(choices)];
      kesto_fake::state().pad_default = word;
      MoveReplayListCursor(c);
      ExpectConsistent(c);
      if (HasFailure()) {
        ADD_FAILURE() << "seed " << seed << " frame " << frame;
        return;
      }
    }
  }
}

TEST_F(ListCursorTest, HeldDirectionMovesOnItsSecondFrameThenEveryEighthWithASound) {
  ReplayListCursor c{};
  kesto_fake::state().pad_default = kDown;
  std::vector<int> moved_on;
  for (int frame = 1; frame <= 20; ++frame) {
    int before = c.index;
    MoveReplayListCursor(c);
    if (c.index != before) moved_on.push_back(frame);
  }
  EXPECT_EQ(moved_on, (std::vector<int>{2, 10, 18}));
  EXPECT_EQ(kesto_fake::CallsNamed("StartSoundHandle").size(), 3u);
}

TEST_F(ListCursorTest, BombJumpsOnItsPressNotWhileHeld) {
  ReplayListCursor c{};
  kesto_fake::state().pad_default = kBomb;
  MoveReplayListCursor(c);
  EXPECT_EQ(c.index, kReplayListReturn);
  for (int i = 0; i < 10; ++i) MoveReplayListCursor(c);
  kesto_fake::state().pad_default = kUp;
  MoveReplayListCursor(c);  // first frame of the hold: no move yet
  MoveReplayListCursor(c);
  EXPECT_EQ(c.index, kReplayListReturn - 1);
}

}  // namespace
