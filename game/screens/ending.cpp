#include "screens/ending.h"

#include <algorithm>

#include "kesto/kesto.h"
#include "screens/replay.h"
#include "screens/scenes.h"
#include "screens/screen_frame.h"
#include "shell/buttons.h"
#include "shell/draw.h"
#include "shell/game_flags.h"
#include "shell/image_tables.h"
#include "shell/sound_bank.h"

namespace {

constexpr int kEndingMusic = 11;
constexpr int kFirstWait = 120;      // the roll cannot be skipped before this
constexpr int kLongestRoll = 1500;
constexpr int kTextHold = 240;
constexpr int kLastWait = 30;
constexpr int kTextStep = 3;

void Next(EndingState& s, int state) {
  s.state = state;
  s.counter = 0;
}

}  // namespace

EndingState StartEnding() {
  PlayBgm(kEndingMusic);
  EndingState s{};
  s.background_alpha = 155;
  s.roll_alpha = 255;
  return s;
}

void UpdateEnding(EndingState& s, int shot) {
  switch (s.state) {
    case 0:
      if (++s.counter >= kFirstWait) Next(s, 1);
      break;
    case 1:
      if (shot == 1 || ++s.counter >= kLongestRoll) Next(s, 2);
      break;
    case 2:
      s.background_alpha = std::max(0, s.background_alpha - 1);
      s.roll_alpha = std::max(0, s.roll_alpha - 1);
      if (s.background_alpha == 0 && s.roll_alpha == 0) Next(s, 3);
      break;
    case 3:
      s.text_alpha = std::min(255, s.text_alpha + kTextStep);
      if (s.text_alpha == 255) Next(s, 4);
      break;
    case 4:
      if (++s.counter >= kTextHold) Next(s, 5);
      break;
    case 5:
      s.text_alpha = std::max(0, s.text_alpha - kTextStep);
      if (s.text_alpha == 0) Next(s, 6);
      break;
    case 6:
      if (++s.counter >= kLastWait) Next(s, 7);
      break;
    default:
      g_flags.CurrentScene = kSceneGameOver;
      break;
  }
  ++s.scroll;
}

void DrawEnding(const EndingState& s) {
  DrawSprite(180, 240, 1.0, 0.0, SheetCell(kSheetEndBack, 0), s.background_alpha);
  DrawSprite(180, 1200 - s.scroll, 1.0, 0.0, SheetCell(kSheetRoll, 0), s.roll_alpha);
  const int32_t* header = g_replay_buffer.header.words;
  if (header[kReplayWordMode] != 0) {
    // The portrait shows through the texts, fainter.
    const int32_t alpha = std::max(0, s.text_alpha - 100);
    static const SheetLayout* const kPortraits[] = {&kSheetCharB1, &kSheetCharB2, &kSheetCharB3, &kSheetCharB4};
    const int32_t fighter = header[kReplayWordFighter];
    if (fighter >= 0 && fighter < 4) {
      DrawSpriteQuad(320, 240, 360, 480, SheetCell(*kPortraits[fighter], 0), alpha, 1.0, 1.0);
    } else if (fighter == 4) {
      DrawSpriteQuad(320, 260, 240, 400, SheetCell(kSheetCharB4_2, 0), alpha, 1.0, 1.0);
    }
  }
  DrawText("CONGRATULATIONS!", 84, 100, s.text_alpha, 1, 0);
  if (g_flags.StageNumber == 7) {
    DrawText("YOU ARE GREAT PLAYER!", 54, 148, s.text_alpha, 1, 0);
  } else {
    DrawText("THANK YOU FOR PLAYING.", 48, 148, s.text_alpha, 1, 0);
  }
  DrawText("PRESENTED BY ORNEK", 140, 212, s.text_alpha, 1, 0);
}

int RunEndingScene() {
  EndingState s = StartEnding();
  while (PumpFrameMessages() == 0) {
    // Read once a frame so that a press is seen in whichever state comes.
    const int shot = ShotButtonState();
    UpdateEnding(s, shot);
    DrawEnding(s);
    if (FinishScreenFrame(kSceneEnding, 0) != 0) break;
  }
  return 0;
}
