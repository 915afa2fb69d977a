// Game over (scene 10): the GAME OVER logo, one more saved credit, then the
// name entry; after a replay, back to the replay list or the ranking.
#pragma once

#include <cstdint>

struct GameOverState {
  int32_t state;  // 0 logo opens, 1 caption settles, 2 hold, 3 leave
  int32_t counter;
  double logo_y_scale;
  double caption_x_scale;
  double caption_y_scale;
};

// The entry step: after a replay sets the next scene and returns 1 (the scene
// ends at once, drawing nothing); otherwise adds the credit and returns 0.
int EnterGameOver();
GameOverState StartGameOver();
// One frame, given this frame's shot counter.
void UpdateGameOver(GameOverState& s, int shot);
void DrawGameOver(const GameOverState& s);
