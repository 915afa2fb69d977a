#include "core/keyboard_table.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "core/entry_bodies.h"
#include "core/input.h"
#include "platform/input/input_devices.h"
#include "window_fixture.h"

namespace in = platform::input;

namespace {

class NoKeyboardDeviceTest : public CoreWindowFixture {
 protected:
  void SetUp() override {
    CoreWindowFixture::SetUp();
    SetNoKeyboardDevice(1);
    ASSERT_EQ(StartDirectInput(), 0);
  }
  void TearDown() override {
    StopDirectInput();
    SetNoKeyboardDevice(0);
    CoreWindowFixture::TearDown();
  }
  // The key codes reported held.
  static std::set<int> Held() {
    std::set<int> held;
    for (int k = 0; k < 256; ++k) {
      if (IsKeyHeldBody(k)) held.insert(k);
    }
    return held;
  }
};

TEST(KeyboardTableTest, NinetyNineDistinctPairsAndOneKeyCodeEach) {
  std::set<std::pair<int, int>> pairs;
  std::set<int> codes;
  for (const VirtualKeyPair& p : kVirtualKeyToKeyCode) {
    EXPECT_TRUE(pairs.insert({p.virtual_key, p.key_code}).second) << int{p.virtual_key};
    EXPECT_TRUE(codes.insert(p.key_code).second) << int{p.key_code};
    EXPECT_NE(p.virtual_key, 0);
  }
  EXPECT_EQ(pairs.size(), 99u);
}

TEST_F(NoKeyboardDeviceTest, EveryKeyOfTheTableReadsBackThroughItsVirtualKey) {
  for (const VirtualKeyPair& p : kVirtualKeyToKeyCode) {
    in::SetKeyDown(p.key_code, true);
    std::set<int> expected{p.key_code};
    // One virtual key stands for both Enter keys.
    if (p.virtual_key == 0x0D) expected = {0x1C, 0x9C};
    EXPECT_EQ(Held(), expected) << "key code " << int{p.key_code};
    in::SetKeyDown(p.key_code, false);
  }
  EXPECT_TRUE(Held().empty());
  // The pad word reads the same table.
  in::SetKeyDown(0x2C, true);  // Z
  in::SetKeyDown(0xC8, true);  // Up
  EXPECT_EQ(ReadPadBitsBody(0x1000), 0x10 | 0x8);
}

}  // namespace
