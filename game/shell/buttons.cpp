#include "shell/buttons.h"

#include "kesto/kesto.h"
#include "screens/config.h"

InputState g_input{};

static int Count(int32_t& counter, uint32_t bits) {
  uint32_t word = static_cast<uint32_t>(ReadPadBits(kPadSelector));
  if ((word & bits) == 0) {
    counter = 0;
    return 0;
  }
  if (counter < 2) ++counter;
  return counter;
}

int UpButtonState() { return Count(g_input.up, 8); }
int DownButtonState() { return Count(g_input.down, 1); }
int RightButtonState() { return Count(g_input.right, 4); }
int LeftButtonState() { return Count(g_input.left, 2); }
int ShotButtonState() { return Count(g_input.shot, static_cast<uint32_t>(g_config.shot_mask)); }
int BombButtonState() { return Count(g_input.bomb, static_cast<uint32_t>(g_config.bomb_mask)); }
int FullAutoButtonState() {
  return Count(g_input.full_auto, static_cast<uint32_t>(g_config.full_auto_mask));
}
int PauseButtonState() {
  return Count(g_input.pause, static_cast<uint32_t>(g_config.pause_mask));
}
