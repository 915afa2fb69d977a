#include "screens/result_panel.h"

#include <cstdio>

#include "screens/name_entry.h"
#include "shell/draw.h"

namespace {

const char* const kModeNames[4] = {"HEAVEN", "ORIGINAL", "HELL", "ACCEL"};
const int kPanelModeX[4] = {244, 232, 256, 250};
const char* const kFighterNames[5] = {"SOLM", "HOPE", "PEACE", "EDEN", "EDEN"};
const int kFighterIcons[5] = {0, 1, 4, 5, 7};  // char1, char2, char3, char4, char5
const char* const kRankSuffixes[5] = {" ST", " ND", " RD", " TH", " TH"};

int DigitCount(int value) {
  char text[16];
  return std::snprintf(text, sizeof text, "%d", value);
}

}  // namespace

const char* ModeName(int mode) { return mode >= 0 && mode <= 3 ? kModeNames[mode] : ""; }

const char* FighterName(int fighter) {
  return fighter >= 0 && fighter <= 4 ? kFighterNames[fighter] : "";
}

int FighterIconForRecord(int fighter) {
  return fighter >= 0 && fighter <= 4 ? kFighterIcons[fighter] : -1;
}

void StageSelectStageText(int stage, char* out, size_t size) {
  if (size == 0) return;
  out[0] = '\0';
  if (stage >= 1 && stage <= 5) {
    std::snprintf(out, size, "ST%d", stage);
  } else if (stage >= 16 && stage <= 20) {
    std::snprintf(out, size, "BB%d", stage - 15);
  } else if (stage == 6) {
    std::snprintf(out, size, "ALL");
  } else if (stage == 7) {
    std::snprintf(out, size, "ALL!");
  } else if (stage == 21) {
    std::snprintf(out, size, "???");
  }
}

int DrawResultPanel(const ReplayBuffer& buffer, int rank) {
  const int32_t* w = buffer.header.words;
  bool arcade = w[kReplayWordStageSelect] == 0;
  DrawText("RESULT", 144, 20, 255, 1, 0);
  DrawText("NAME", 20, 64, 255, 1, 0);
  DrawText("SCORE", 20, 88, 255, 1, 0);
  DrawText("MODE", 20, 112, 255, 1, 0);
  DrawText("STAGE", 20, 136, 255, 1, 0);
  if (arcade) DrawText("RANK ", 20, 160, 255, 1, 0);

  char text[24];
  CopyNameForDrawing(buffer.name, text);
  DrawText(text, 262, 64, 255, 1, 0);
  int score = w[kReplayWordScore];
  std::snprintf(text, sizeof text, "%d", score);
  DrawText(text, 280 - 6 * DigitCount(score), 88, 255, 1, 0);
  int mode = w[kReplayWordMode];
  if (mode >= 0 && mode <= 3) DrawText(kModeNames[mode], kPanelModeX[mode], 112, 255, 1, 0);

  int stage = w[kReplayWordStage];
  if (arcade && stage >= 0 && stage < 6) {
    std::snprintf(text, sizeof text, "%d", stage);
    DrawText(text, 274, 136, 255, 1, 0);
  } else if (arcade) {
    DrawText(stage == 6 ? "ALL" : stage == 7 ? "ALL!" : "", 262, 136, 255, 1, 0);
  } else {
    StageSelectStageText(stage, text, sizeof text);
    DrawText(text, 262, 136, 255, 1, 0);
  }

  if (arcade) {
    if (rank >= 1 && rank <= 5) {
      std::snprintf(text, sizeof text, "%d%s", rank, kRankSuffixes[rank - 1]);
      DrawText(text, 256, 160, 255, 1, 0);
    } else {
      DrawText("OUT OF RANK", 214, 160, 255, 1, 0);
    }
  }
  return 0;
}
