// Plays the game-play scene headless against the recording library, from a
// replay header's settings and pad words, and takes a digest of the play
// state after chosen frames. Replays only work if the same input always
// gives the same state, so the digest covers every pool record (free slots
// included) and the global records the game logic reads.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

struct HarnessScript {
  int fighter = 0;
  int variant = 0;
  // The masks and AUTO GUARD stored with the input (the configuration's
  // when playing live, the replay header's when playing back).
  uint32_t shot_mask = 16, bomb_mask = 32, full_auto_mask = 64;
  int auto_guard = 1;
  int frames = 0;
  // Live play: the pad word of frame n (1-based) is pad[n - 1], 0 past the
  // end. Playback: the input record to play.
  bool playback = false;
  std::vector<uint32_t> pad;
  std::vector<uint32_t> record;
  // Playback only: hold the configured shot button on the live pad, which
  // fast-forwards the replay.
  bool fast_forward = false;
  // Frames (1-based) at whose start the game is paused for one frame.
  std::vector<int> paused_frames;
  // Enemy fire and drops made by the harness, since the test has no stage:
  // every `fire_every` unpaused frames an aimed fan of bullets, and every
  // `drop_every` frames items of every score kind.
  int fire_every = 7;
  int drop_every = 45;
  // Digests after every n-th frame and after the last.
  int digest_every = 10;
  // 0: a new game from stage 1. Else the stage-select number to play
  // (16-20 boss practice, 21 the extra stage).
  int stage_select = 0;
  // The game's difficulty mode (0 HEAVEN, 1 ORIGINAL, 2 HELL, 3 ACCEL).
  int difficulty = 1;
  // Keeps the player alive through the debug invincibility switch, which
  // only skips the player's collision checks: a whole stage can be played
  // to its end without steering round the fire.
  bool invincible = false;
  // Called after every frame (1-based), once its digest is taken.
  std::function<void(int frame)> on_frame;
};

struct HarnessResult {
  std::map<int, uint64_t> digests;  // frame -> digest after it
  int score = 0;
  int misses = 0;       // misses and bombs at the end, to show what the run went through
  int bombs_left = 0;
  std::vector<uint32_t> recorded;   // the input record of a live run
};

uint64_t DigestPlayState();
// The same over the pool records in use only: what a slot keeps after it is
// freed (left over from an earlier game, say) does not count.
uint64_t DigestLivePlayState();
HarnessResult RunHarness(const HarnessScript& script);
