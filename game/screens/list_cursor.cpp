#include "screens/list_cursor.h"

#include <algorithm>

#include "shell/buttons.h"
#include "shell/sound_bank.h"

namespace {

constexpr int kMoveRepeat = 8;
constexpr int kPageStep = kReplayListRows;

// Moves keep the cursor in step with the rows on screen: the index wraps
// over the 100 entries, the first row follows it only as far as needed to
// keep it visible, and the row is derived from both. Keeping `row` and `top`
// apart from `index` let the highlight name one slot while a shot chose
// another.
void Settle(ReplayListCursor& c) {
  const int entries = kReplayListReturn + 1;
  c.index = ((c.index % entries) + entries) % entries;
  int lowest_top = std::max(0, c.index - (kReplayListRows - 1));
  int highest_top = std::min(c.index, kReplayListMaxTop);
  c.top = std::clamp(c.top, lowest_top, highest_top);
  c.row = c.index - c.top;
}

}  // namespace

int ApplyReplayListMove(ReplayListCursor& c, ReplayListMove move) {
  // A cursor restored from saved flags may hold anything: bring it in range
  // before moving, so the arithmetic below cannot overflow.
  c.index = std::clamp(c.index, 0, kReplayListReturn);
  c.top = std::clamp(c.top, 0, kReplayListMaxTop);
  int sound = 1;
  switch (move) {
    case ReplayListMove::kNone:
      sound = 0;
      break;
    case ReplayListMove::kUp:
      c.index -= 1;
      break;
    case ReplayListMove::kDown:
      c.index += 1;
      break;
    case ReplayListMove::kRight:
      // A page forward stops at RETURN rather than wrapping.
      c.index = std::min(c.index + kPageStep, kReplayListReturn);
      c.top += kPageStep;
      break;
    case ReplayListMove::kLeft:
      c.index = std::max(c.index - kPageStep, 0);
      c.top -= kPageStep;
      break;
    case ReplayListMove::kJumpToReturn:
      if (c.index == kReplayListReturn) sound = 0;
      c.index = kReplayListReturn;
      c.top = kReplayListMaxTop;
      break;
  }
  Settle(c);
  return sound;
}

int MoveReplayListCursor(ReplayListCursor& c) {
  if (c.repeat_lock < 0) c.repeat_lock = 0;
  if (c.repeat_lock == 0) {
    int up = UpButtonState();
    int down = DownButtonState();
    int right = RightButtonState();
    int left = LeftButtonState();
    int bomb = BombButtonState();
    ReplayListMove move = ReplayListMove::kNone;
    if (up == 2) {
      move = ReplayListMove::kUp;
    } else if (down == 2) {
      move = ReplayListMove::kDown;
    } else if (right == 2) {
      move = ReplayListMove::kRight;
    } else if (left == 2) {
      move = ReplayListMove::kLeft;
    } else if (bomb == 1) {
      move = ReplayListMove::kJumpToReturn;
    }
    if (move != ReplayListMove::kNone) {
      if (ApplyReplayListMove(c, move) != 0) PlaySoundEffect(0);
      c.repeat_lock = kMoveRepeat;
    }
  }
  if (c.repeat_lock > 0) --c.repeat_lock;
  ApplyReplayListMove(c, ReplayListMove::kNone);
  return 0;
}
