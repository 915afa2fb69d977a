#include "screens/name_entry.h"

#include <cstring>
#include <string>

#include "result_scenes_fixture.h"
#include "screens/scenes.h"

namespace {

using namespace result_scenes;

// Builds the key presses that pick characters on the grid, moving only right
// and down (both wrap) and keeping track of where the cursor is.
struct NameTyping {
  std::vector<uint32_t> script;
  int column = 0, row = 0, position = 0;

  NameTyping& Type(char c) {
    int index = static_cast<int>(std::strchr(kNameGrid, c) - kNameGrid);
    MoveTo(index % kNameGridColumns, index / kNameGridColumns);
    Tap(script, kShot);
    if (position == 2) {
      column = kNameGridColumns - 1;
      row = kNameGridRows;
    } else {
      ++position;
    }
    return *this;
  }
  NameTyping& Back() {
    Tap(script, kBomb);
    if (position > 0) --position;
    return *this;
  }
  NameTyping& End() {
    while (row != kNameGridRows) Down();
    Tap(script, kShot);
    return *this;
  }
  void MoveTo(int c, int r) {
    while (row != r) Down();
    while (column != c) {
      Step(script, kRight);
      column = (column + 1) % kNameGridColumns;
    }
  }
  void Down() {
    Step(script, kDown);
    row = (row + 1) % (kNameGridRows + 1);
  }
};

class NameEntryTest : public ResultScenesTest {};

TEST_F(NameEntryTest, KeysGiveTheStoredNameAndTheReplaySaveAfter120Frames) {
  struct Case {
    const char* label;
    NameTyping typing;
    const char* stored;
  };
  std::vector<Case> cases = {
      {"three letters", NameTyping{}.Type('A').Type('B').Type('C').End(), "ABC"},
      {"digits and marks", NameTyping{}.Type('7').Type(',').Type('/').End(), "7,/"},
      {"refused AAA", NameTyping{}.Type('A').Type('A').Type('A').End(), "HLX"},
      {"refused SEX", NameTyping{}.Type('S').Type('E').Type('X').End(), "HLX"},
      {"nothing entered", NameTyping{}.End(), "HLX"},
      {"one letter", NameTyping{}.Type('Q').End(), "Q__"},
      {"bomb at the first position does nothing", NameTyping{}.Back().Type('X').Type('Y').Type('Z').End(),
       "XYZ"},
      // Back from the third position blanks it and the next letter replaces
      // the second one.
      {"bomb after two letters", NameTyping{}.Type('A').Type('B').Back().Type('C').Type('D').End(),
       "ACD"},
      {"bomb on END after three letters", NameTyping{}.Type('A').Type('B').Type('C').Back().End(),
       "AB_"},
  };
  for (Case& k : cases) {
    SCOPED_TRACE(k.label);
    ResetState();
    g_flags.CurrentScene = kSceneNameEntry;
    int end_press = static_cast<int>(k.typing.script.size()) - 1;  // the shot on END
    Script(k.typing.script, end_press + 400);
    RunNameEntryScene();
    EXPECT_STREQ(g_replay_buffer.name, k.stored);
    EXPECT_EQ(g_flags.CurrentScene, kSceneReplaySave);
    EXPECT_EQ(FramesRun(), end_press + 120);
  }
}

TEST_F(NameEntryTest, StageSelectGameWithAContinueGoesStraightBackToStageSelect) {
  struct Case {
    int sel_flag, continues, scene_after;
  };
  for (Case k : {Case{1, 1, kSceneStageSelect}, Case{1, 0, kSceneReplaySave},
                 Case{0, 2, kSceneReplaySave}}) {
    SCOPED_TRACE(testing::Message() << k.sel_flag << "/" << k.continues);
    ResetState();
    g_flags.CurrentScene = kSceneNameEntry;
    g_flags.sel_flag = k.sel_flag;
    g_replay_buffer.header.words[kReplayWordContinues] = k.continues;
    std::memcpy(g_replay_buffer.name, "OLD", 4);
    Script(NameTyping{}.End().script, 400);
    RunNameEntryScene();
    EXPECT_EQ(g_flags.CurrentScene, k.scene_after);
    if (k.scene_after == kSceneStageSelect) {
      EXPECT_EQ(fake().pumps, 0);
      EXPECT_STREQ(g_replay_buffer.name, "OLD");
    }
  }
}

TEST_F(NameEntryTest, TheGridShowsTheNameBeingEntered) {
  Script(NameTyping{}.Type('H').Type('I').script, 200);
  g_flags.CurrentScene = kSceneNameEntry;
  RunNameEntryScene();
  EXPECT_TRUE(Drew("SCORE NAME"));
  EXPECT_TRUE(Drew("A B C D E F G H"));
  EXPECT_TRUE(Drew("6 7 8 9 , . /"));
  EXPECT_TRUE(Drew("END"));
  EXPECT_TRUE(Drew("HI"));
}

// Names read from files may hold bytes the font lacks; they are drawn as gaps
// rather than looked up.
TEST(NameForDrawingTest, KeepsTheFontsCharactersAndBlanksTheRest) {
  struct Case {
    const char* name;
    const char* drawn;
  };
  const Case cases[] = {
      {"ABC", "ABC"}, {"a?c", "_?_"}, {"AB\n", "AB"}, {"", ""},  {"Z9/", "Z9/"},
      {"\xff\x80~", "___"}, {"ABCDEF", "ABC"}, {"A\rB", "A"},
  };
  for (const Case& k : cases) {
    char out[4];
    CopyNameForDrawing(k.name, out);
    EXPECT_STREQ(out, k.drawn) << k.name;
  }
  char out[4];
  CopyNameForDrawing(nullptr, out);
  EXPECT_STREQ(out, "");
}

}  // namespace
