// A replay as a file gives it: 50 header words, a 4-character name, then pad
// words. Loading must refuse what the game cannot play, and playing any
// words back must stay inside the player's tables and pools.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "play/bullet_cancel.h"
#include "play/enemy_bullets.h"
#include "play/input_record.h"
#include "play/items.h"
#include "play/player.h"
#include "play/player_shots.h"
#include "screens/replay.h"
#include "shell/game_flags.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ReplayListEntry entry{};
  const size_t header_bytes = sizeof entry.header.words + sizeof entry.name;
  if (size < header_bytes) return 0;
  std::memcpy(entry.header.words, data, sizeof entry.header.words);
  std::memcpy(entry.name, data + sizeof entry.header.words, sizeof entry.name);
  entry.valid = 1;

  g_flags = GameFlags{};
  InitPlayerForGame();
  ResetAllPlayerShots();
  ResetAllEnemyBullets();
  ResetAllItems();
  ResetAllBulletCancelSlots();
  if (LoadReplayIntoPlayer(entry, 0) != 0) return 0;
  const size_t words = std::min<size_t>((size - header_bytes) / 4, 2000);
  std::memcpy(g_player.input_record, data + header_bytes, words * 4);
  g_flags.ReplayPlayback = 1;
  ResetPlayerForStage();
  // Past the recorded words too, to the end of the record and beyond.
  g_player.frame_index = words > 0 ? 0 : kInputRecordWords - 2;
  for (size_t f = 0; f < words + 70; ++f) {
    UpdatePlayerShots();
    UpdateItems();
    UpdatePlayer();
    UpdateBulletCancel();
    UpdateEnemyBullets();
  }
  return 0;
}
