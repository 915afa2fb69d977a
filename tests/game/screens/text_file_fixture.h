// Tests of the saved files run inside a fresh folder of their own, with the
// globals those files fill back at program start.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "screens/atomic_file.h"
#include "screens/config.h"
#include "screens/ranking.h"
#include "screens/replay.h"
#include "screens/save_data.h"
#include "screens/text_file.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"
#include "support/kesto_fake/kesto_fake.h"
#include "support/scoped_temp_dir.h"

class SavedFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kesto_fake::Reset();
    g_flags = GameFlags{};
    g_config = GameConfig{};
    g_save_data = SaveData{};
    g_ranking = RankingTable{};
    RandomSeed = 0;
    SetAtomicWriteFaultForTesting(AtomicWriteFault::kNone);
    ClearSaveGuardsForTesting();
    InjectSavedFileFaultForTesting(nullptr, SavedFileFault::kNone);
  }
  void TearDown() override {
    SetAtomicWriteFaultForTesting(AtomicWriteFault::kNone);
    ClearSaveGuardsForTesting();
    InjectSavedFileFaultForTesting(nullptr, SavedFileFault::kNone);
  }

  static void Put(const std::string& path, const std::string& text) {
    const auto folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder);
    std::ofstream(path, std::ios::binary) << text;
  }
  static std::string Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static bool Exists(const std::string& path) { return std::filesystem::exists(path); }
  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  // Files in `folder` other than those named.
  static std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  ScopedTempDir dir_{true};
};
