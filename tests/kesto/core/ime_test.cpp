// The input method driven the way SDL drives it: editing and text-input
// events pushed into SDL's queue reach the main window as composition
// messages, and the window procedure keeps what they say in cp932.
#include "platform/window/ime.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "core/app_log.h"
#include "core/entry_bodies.h"
#include "core/key_input.h"
#include "core/pump.h"
#include "core/text_input.h"
#include "core/tracked_memory.h"
#include "core/window_main.h"
#include "core/window_state.h"
#include "platform/clock.h"
#include "platform/window/message_queue.h"
#include "platform/window/sdl_window.h"
#include "support/scoped_temp_dir.h"

namespace pw = platform::window;

namespace {

// UTF-8 as SDL reports it, and the same in cp932 as the library keeps it.
const char kKanjiUtf8[] = "\xe6\xbc\xa2\xe5\xad\x97";  // two kanji
const char kKanjiCp932[] = "\x8a\xbf\x8e\x9a";
const char kKanaUtf8[] = "\xe3\x81\x8b\xe3\x82\x93\xe3\x81\x98";  // three kana
const char kKanaCp932[] = "\x82\xa9\x82\xf1\x82\xb6";

class ImeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pw::ResetWindowSystemForTesting();
    pw::ResetImeForTesting();
    ResetCoreStateForTesting();
    ResetTextInputForTesting();
    platform::SetClockForTesting(&clock_);
    SetLogFolderPath(dir_.path().c_str());
    InitAppLog();
    ASSERT_TRUE(pw::StartSdlWindows());
    ASSERT_TRUE(pw::RegisterWindowClass(kWindowClassName, MainWindowProc));
    pw::WindowParams p;
    p.client = {0, 0, 640, 480};
    p.style = pw::kStyleCaption;
    window_ = pw::CreateWindow(kWindowClassName, p);
    ASSERT_NE(window_, nullptr);
    sdl_ = static_cast<SDL_Window*>(pw::GetNativeWindow(window_));
    ASSERT_NE(sdl_, nullptr);
    WindowCoreState& s = CoreState();
    s.main_window = window_;
    s.active = 1;
    s.kept.window_mode = 1;
    Pump();
  }
  void TearDown() override {
    EndKeyInputs();
    ResetTextInputForTesting();
    pw::ResetWindowSystemForTesting();
    pw::StopSdlWindows();
    pw::ResetImeForTesting();
    ResetCoreStateForTesting();
    SetLogFolderPath("");
    platform::SetClockForTesting(nullptr);
  }

  static void Pump() {
    for (int i = 0; i < 3; ++i) PumpFrameMessagesBody();
  }

  void PushEditing(const char* utf8, int start, int length) {
    SDL_Event e{};
    e.type = SDL_TEXTEDITING;
    e.edit.windowID = SDL_GetWindowID(sdl_);
    SDL_strlcpy(e.edit.text, utf8, sizeof e.edit.text);
    e.edit.start = start;
    e.edit.length = length;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
  }

  void PushText(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = SDL_GetWindowID(sdl_);
    SDL_strlcpy(e.text.text, utf8, sizeof e.text.text);
    ASSERT_EQ(SDL_PushEvent(&e), 1);
  }

  std::string Log() const {
    std::ifstream in(dir_.file("AppLog.txt"), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  static std::string Line(int h) {
    char buffer[256];
    GetKeyInputString(buffer, sizeof buffer, h);
    return buffer;
  }

  static std::vector<uint32_t> Clauses() {
    const ImeState& ime = TextInput().ime;
    std::vector<uint32_t> out(static_cast<size_t>(ime.clause_count));
    std::memcpy(out.data(), ime.clauses, out.size() * 4);
    return out;
  }

  platform::ManualClock clock_{1000000000ull};
  ScopedTempDir dir_;
  pw::WindowHandle window_ = nullptr;
  SDL_Window* sdl_ = nullptr;
};

TEST_F(ImeTest, ACompositionReachesTheStateInCp932AndItsResultTheLine) {
  const int h = MakeKeyInput(32, 1, 0, 0);
  ASSERT_EQ(ActivateKeyInput(h), 0);
  const uint64_t before = clock_.NowNanoseconds();
  Pump();
  const ImeState& ime = TextInput().ime;
  EXPECT_EQ(ime.enabled, 1);
  EXPECT_EQ(ime.open, 1);  // read after the open-status notice's short pump
  EXPECT_GE(clock_.NowNanoseconds() - before, 2000000u);

  PushEditing(kKanaUtf8, 2, 0);
  Pump();
  EXPECT_EQ(ime.composing, 1);
  EXPECT_STREQ(ime.composition, kKanaCp932);
  EXPECT_EQ(ime.composition_cursor, 2);
  EXPECT_EQ(Clauses(), (std::vector<uint32_t>{0, 6}));
  EXPECT_EQ(TextInput().ime_activity, 1);

  // Converting: the first of the two kanji is the clause being converted.
  PushEditing(kKanjiUtf8, 0, 1);
  Pump();
  EXPECT_STREQ(ime.composition, kKanjiCp932);
  EXPECT_EQ(ime.composition_cursor, 0);
  EXPECT_EQ(Clauses(), (std::vector<uint32_t>{0, 2, 4}));
  EXPECT_EQ(Line(h), "");

  PushText(kKanjiUtf8);
  PushEditing("", 0, 0);
  Pump();
  EXPECT_EQ(ime.composing, 0);
  EXPECT_STREQ(ime.composition, "");
  EXPECT_EQ(Line(h), kKanjiCp932);
  // Typing straight through, with nothing composed, gives characters.
  PushText("ab");
  Pump();
  EXPECT_EQ(Line(h), std::string(kKanjiCp932) + "ab");
}

TEST_F(ImeTest, WithTheInputMethodOffEditingIsIgnoredAndTextComesAsCharacters) {
  PushEditing(kKanaUtf8, 1, 0);
  PushText("\xef\xbd\xb1");  // half-width katakana, one byte in cp932
  Pump();
  EXPECT_EQ(TextInput().ime.composing, 0);
  EXPECT_STREQ(TextInput().ime.composition, "");
  uint8_t c[2];
  EXPECT_EQ(ReadCharCode(c, 1), 1);
  EXPECT_EQ(c[0], 0xB1);
  // A line for numbers keeps the input method off too.
  const int digits = MakeKeyInput(4, 0, 0, 1);
  ActivateKeyInput(digits);
  PushEditing(kKanaUtf8, 1, 0);
  Pump();
  EXPECT_EQ(TextInput().ime.composing, 0);
}

TEST_F(ImeTest, ALongCompositionIsCutBetweenCharactersAndTerminated) {
  ActivateKeyInput(MakeKeyInput(8, 1, 0, 0));
  Pump();
  std::string utf8;
  for (int i = 0; i < 700; ++i) utf8 += "\xe3\x81\x82";  // 1400 bytes in cp932
  SDL_Event e{};
  e.type = SDL_TEXTEDITING_EXT;
  e.editExt.windowID = SDL_GetWindowID(sdl_);
  e.editExt.text = SDL_strdup(utf8.c_str());
  e.editExt.start = 700;
  e.editExt.length = 0;
  if (SDL_PushEvent(&e) != 1) {
    SDL_free(e.editExt.text);
    FAIL() << "the long editing event was refused";
  }
  Pump();
  const ImeState& ime = TextInput().ime;
  EXPECT_EQ(std::strlen(ime.composition), 1022u);
  EXPECT_EQ(ime.composition_cursor, 511);
  EXPECT_EQ(CountChars(ime.composition, kCompositionBytes), 511);
}

TEST_F(ImeTest, CandidateListsAreReplacedFreedAndAnEmptyOneIsLogged) {
  const int h = MakeKeyInput(8, 1, 0, 0);
  ActivateKeyInput(h);
  PushEditing(kKanjiUtf8, 0, 2);
  Pump();
  const int32_t blocks = GetTrackedMemoryState().count;
  pw::SetImeCandidatesForTesting(window_, {kKanjiCp932, kKanaCp932, "abc"}, 1);
  Pump();
  const ImeState& ime = TextInput().ime;
  ASSERT_NE(ime.candidates, nullptr);
  pw::CandidateListHeader head{};
  std::memcpy(&head, ime.candidates, sizeof head);
  EXPECT_EQ(head.count, 3u);
  EXPECT_EQ(head.selection, 1u);
  uint32_t offset = 0;
  std::memcpy(&offset, static_cast<const char*>(ime.candidates) + sizeof head + 4, 4);
  EXPECT_STREQ(static_cast<const char*>(ime.candidates) + offset, kKanaCp932);
  EXPECT_EQ(GetTrackedMemoryState().count, blocks + 1);
  // A changed list replaces the old block instead of adding one.
  pw::SetImeCandidatesForTesting(window_, {"x", "y"}, 0);
  Pump();
  EXPECT_EQ(GetTrackedMemoryState().count, blocks + 1);
  pw::SetImeCandidatesForTesting(window_, {}, 0);
  Pump();
  EXPECT_EQ(ime.candidates, nullptr);
  EXPECT_EQ(GetTrackedMemoryState().count, blocks);
  // A change with nothing to read leaves no list behind.
  pw::SetImeCandidatesForTesting(window_, {"z"}, 0);
  Pump();
  pw::PostMessage(window_, pw::kMsgImeNotify, pw::kImnChangeCandidate, 0);
  pw::ResetImeForTesting();
  pw::AssociateIme(window_, true);
  Pump();
  EXPECT_EQ(ime.candidates, nullptr);
  EXPECT_NE(Log().find("漢字変換候補のデータサイズが０でした"), std::string::npos);
  // Switching the input method off drops the composition and the list.
  pw::SetImeCandidatesForTesting(window_, {"z"}, 0);
  PushEditing(kKanaUtf8, 1, 0);
  Pump();
  EXPECT_EQ(ime.composing, 1);
  ASSERT_NE(ime.candidates, nullptr);
  DeleteKeyInput(h);
  Pump();
  EXPECT_EQ(ime.enabled, 0);
  EXPECT_EQ(ime.open, 0);
  EXPECT_EQ(ime.composing, 0);
  EXPECT_EQ(ime.candidates, nullptr);
  EXPECT_FALSE(pw::IsImeAssociated(window_));
}

}  // namespace
