#include "core/key_input.h"

#include <gtest/gtest.h>

#include <string>

#include "core/entry_bodies.h"
#include "core/resource_handle.h"
#include "core/text_input.h"
#include "core/tracked_memory.h"
#include "platform/window/ime.h"
#include "window_fixture.h"

namespace {

class KeyInputTest : public CoreWindowFixture {
 protected:
  void SetUp() override {
    CoreWindowFixture::SetUp();
    pw::ResetImeForTesting();
    ResetTextInputForTesting();
  }
  void TearDown() override {
    EndKeyInputs();
    ResetTextInputForTesting();
    CoreWindowFixture::TearDown();
  }

  static std::string Text(int h) {
    char buffer[256];
    GetKeyInputString(buffer, sizeof buffer, h);
    return buffer;
  }

  static void Type(const std::string& bytes) {
    for (char c : bytes) StoreCharCode(static_cast<uint8_t>(c));
  }
};

// Editing keys as the window procedure stores them.
const std::string kBack = "\x08", kTab = "\x09", kEnter = "\x0d", kEscape = "\x1b";
const std::string kDelete = "\x10", kLeft = "\x1d", kRight = "\x1c", kUp = "\x1e", kDown = "\x1f";
// cp932: A (82 A0), I (82 A2), SO (83 5C, a trail byte that is a backslash).
const std::string kA = "\x82\xa0", kI = "\x82\xa2", kSo = "\x83\x5c";

TEST_F(KeyInputTest, EditingTable) {
  struct Case {
    const char* what;
    int max_length;
    int numbers_only;
    int single_byte_only;
    std::string start;
    int cursor;
    std::string typed;
    std::string text;
    int cursor_after;
  };
  const Case cases[] = {
      {"insert at the end", 10, 0, 0, "", 0, "abc", "abc", 3},
      {"insert in the middle", 10, 0, 0, "abc", 3, kLeft + kLeft + "X", "aXbc", 2},
      {"left stops at 0", 10, 0, 0, "ab", 1, kLeft + kLeft + kLeft + "X", "Xab", 1},
      {"right stops at the end", 10, 0, 0, "ab", 1, kRight + kRight + kRight + "X", "abX", 3},
      {"backspace at 0 does nothing", 10, 0, 0, "ab", 0, kBack, "ab", 0},
      {"delete at the end does nothing", 10, 0, 0, "ab", 2, kDelete, "ab", 2},
      {"backspace takes a two-byte character whole", 10, 0, 0, "a" + kA + "b", 3, kBack, "ab", 1},
      {"delete takes a two-byte character whole", 10, 0, 0, "a" + kSo + "b", 1, kDelete, "ab", 1},
      {"cursor moves over a two-byte character", 10, 0, 0, kA + kSo, 0,
       kRight + "x" + kRight + kLeft + kLeft, kA + "x" + kSo, 2},
      {"tab, up and down change nothing", 10, 0, 0, "ab", 1, kTab + kUp + kDown, "ab", 1},
      {"other control characters are not text", 10, 0, 0, "", 0, "\x01q\x7f", "q\x7f", 2},
      {"full: the last character makes room", 4, 0, 0, "abcd", 4, "e", "abce", 4},
      {"full with the cursor inside", 4, 0, 0, "abcd", 1, "X", "aXbc", 2},
      {"full: a two-byte character takes two", 3, 0, 0, "ab", 2, kI, "a" + kI, 3},
      {"full: two-byte characters leave whole", 4, 0, 0, kA + kI, 4, "z", kA + "z", 3},
      {"a character larger than the line is dropped", 1, 0, 0, "x", 1, kA, "x", 1},
      {"nothing fits a line of 0", 0, 0, 0, "", 0, "ab" + kA, "", 0},
      {"numbers: digits, a minus only first", 10, 1, 0, "", 0, "-1-2a" + kA + "3", "-123", 4},
      {"numbers: a minus at the cursor's start", 10, 1, 0, "5", 0, "-", "-5", 1},
      {"numbers: never two minus signs", 10, 1, 0, "-5", 0, "-", "-5", 0},
      {"single bytes only", 10, 0, 1, "", 0, "a" + kA + "b", "ab", 2},
      {"a half-width katakana byte is one character", 10, 0, 1, "", 0, "\xb1\xb2", "\xb1\xb2", 2},
  };
  for (const Case& c : cases) {
    const int h = MakeKeyInput(c.max_length, 1, c.single_byte_only, c.numbers_only);
    ASSERT_GE(h, 0) << c.what;
    ASSERT_EQ(SetKeyInputString(c.start.c_str(), h), 0) << c.what;
    ASSERT_EQ(SetKeyInputCursor(c.cursor, h), 0) << c.what;
    ASSERT_EQ(ActivateKeyInput(h), 0) << c.what;
    Type(c.typed);
    EXPECT_EQ(KeyInputStep(), 0) << c.what;
    EXPECT_EQ(Text(h), c.text) << c.what;
    EXPECT_EQ(GetKeyInputCursor(h), c.cursor_after) << c.what;
    EXPECT_EQ(CheckKeyInput(h), 0) << c.what;
    EXPECT_EQ(DeleteKeyInput(h), 0);
  }
}

TEST_F(KeyInputTest, ReturnEndsEscapeCancelsWhereAllowed) {
  const int h = MakeKeyInput(10, 0, 0, 0);
  ActivateKeyInput(h);
  Type("ab" + kEscape + "c" + kEnter + "d");
  KeyInputStep();
  EXPECT_EQ(Text(h), "abc");  // Escape is not allowed to cancel this one
  EXPECT_EQ(CheckKeyInput(h), 1);
  // What follows the end stays for the next line.
  uint8_t next[2];
  EXPECT_EQ(ReadCharCode(next, 0), 1);
  EXPECT_EQ(next[0], 'd');
  Type("e");
  KeyInputStep();
  EXPECT_EQ(Text(h), "abc");

  const int c = MakeKeyInput(10, 1, 0, 0);
  ActivateKeyInput(c);  // drops the "de" typed before
  Type("xy" + kEscape + "z");
  KeyInputStep();
  EXPECT_EQ(CheckKeyInput(c), 2);
  EXPECT_EQ(Text(c), "xy");
  EXPECT_EQ(ReopenKeyInput(c), 0);
  KeyInputStep();
  EXPECT_EQ(Text(c), "xyz");
}

TEST_F(KeyInputTest, HandlesAreCheckedAndTheTableHoldsTwenty) {
  int handles[kMaxKeyInputs];
  for (int& h : handles) {
    h = MakeKeyInput(8, 0, 0, 0);
    ASSERT_GE(h, 0);
    EXPECT_EQ(HandleKindOf(h), handle_kind::kKeyInput);
  }
  EXPECT_EQ(MakeKeyInput(8, 0, 0, 0), -1);
  ActivateKeyInput(handles[3]);
  EXPECT_EQ(DeleteKeyInput(handles[3]), 0);
  EXPECT_EQ(GetActiveKeyInput(), -1);
  EXPECT_EQ(DeleteKeyInput(handles[3]), -1);
  const int reused = MakeKeyInput(8, 0, 0, 0);
  EXPECT_EQ(HandleSlotOf(reused), HandleSlotOf(handles[3]));
  for (int bad : {handles[3], -1, MakeResourceHandle(handle_kind::kKeyInput, 0, 20),
                  MakeResourceHandle(handle_kind::kFont, HandleCounterOf(reused), 3)}) {
    EXPECT_EQ(CheckKeyInput(bad), -1) << bad;
    EXPECT_EQ(SetKeyInputString("x", bad), -1) << bad;
    if (bad != -1) {  // -1 makes none active
      EXPECT_EQ(ActivateKeyInput(bad), -1) << bad;
    }
  }
  // A stale active handle fails the step.
  ActivateKeyInput(reused);
  TextInput().active_slot = handles[3];
  EXPECT_EQ(KeyInputStep(), -1);
  const int32_t blocks = GetTrackedMemoryState().count;
  EXPECT_EQ(EndKeyInputs(), 0);
  EXPECT_EQ(GetTrackedMemoryState().count, blocks - kMaxKeyInputs);
  EXPECT_EQ(GetActiveKeyInput(), -1);
}

TEST_F(KeyInputTest, KeysPostedToTheWindowEditTheActiveLineThroughThePump) {
  const int h = MakeKeyInput(16, 1, 0, 0);
  ActivateKeyInput(h);
  for (char c : std::string("helo")) Post(pw::kMsgChar, static_cast<uint8_t>(c));
  Post(pw::kMsgKeyDown, pw::kVkLeft);
  Post(pw::kMsgChar, 'l');
  EXPECT_EQ(PumpFrameMessagesBody(), 0);
  EXPECT_EQ(PumpFrameMessagesBody(), 0);
  EXPECT_EQ(Text(h), "hello");
  Post(pw::kMsgKeyDown, pw::kVkReturn);  // translated into the character 13
  PumpFrameMessagesBody();
  PumpFrameMessagesBody();
  EXPECT_EQ(CheckKeyInput(h), 1);
  // The input method follows the line: on for this one, off without lines.
  EXPECT_EQ(TextInput().ime.enabled, 1);
  DeleteKeyInput(h);
  EXPECT_EQ(TextInput().ime.enabled, 0);
  const int digits = MakeKeyInput(4, 0, 0, 1);
  ActivateKeyInput(digits);
  EXPECT_EQ(TextInput().ime.enabled, 0);
}

TEST_F(KeyInputTest, SettingATextCutsAtTheLimitBetweenCharacters) {
  const int h = MakeKeyInput(5, 0, 0, 0);
  EXPECT_EQ(SetKeyInputString(("ab" + kA + kI).c_str(), h), 0);
  EXPECT_EQ(Text(h), "ab" + kA);
  EXPECT_EQ(GetKeyInputCursor(h), 4);
  EXPECT_EQ(SetKeyInputCursor(3, h), 0);  // inside the two-byte character
  EXPECT_EQ(GetKeyInputCursor(h), 2);
  char small[3];
  EXPECT_EQ(GetKeyInputString(small, sizeof small, h), 4);
  EXPECT_STREQ(small, "ab");
}

}  // namespace
