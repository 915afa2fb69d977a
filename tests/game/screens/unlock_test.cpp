#include "screens/save_data.h"
#include "text_file_fixture.h"

namespace {

using UnlockTest = SavedFileTest;

TEST_F(UnlockTest, EachFileAnswersOnlyToItsOwnCode) {
  struct Case {
    const char* content;  // the same in both files; nullptr: no files
    int preset;           // both flags before loading
    int fighter;
    int stage;
  } cases[] = {
      {"417093\n", 0, 1, 0},
      {"862540\n", 0, 0, 1},
      {"  862540\r\n", 0, 0, 1},
      {"417093 5", 0, 1, 0},
      {"417094", 1, 0, 0},
      {"abc", 1, 0, 0},
      {"", 1, 0, 0},
      {nullptr, 1, 1, 1},  // missing files leave the flags as they are
      {nullptr, 0, 0, 0},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all("file");
    if (c.content != nullptr) {
      Put("file/secret_char.txt", c.content);
      Put("file/secret_stage.txt", c.content);
    }
    g_save_data.FighterUnlockFlag = c.preset;
    g_save_data.StageUnlockFlag = c.preset;
    EXPECT_EQ(LoadSecretChar(), 0);
    EXPECT_EQ(LoadSecretStage(), 0);
    const char* label = c.content ? c.content : "(missing)";
    EXPECT_EQ(g_save_data.FighterUnlockFlag, c.fighter) << label;
    EXPECT_EQ(g_save_data.StageUnlockFlag, c.stage) << label;
  }
}

}  // namespace
