#include "shell/menu.h"

#include <cstdlib>

#include "kesto/kesto.h"
#include "screens/overlays.h"
#include "shell/buttons.h"
#include "shell/draw.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"
#include "shell/image_tables.h"
#include "shell/sound_bank.h"

MenuRepeatDelay g_menu_repeat{};

namespace {
constexpr int kKeyEscape = 1;
constexpr int kKeySpace = 57;
constexpr int kCursorRepeat = 8;
}  // namespace

int DrawMenuBackground(int alpha) {
  DrawSprite(180, 240, 1.0, 0.0, SheetCell(kSheetTitleBack, 0), alpha);
  DrawSprite(180, 120, 1.0, 0.0, SheetCell(kSheetTitleLogo, 0), alpha);
  return 0;
}

int DrawWallOverlay() {
  DrawSprite(180, 240, 1.0, 0.0, SheetCell(kSheetWall, 0), 255);
  return 0;
}

int DrawMenuHighlight(int32_t* counter, double x, double y) {
  int alpha = TruncToInt(SinDeg(*counter * 4.0) * 55.0 + 200.0);
  DrawSprite(x, y, 1.0, 0.0, SheetCell(kSheetCursor1, 0), alpha);
  *counter = static_cast<int32_t>(static_cast<uint32_t>(*counter) + 1u);
  return 0;
}

int MoveMenuCursor(int cursor_in, int max) {
  // Wide enough that a value read unchecked from a file cannot overflow.
  int64_t cursor = cursor_in;
  if (g_menu_repeat.cursor == 0) {
    if (UpButtonState() > 1) {
      PlaySoundEffect(0);
      g_menu_repeat.cursor = kCursorRepeat;
      --cursor;
    }
    if (DownButtonState() > 1) {
      PlaySoundEffect(0);
      g_menu_repeat.cursor = kCursorRepeat;
      ++cursor;
    }
  }
  // Counted down in the same call that set it: a held button repeats every
  // 8 calls.
  if (g_menu_repeat.cursor > 0) {
    --g_menu_repeat.cursor;
  }
  if (cursor < 0) cursor = max;
  if (cursor > max) cursor = 0;
  return static_cast<int>(cursor);
}

int AdjustMenuValue(int value_in, int max, int repeat_delay, int clamp) {
  int64_t value = value_in;
  if (g_menu_repeat.value == 0) {
    if (LeftButtonState() > 1) {
      PlaySoundEffect(0);
      g_menu_repeat.value = repeat_delay;
      --value;
    }
    if (RightButtonState() > 1) {
      PlaySoundEffect(0);
      g_menu_repeat.value = repeat_delay;
      ++value;
    }
  }
  if (g_menu_repeat.value > 0) {
    --g_menu_repeat.value;
  }
  if (clamp != 0) {
    if (value < 0) value = 0;
    if (value > max) value = max;
  } else {
    if (value < 0) value = max;
    if (value > max) value = 0;
  }
  return static_cast<int>(value);
}

int SkipBlankAndComments(std::FILE* file) {
  for (;;) {
    // CR is white space too: files written on Windows keep it on Linux.
    std::fscanf(file, "%*[ \t\r\n]");
    char mark[2];
    int r = std::fscanf(file, "%1[#]", mark);
    if (r != 1) return r;
    std::fscanf(file, "%*[^\n]");
  }
}

int SignOf(int n) { return n < 1 ? -1 : 1; }

int HandleSystemKeys() {
  if (IsKeyHeld(kKeyEscape) == 1) std::exit(1);
  if (IsKeyHeld(kKeySpace) == 1) g_flags.CurrentScene = kSceneBoot;
  if (g_flags.DemoMode == 1 && ShotButtonState() > 0) g_flags.CurrentScene = kSceneBoot;
  return 0;
}

int ResetContinueScreen() {
  g_continue_screen = ContinueScreenState{};
  return 0;
}
