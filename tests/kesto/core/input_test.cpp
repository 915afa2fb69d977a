#include <gtest/gtest.h>

#include "core/entry_bodies.h"
#include "core/input.h"
#include "platform/input/key_codes.h"
#include "window_fixture.h"

namespace in = platform::input;

namespace {

class InputTest : public CoreWindowFixture {
 protected:
  void SetUp() override {
    CoreWindowFixture::SetUp();
    in::EnableInjectedPad(true);
    ASSERT_EQ(StartDirectInput(), 0);
    ASSERT_GE(JoypadCount(), 1);
  }
  void TearDown() override {
    StopDirectInput();
    CoreWindowFixture::TearDown();
  }
  static void SetPad(int x, int y, uint32_t buttons) {
    in::SetInjectedPadAxis(0, x);
    in::SetInjectedPadAxis(1, y);
    for (int b = 0; b < 32; ++b) in::SetInjectedPadButton(b, (buttons >> b) & 1);
  }
};

TEST_F(InputTest, PadBitsMergeJoypadAndKeyboard) {
  struct Case {
    const char* name;
    std::vector<int> keys;
    int x, y;
    uint32_t buttons;
    int selector;
    uint32_t expected;
  };
  const Case cases[] = {
      {"Z and pad button 2", {in::kKeyZ}, 0, 0, 1u << 2, 0x1001, 0x50},
      {"keyboard only", {in::kKeyZ}, 0, 0, 1u << 2, 0x1000, 0x10},
      {"pad only", {in::kKeyZ}, 0, 0, 1u << 2, 1, 0x40},
      {"no pad, no keyboard", {in::kKeyZ}, 0, 0, 1, 0, 0},
      {"pad number out of range", {in::kKeyZ}, 0, 0, 1, 11, 0},
      {"pad 2 not attached", {}, 0, 0, 1, 2, 0},
      {"inside the dead zone", {}, 6000, -6000, 0, 1, 0},
      {"full left and down", {}, -32768, 32767, 0, 1, 0x2 | 0x1},
      {"right and up past the zone", {}, 12000, -12000, 0, 1, 0x4 | 0x8},
      {"all 24 buttons, none beyond", {}, 0, 0, 0xFFFFFFFFu, 1, 0x0FFFFFF0u},
      {"cursor keys", {in::kKeyUp, in::kKeyLeft}, 0, 0, 0, 0x1000, 0x8 | 0x2},
      {"numeric pad", {in::kKeyNumpad2, in::kKeyNumpad6}, 0, 0, 0, 0x1000, 0x1 | 0x4},
      {"letters, Escape and Space",
       {in::kKeyX, in::kKeyC, in::kKeyA, in::kKeyS, in::kKeyD, in::kKeyQ, in::kKeyW,
        in::kKeyEscape, in::kKeySpace},
       0, 0, 0, 0x1000, 0x3FE0},
  };
  for (const Case& c : cases) {
    in::ReleaseAllKeys();
    for (int k : c.keys) in::SetKeyDown(k, true);
    SetPad(c.x, c.y, c.buttons);
    EXPECT_EQ(static_cast<uint32_t>(ReadPadBitsBody(c.selector)), c.expected) << c.name;
  }
}

TEST_F(InputTest, IsKeyHeldReadsTheTableAndRefusesCodesOutsideIt) {
  in::SetKeyDown(in::kKeyZ, true);
  EXPECT_EQ(IsKeyHeldBody(in::kKeyZ), 1);
  EXPECT_EQ(IsKeyHeldBody(in::kKeyX), 0);
  for (int bad : {-1, 256, 0x7FFFFFFF, -0x7FFFFFFF - 1}) EXPECT_EQ(IsKeyHeldBody(bad), 0) << bad;
  in::SetKeyDown(in::kKeyZ, false);
  EXPECT_EQ(IsKeyHeldBody(in::kKeyZ), 0);
}

TEST_F(InputTest, ReadsWithinOneMillisecondWithoutNewDataDoNotQueryThePad) {
  SetPad(0, 0, 1u << 3);
  EXPECT_EQ(ReadPadBitsBody(1), 0x80);
  in::FaultsForTesting().pad_reads = 1;  // a query now would fail
  EXPECT_EQ(ReadPadBitsBody(1), 0x80);
  EXPECT_EQ(in::FaultsForTesting().pad_reads, 1);
  clock_.AdvanceMilliseconds(1);
  ReadPadBitsBody(1);
  EXPECT_EQ(in::FaultsForTesting().pad_reads, 0);
}

TEST_F(InputTest, FirstReadAfterAStopRestartsInputAndReadsNormally) {
  in::SetKeyDown(in::kKeyZ, true);
  StopDirectInput();
  // The keyboard event fails to set up: the restart reports 1, which must
  // not read as key 1 (Escape) held.
  in::FaultsForTesting().keyboard_event = true;
  EXPECT_EQ(IsKeyHeldBody(in::kKeyEscape), 0);
  EXPECT_EQ(IsKeyHeldBody(in::kKeyZ), 1);
  StopDirectInput();
  // Input cannot start at all: -1 must not read as every bit set.
  in::FaultsForTesting().create_object = true;
  EXPECT_EQ(ReadPadBitsBody(0x1001), 0);
  EXPECT_EQ(IsInputStarted(), 0);
  in::FaultsForTesting().create_object = false;
  EXPECT_EQ(ReadPadBitsBody(0x1000), 0x10);
  EXPECT_EQ(IsInputStarted(), 1);
}

// A failed pad read pumps; a message dispatched there may stop input (the
// device recovery does). The retry must not touch the released device.
TEST_F(InputTest, PadRetryStopsWhenAPumpStoppedInput) {
  CoreState().kept.message_hook = [](pw::WindowHandle, uint32_t id, uintptr_t, intptr_t) {
    if (id == pw::kMsgUser + 50) StopDirectInput();
  };
  SetPad(0, 0, 1);
  Post(pw::kMsgUser + 50);
  in::FaultsForTesting().pad_reads = 1;
  EXPECT_EQ(ReadPadBitsBody(1), 0);
  EXPECT_EQ(IsInputStarted(), 0);
  EXPECT_EQ(in::OpenDeviceCount(), 0);
  EXPECT_EQ(ReadPadBitsBody(1), 0x10);  // the next read starts input again
}

}  // namespace
