// Not a check: the recorder behind scripts/play_whole_game_headless.sh. It
// plays an arcade game on HEAVEN from the title through every stage to the
// ending, the name entry and the replay save, as the real program would
// play it but without the invincibility switch, which an input script
// cannot reach: the dodging pilot steers, and where it loses more lives
// than it may, the stretch before is played again another way (the game is
// the same up to there, so only that stretch changes). What the pad held on
// each shown frame becomes an input script for the real program, and the
// replay this game saved is kept to compare with the one the real program
// saves.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "dodging_pilot.h"
#include "screens/overlays.h"
#include "whole_game_fixture.h"

namespace whole_game {
namespace {

namespace fs = std::filesystem;

// The pad's directions and buttons as the input script names them.
std::string BitName(int bit) {
  static const char* const kDirections[] = {"PAD_DOWN", "PAD_LEFT", "PAD_RIGHT", "PAD_UP"};
  return bit < 4 ? kDirections[bit] : "PAD_BUTTON" + std::to_string(bit - 4);
}

// One line per change of the pad, on the shown frame whose pump first saw
// it: releases before presses, as left and right share one axis. A frame
// that shows nothing (a screen's last) reads what its successor reads, so
// the successor must want the same or nothing; the other frames that read
// less than the first of such a pair are named in `clashes`.
std::string InputScript(const std::vector<std::pair<uint64_t, uint32_t>>& words,
                        std::vector<uint64_t>* clashes) {
  std::string out = "# frame  button  down|up\n";
  uint32_t held = 0;
  uint64_t last_frame = ~uint64_t{0};
  for (const auto& [frame, word] : words) {
    if (frame == last_frame) {
      if (word != 0 && word != held) clashes->push_back(frame);
      continue;
    }
    last_frame = frame;
    for (int pass = 0; pass < 2; ++pass) {
      for (int bit = 0; bit < 32; ++bit) {
        const uint32_t mask = uint32_t{1} << bit;
        if ((held & mask) == (word & mask)) continue;
        const bool down = (word & mask) != 0;
        if (down != (pass == 1)) continue;
        out += std::to_string(frame) + " " + BitName(bit) + (down ? " down\n" : " up\n");
      }
    }
    held = word;
  }
  return out;
}

TEST_F(WholeGameTest, DISABLED_RecordHeadlessGameScript) {
  const char* out_env = std::getenv("HALCYRIS_HEADLESS_OUT");
  ASSERT_TRUE(out_env != nullptr && *out_env == '/')
      << "HALCYRIS_HEADLESS_OUT names the folder, from /";
  const fs::path out = out_env;  // the test runs in a folder of its own
  fs::create_directories(out);
  InvincibleMode = 0;

  // A life may be lost now and then: the fighter has three and two extends.
  constexpr int kAllowedMisses = 2;
  constexpr int kMaxTries = 400;
  DodgingPilot pilot;
  std::vector<std::pair<uint64_t, uint32_t>> words;
  uint32_t next_seed = 1;
  int spot = -1, tries_at_spot = 0;
  bool done = false;
  for (int attempt = 0; attempt < kMaxTries && !done; ++attempt) {
    for (const char* dir : {"file", "Replay"}) {
      fs::remove_all(dir);
      fs::create_directories(dir);
    }
    StartProgram();
    games_.clear();
    words.clear();
    words_ = &words;
    player_.plan = MenuPlan{0, -1, 0, 0, false, false};  // arcade, HEAVEN, SOLM
    int failed_at = -1;
    player_.pilot = [&](int f) {
      if (failed_at < 0 &&
          (GetPlayerTotalMisses() > kAllowedMisses || g_continue_screen.active == 1)) {
        failed_at = f;
        fake().quit_after_pumps = fake().pumps + 1;  // no need to play on
      }
      return pilot.Word(f);
    };
    ASSERT_TRUE(RunUntil([&] { return failed_at >= 0 || player_.visits(kSceneTitle) == 2; }));
    if (failed_at < 0) {
      done = true;
      break;
    }
    // Play the stretch before the loss another way: a new jostle there
    // first, and after a few, from further back.
    if (spot < 0 || failed_at < spot - 600 || failed_at > spot + 600) {
      spot = failed_at;
      tries_at_spot = 0;
    }
    ++tries_at_spot;
    const int back = 60 + 60 * ((tries_at_spot - 1) / 4);
    pilot.variations[std::max(0, failed_at - back)] = next_seed++;
    std::printf("try %d: lost at game frame %d; %zu stretches played another way\n", attempt,
                failed_at, pilot.variations.size());
  }
  words_ = nullptr;
  ASSERT_TRUE(done) << "no surviving game found in " << kMaxTries << " tries";
  ASSERT_EQ(games_.size(), static_cast<size_t>(1));
  const GameRecord& g = games_.back();
  EXPECT_EQ(g.end_scene, kSceneEnding);

  std::vector<uint64_t> clashes;
  std::ofstream(out / "input.txt") << InputScript(words, &clashes);
  if (!clashes.empty())
    ADD_FAILURE() << "the pad differs between a screen's last frame and the next screen's first, "
                     "first on shown frame "
                  << clashes.front();
  std::ofstream(out / "frames.txt") << words.back().first << "\n";
  fs::copy_file(fs::path("Replay") / "replay5.dat", out / "replay5.dat",
                fs::copy_options::overwrite_existing);
  std::printf("score %d, misses %d, %d game frames, %llu shown frames in all\n", g.score, g.misses,
              g.frames, static_cast<unsigned long long>(words.back().first));
}

}  // namespace
}  // namespace whole_game
