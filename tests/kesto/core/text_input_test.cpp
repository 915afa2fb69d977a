#include "core/text_input.h"

#include <gtest/gtest.h>

namespace {

class CharBufferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCharCodeSet(1);
    InitCharCodeBuffer();
  }
};

TEST_F(CharBufferTest, HoldsTenTwentyFourBytesAndRefusesTheNext) {
  for (int round = 0; round < 2; ++round) {  // the second round wraps the ring
    for (int i = 0; i < 1024; ++i) ASSERT_EQ(StoreCharCode('a' + i % 26), 0) << i;
    EXPECT_EQ(StoreCharCode('x'), -1);
    EXPECT_EQ(HasCharCodeRoom(), 0);
    uint8_t c[2];
    for (int i = 0; i < 1024; ++i) {
      ASSERT_EQ(ReadCharCode(c, 1), 1);
      ASSERT_EQ(c[0], 'a' + i % 26);
    }
    EXPECT_EQ(ReadCharCode(c, 1), 0);
    StoreCharCode('q');  // shifts the ring's start for the next round
    ReadCharCode(c, 1);
  }
}

TEST_F(CharBufferTest, ADoubleByteCharacterIsTakenOnlyWhole) {
  uint8_t c[2];
  StoreCharCode(0x83);  // lead byte of a cp932 character
  EXPECT_EQ(ReadCharCode(c, 1), 0);
  EXPECT_EQ(c[0], 0);
  StoreCharCode(0x5C);
  EXPECT_EQ(ReadCharCode(c, 0), 2);  // a peek leaves it
  EXPECT_EQ(ReadCharCode(c, 1), 2);
  EXPECT_EQ(c[0], 0x83);
  EXPECT_EQ(c[1], 0x5C);
  // Half-width katakana (0xA1-0xDF) is a single byte in cp932.
  StoreCharCode(0xB1);
  EXPECT_EQ(ReadCharCode(c, 1), 1);
  // Under code page 949 every byte from 0x81 leads.
  SetCharCodeSet(2);
  StoreCharCode(0xB1);
  StoreCharCode(0xA1);
  EXPECT_EQ(ReadCharCode(c, 1), 2);
}

TEST_F(CharBufferTest, EditingKeysMapToControlCodes) {
  struct Case {
    uint32_t vk;
    uint8_t code;
  };
  const Case cases[] = {{0x2E, 0x10}, {0x25, 0x1D}, {0x27, 0x1C}, {0x26, 0x1E}, {0x28, 0x1F},
                        {0x41, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(ControlCodeForVirtualKey(c.vk), c.code) << c.vk;
    if (c.code) {
      EXPECT_EQ(IsControlCode(c.code), 1);
    }
  }
  EXPECT_EQ(IsControlCode('a'), 0);
}

}  // namespace
