#include "screens/name_entry.h"

#include <cstring>

#include "kesto/kesto.h"
#include "screens/menu_scene.h"
#include "screens/replay.h"
#include "screens/scenes.h"
#include "screens/screen_frame.h"
#include "shell/buttons.h"
#include "shell/draw.h"
#include "shell/game_flags.h"
#include "shell/image_tables.h"
#include "shell/menu.h"
#include "shell/sound_bank.h"

namespace {

constexpr int kFinishFrames = 120;
constexpr char kBlank = '_';
const char* const kGridRowTexts[kNameGridRows] = {
    "A B C D E F G H", "I J K L M N O P", "Q R S T U V W X", "Y Z 0 1 2 3 4 5", "6 7 8 9 , . /  "};

bool IsDrawableNameChar(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return true;
  if (c >= '0' && c <= '9') return true;
  return std::strchr(",./_ !'*?", c) != nullptr && c != '\0';
}

struct NameEntry {
  char name[4];
  int32_t position;  // 0..2, the character the next choice fills
  int32_t column;
  int32_t row;       // 5: END
  int32_t finished;
  int32_t finished_frames;
};


void DrawNameEntry(const NameEntry& e) {
  DrawText("SCORE NAME", 120, 28, 255, 1, 0);
  for (int i = 0; i < 3; ++i) {
    char one[2] = {e.name[i], '\0'};
    DrawText(one, 162 + 12 * i, 60, 255, 1, 0);
  }
  int32_t cursor = SheetCell(kSheetEtc1, kNameCursorCell);
  if (e.finished == 0) {
    if (e.row >= kNameGridRows) {
      DrawMenuHighlight(&g_menu_highlight_pulse, 180, 228);
    } else {
      DrawSprite(96 + 24 * e.column, 108 + 24 * e.row, 1.0, 0.0, cursor, 255);
    }
    DrawSprite(168 + 12 * e.position, 68, 1.0, 0.0, cursor, 255);
  }
  for (int r = 0; r < kNameGridRows; ++r) DrawText(kGridRowTexts[r], 90, 100 + 24 * r, 255, 1, 0);
  DrawText("END", 162, 220, 255, 1, 0);
}

void UpdateNameEntry(NameEntry& e) {
  int index = e.column + kNameGridColumns * e.row;
  if (index < kNameGridEnd) e.column = AdjustMenuValue(e.column, kNameGridColumns - 1, 8, 0);
  e.row = MoveMenuCursor(e.row, kNameGridRows);
  index = e.column + kNameGridColumns * e.row;
  if (index > kNameGridEnd) index = kNameGridEnd;

  if (BombButtonState() == 1 && e.position > 0) {
    e.name[e.position] = kBlank;
    PlaySoundEffect(1);
    --e.position;
  }
  if (ShotButtonState() != 1) return;
  PlaySoundEffect(1);
  if (index < kNameGridEnd) {
    e.name[e.position] = kNameGrid[index];
    if (e.position >= 2) {
      e.column = kNameGridColumns - 1;
      e.row = kNameGridRows;
    } else {
      ++e.position;
    }
    return;
  }
  ReplaceRefusedName(e.name);
  SetReplayName(e.name);
  e.finished = 1;
}

}  // namespace

void CopyNameForDrawing(const char* name, char out[4]) {
  int n = 0;
  if (name != nullptr) {
    for (; n < 3; ++n) {
      unsigned char c = static_cast<unsigned char>(name[n]);
      if (c == '\0' || c == '\n' || c == '\r') break;
      out[n] = IsDrawableNameChar(c) ? static_cast<char>(c) : kBlank;
    }
  }
  out[n] = '\0';
}

void ReplaceRefusedName(char name[4]) {
  if (std::strcmp(name, "___") == 0 || std::strcmp(name, "AAA") == 0 ||
      std::strcmp(name, "SEX") == 0)
    std::memcpy(name, "HLX", 4);
}

int RunNameEntryScene() {
  // A stage-select game with a continue has nothing to record.
  if (g_flags.sel_flag == 1 && g_replay_buffer.header.words[kReplayWordContinues] > 0) {
    g_flags.CurrentScene = kSceneStageSelect;
    return 0;
  }
  HaltMusic();
  NameEntry e{{kBlank, kBlank, kBlank, '\0'}, 0, 0, 0, 0, 0};
  while (PumpFrameMessages() == 0) {
    DrawMenuBackground(100);
    if (e.finished == 0) {
      UpdateNameEntry(e);
    } else if (++e.finished_frames >= kFinishFrames) {
      g_flags.CurrentScene = kSceneReplaySave;
    }
    DrawNameEntry(e);
    if (FinishScreenFrame(kSceneNameEntry, 1) != 0) break;
  }
  HaltMusic();
  return 0;
}
