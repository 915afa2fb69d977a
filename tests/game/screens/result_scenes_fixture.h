// Shared set-up of the ranking, name entry, replay list and replay save
// tests: program-start globals, pictures and glyphs loaded into the
// recording library, a scripted pad word per frame, and a fresh temporary
// directory as the working directory so the saved files stay apart.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "screens/atomic_file.h"
#include "screens/config.h"
#include "screens/ranking.h"
#include "screens/replay.h"
#include "screens/save_data.h"
#include "screens/text_file.h"
#include "shell/buttons.h"
#include "shell/frame.h"
#include "shell/game_flags.h"
#include "shell/image_tables.h"
#include "shell/menu.h"
#include "support/kesto_fake/kesto_fake.h"

namespace result_scenes {

inline constexpr uint32_t kDown = 1, kLeft = 2, kRight = 4, kUp = 8, kShot = 16, kBomb = 32;

class ResultScenesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_dir_ = std::filesystem::current_path();
    char pattern[] = "/tmp/result_scenes_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    std::filesystem::current_path(dir_);
    std::filesystem::create_directories("file");
    std::filesystem::create_directories("Replay");
    ResetState();
  }
  // Program-start globals and default saved files, within the same directory.
  void ResetState() {
    ClearSaveGuardsForTesting();
    InjectSavedFileFaultForTesting(nullptr, SavedFileFault::kNone);
    kesto_fake::Reset();
    g_flags = GameFlags{};
    g_input = InputState{};
    g_menu_repeat = MenuRepeatDelay{};
    g_frame_clock = FrameClock{};
    LoadConfig();
    ForgetLoadedImagesForTesting();
    LoadFontImages();
    LoadHudImages();
    ResetScores();
    ResetSaveData();
    ClearReplayBuffer();
    kesto_fake::state().calls.clear();
  }
  void TearDown() override {
    std::filesystem::current_path(old_dir_);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  kesto_fake::State& fake() { return kesto_fake::state(); }

  // Frame n (1-based) reads script[n - 1]; later frames read 0. The pump
  // reports quit from frame `last_frame` + 1 on, so a stuck scene ends.
  void Script(std::vector<uint32_t> script, int last_frame) {
    script_ = std::move(script);
    fake().pad_script = [this](int pump) -> uint32_t {
      return pump >= 1 && pump <= static_cast<int>(script_.size()) ? script_[pump - 1] : 0;
    };
    fake().quit_after_pumps = last_frame + 1;
  }
  // Frames the scene ran (pumps that did not report quit).
  int FramesRun() const {
    int pumps = kesto_fake::state().pumps;
    int quit = kesto_fake::state().quit_after_pumps;
    return quit >= 0 && pumps >= quit ? quit - 1 : pumps;
  }

  // The texts drawn through the bitmap font since the log was last cleared,
  // one per line of glyphs (gaps of whole glyphs become blanks).
  std::vector<std::string> DrawnTexts() const {
    std::map<int32_t, char> glyph_chars;
    for (int style = 0; style < 3; ++style)
      for (int code = 0; code < kGlyphTableSize; ++code)
        if (int32_t g = GlyphCell(style, code); g > 0) glyph_chars[g] = static_cast<char>(code);
    std::vector<std::string> texts;
    int last_x = 0, last_y = -1;
    for (const kesto_fake::Call& c : kesto_fake::state().calls) {
      if (c.name != "BlitGraphicAt") continue;
      auto it = glyph_chars.find(c.iarg(2));
      if (it == glyph_chars.end()) continue;
      int x = c.iarg(0), y = c.iarg(1);
      bool continues = !texts.empty() && y == last_y && x > last_x && (x - last_x) % 12 == 0 &&
                       x - last_x <= 12 * 8;
      if (continues) {
        texts.back().append(static_cast<size_t>((x - last_x) / 12 - 1), ' ');
        texts.back() += it->second;
      } else {
        texts.emplace_back(1, it->second);
      }
      last_x = x;
      last_y = y;
    }
    return texts;
  }
  bool Drew(const std::string& text) const {
    for (const std::string& t : DrawnTexts())
      if (t == text) return true;
    return false;
  }

  std::filesystem::path dir_;

 private:
  std::filesystem::path old_dir_;
  std::vector<uint32_t> script_;
};

// Appends `frames` frames of `word`.
inline void Hold(std::vector<uint32_t>& script, uint32_t word, int frames) {
  script.insert(script.end(), static_cast<size_t>(frames), word);
}
// A press on one frame, then a released frame.
inline void Tap(std::vector<uint32_t>& script, uint32_t word) {
  script.push_back(word);
  script.push_back(0);
}
// One step of a held direction: held two frames (a move happens on the
// second), then released long enough for the repeat lock to run out.
inline void Step(std::vector<uint32_t>& script, uint32_t direction) {
  Hold(script, direction, 2);
  Hold(script, 0, 8);
}

}  // namespace result_scenes
