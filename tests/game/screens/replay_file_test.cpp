#include "screens/replay_file.h"

#include "play/player.h"
#include "shell/image_tables.h"
#include "text_file_fixture.h"

namespace {

using ReplayFileTest = SavedFileTest;

// A header the game can play.
ReplayHeader PlayableHeader() {
  ReplayHeader h{};
  h.words[kReplayWordMode] = 2;
  h.words[kReplayWordFighter] = 4;
  h.words[kReplayWordScore] = 123456;
  h.words[kReplayWordStage] = 7;
  h.words[kReplayWordAutoGuard] = 1;
  h.words[kReplayWordVariant] = 1;
  h.words[kReplayWordBulletColor] = 3;
  h.words[kReplayWordShotMask] = 32;
  h.words[kReplayWordBombMask] = 16;
  h.words[kReplayWordFullAutoMask] = 2048;
  h.words[kReplayWordDate] = 2026;
  return h;
}

// The text of a replay file: name line, header, then `inputs` words.
std::string ReplayText(const char* name, const ReplayHeader& h, int inputs) {
  std::string s = std::string(name) + "\n";
  for (int32_t w : h.words) s += std::to_string(w) + "\n";
  for (int i = 0; i < inputs; ++i) s += std::to_string(i & 0x3FFF) + "\n";
  return s;
}

TEST_F(ReplayFileTest, PathsAndSlotNumbers) {
  struct Case {
    int n;
    int result;
    const char* path;
  } cases[] = {{1, 0, "Replay/replay1.dat"}, {102, 0, "Replay/replay102.dat"}, {0, 0, "Replay/replay0.dat"},
               {-1, -1, ""}};
  for (const Case& c : cases) {
    std::string path;
    EXPECT_EQ(BuildReplayPath(path, c.n), c.result);
    EXPECT_EQ(path, c.path);
  }
  ClearReplayBuffer();
  EXPECT_EQ(WriteReplayFile(g_replay_buffer, 0), 0);
  EXPECT_EQ(WriteReplayFile(g_replay_buffer, 98), 0);
  EXPECT_EQ(WriteReplayFile(g_replay_buffer, -1), -1);
  EXPECT_EQ(FilesIn("Replay"), (std::vector<std::string>{"replay1.dat", "replay99.dat"}));
  EXPECT_EQ(ReplayFileExists(99), 99);
  EXPECT_EQ(ReplayFileExists(98), -1);
  EXPECT_EQ(ReplayFileExists(-1), -1);
}

TEST_F(ReplayFileTest, AWrittenReplayReadsBackWhole) {
  ClearReplayBuffer();
  g_replay_buffer.header = PlayableHeader();
  for (int i = 0; i < kReplayInputWords; ++i) g_replay_buffer.inputs[i] = static_cast<uint32_t>(i * 7) & 0x3FFFu;
  SetReplayName("%n%");  // written as it stands, never as a format
  ASSERT_EQ(WriteReplayFile(g_replay_buffer, 41), 0);
  const std::string text = Get("Replay/replay42.dat");
  const std::vector<std::string> lines = Lines(text);
  ASSERT_EQ(lines.size(), 1u + 50 + 200000);
  EXPECT_EQ(lines[0], "%n%");
  EXPECT_EQ(lines[1 + kReplayWordFighter], "4");
  EXPECT_EQ(lines[51 + 3], "21");

  ReplayListEntry entry;
  ASSERT_EQ(ReadReplayHeader(&entry, 41), 0);
  EXPECT_EQ(entry.valid, 1);
  EXPECT_EQ(std::memcmp(&entry.header, &g_replay_buffer.header, sizeof entry.header), 0);
  EXPECT_STREQ(entry.name, "___");  // no glyph for "%": drawn as gaps

  std::vector<uint32_t> inputs(kReplayInputWords, 0xDEADu);
  EXPECT_EQ(ReadReplayFile(inputs.data(), 41), 0);
  EXPECT_TRUE(std::equal(inputs.begin(), inputs.end(), g_replay_buffer.inputs));
}

TEST_F(ReplayFileTest, DamagedFiles) {
  const ReplayHeader good = PlayableHeader();
  const std::string whole = ReplayText("ABC", good, kReplayInputWords);
  auto header_with = [&](int word, int32_t value) {
    ReplayHeader h = good;
    h.words[word] = value;
    return ReplayText("ABC", h, 10);
  };
  std::string crlf = ReplayText("ABC", good, 3);
  for (size_t at = 0; (at = crlf.find('\n', at)) != std::string::npos; at += 2) crlf.insert(at, "\r");
  std::string letter_in_word7 = ReplayText("ABC", good, 10);
  letter_in_word7.replace(letter_in_word7.find("\n1\n3\n") + 1, 1, "x");  // words 7-8 are "1", "3"
  std::string letter_at_1000 = whole;
  {
    size_t at = 0;
    for (int i = 0; i < 51 + 1000; ++i) at = whole.find('\n', at) + 1;
    letter_at_1000.replace(at, 1, "q");
  }
  struct Case {
    std::string name;
    const std::string* text;  // nullptr: no file
    std::string owned;
    int header_result;
    int valid;
    int full_result;
    int inputs_read;  // words taken by the full read before it stopped
  } cases[] = {
      {"whole", &whole, "", 0, 1, 0, kReplayInputWords},
      {"longer than the buffer", nullptr, whole + "5\n6\n", 0, 1, 0, kReplayInputWords},
      {"comment line after the name", nullptr, "ABC\n# note\n" + whole.substr(4), 0, 0, 0, kReplayInputWords},
      {"letter in header word 7", &letter_in_word7, "", 0, 0, -1, 0},
      {"letter at input 1000", &letter_at_1000, "", 0, 1, -1, 1000},
      {"ends after 500 inputs", nullptr, ReplayText("ABC", good, 500), 0, 1, -1, 500},
      {"empty", nullptr, "", 0, 0, -1, 0},
      {"ends inside the header", nullptr, whole.substr(0, 60), 0, 0, -1, 0},
      {"CR LF", &crlf, "", 0, 1, -1, 3},
      {"mode 4", nullptr, header_with(kReplayWordMode, 4), 0, 0, -1, 10},
      {"fighter 5", nullptr, header_with(kReplayWordFighter, 5), 0, 0, -1, 10},
      {"stage 8", nullptr, header_with(kReplayWordStage, 8), 0, 0, -1, 10},
      {"stage 16", nullptr, header_with(kReplayWordStage, 16), 0, 1, -1, 10},
      {"bullet colour -1", nullptr, header_with(kReplayWordBulletColor, -1), 0, 0, -1, 10},
      {"shot mask 48", nullptr, header_with(kReplayWordShotMask, 48), 0, 0, -1, 10},
      {"bomb mask 0", nullptr, header_with(kReplayWordBombMask, 0), 0, 0, -1, 10},
      {"stage-select flag 2", nullptr, header_with(kReplayWordStageSelect, 2), 0, 0, -1, 10},
  };
  auto open_files = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator{});
  };
  const auto files_before = open_files();
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    Put("Replay/replay5.dat", c.text ? *c.text : c.owned);
    ReplayListEntry entry;
    std::memset(&entry, 0x5A, sizeof entry);  // stale contents from an earlier read
    EXPECT_EQ(ReadReplayHeader(&entry, 4), c.header_result);
    EXPECT_EQ(entry.valid, c.valid);
    std::vector<uint32_t> inputs(kReplayInputWords, 0xDEADu);
    EXPECT_EQ(ReadReplayFile(inputs.data(), 4), c.full_result);
    // Words before the stop are the file's; the rest keep what they held.
    const auto first_untouched = std::find(inputs.begin(), inputs.end(), 0xDEADu) - inputs.begin();
    EXPECT_EQ(first_untouched, c.inputs_read);
    EXPECT_TRUE(std::all_of(inputs.begin() + c.inputs_read, inputs.end(), [](uint32_t w) { return w == 0xDEADu; }));
  }
  EXPECT_EQ(open_files(), files_before) << "a read left its file open";
  std::filesystem::remove("Replay/replay5.dat");
  ReplayListEntry entry{};
  entry.valid = 1;
  EXPECT_EQ(ReadReplayHeader(&entry, 4), -1);
  EXPECT_EQ(entry.valid, 0);
  std::vector<uint32_t> inputs(kReplayInputWords);
  EXPECT_EQ(ReadReplayFile(inputs.data(), 4), -1);
}

TEST_F(ReplayFileTest, AFailedSaveKeepsTheReplayInThatSlot) {
  ClearReplayBuffer();
  g_replay_buffer.header = PlayableHeader();
  SetReplayName("OLD");
  ASSERT_EQ(WriteReplayFile(g_replay_buffer, 2), 0);
  const std::string before = Get("Replay/replay3.dat");
  SetReplayName("NEW");
  for (AtomicWriteFault fault : {AtomicWriteFault::kFailWrite, AtomicWriteFault::kCrashBeforeRename}) {
    SetAtomicWriteFaultForTesting(fault);
    EXPECT_EQ(WriteReplayFile(g_replay_buffer, 2), -1);
    EXPECT_EQ(Get("Replay/replay3.dat"), before);
  }
}

TEST_F(ReplayFileTest, TheHeaderDescribesTheGameThatEnded) {
  InitPlayerForGame();
  SetPlayerFighter(4, 1);
  g_player.score = 123456789;
  g_player.total_misses = 3;
  g_player.continues = 2;
  for (int i = 1; i <= 5; ++i) g_player.stage_scores[i] = i * 1000;
  g_player.stage_scores[6] = 99;  // not a stage the header keeps
  for (int i = 0; i < kReplayInputWords; ++i) g_player.input_record[i] = static_cast<uint32_t>(i % 4096);
  g_config = DefaultConfig();
  g_config.shot_mask = 32;
  g_config.bomb_mask = 16;
  g_config.full_auto_mask = 2048;
  g_config.auto_guard = 0;
  g_config.bullet_color = 3;
  g_flags.DifficultyMode = 2;
  g_flags.StageNumber = 7;
  g_flags.sel_flag = 0;
  const int date[6] = {2024, 2, 29, 23, 59, 58};
  std::copy(date, date + 6, kesto_fake::state().local_date);
  std::memset(&g_replay_buffer.header, 0x11, sizeof g_replay_buffer.header);  // left from a former game

  FillReplayHeader();
  std::vector<int32_t> expected(kReplayHeaderWords, 0);
  const std::map<int, int32_t> set = {{0, 2},     {1, 4},     {2, 123456789}, {3, 7},     {4, 3},  {5, 0},
                                      {6, 0},     {7, 1},     {8, 3},         {9, 2},     {10, 1000}, {11, 2000},
                                      {12, 3000}, {13, 4000}, {14, 5000},     {20, 32},   {21, 16}, {22, 2048},
                                      {30, 2024}, {31, 2},    {32, 29},       {33, 23},   {34, 59}, {35, 58}};
  for (auto [word, value] : set) expected[word] = value;
  EXPECT_EQ(std::vector<int32_t>(g_replay_buffer.header.words, g_replay_buffer.header.words + 50), expected);
  EXPECT_TRUE(std::equal(g_player.input_record, g_player.input_record + kReplayInputWords, g_replay_buffer.inputs));

  ClearReplayBuffer();
  const char* bytes = reinterpret_cast<const char*>(&g_replay_buffer);
  EXPECT_TRUE(std::all_of(bytes, bytes + sizeof g_replay_buffer, [](char b) { return b == 0; }));
}

TEST_F(ReplayFileTest, PlaybackStartsFromTheHeader) {
  LoadEnemyBulletImages(0);
  struct Case {
    int stage_select;
    int32_t stage;
    int sel_flag;
    int stage_after;
  } cases[] = {{1, 18, 1, 18}, {0, 4, 0, 9}};
  for (const Case& c : cases) {
    ReplayListEntry entry{};
    entry.valid = 1;
    entry.header = PlayableHeader();
    entry.header.words[kReplayWordStageSelect] = c.stage_select;
    entry.header.words[kReplayWordStage] = c.stage;
    std::memcpy(entry.name, "ABC", 4);
    g_flags = GameFlags{};
    g_flags.StageNumber = 9;
    g_flags.sel_flag = 1 - c.sel_flag;
    g_config.shot_mask = 16;
    EXPECT_EQ(StartReplayPlayback(entry, 4), 0);
    EXPECT_EQ(g_flags.sel_flag, c.sel_flag);
    EXPECT_EQ(g_flags.StageNumber, c.stage_after);
    EXPECT_EQ(g_flags.DifficultyMode, 2);
    EXPECT_EQ(g_flags.ReplayPlayback, 1);
    EXPECT_EQ(g_flags.CurrentScene, kSceneGamePlay);
    EXPECT_EQ(g_player.pb_shot_mask, 32u);  // the recording's buttons, not the current ones
    EXPECT_EQ(g_player.pb_full_auto_mask, 2048u);
    EXPECT_EQ(g_player.pb_auto_guard, 1);
    EXPECT_EQ(GetPlayerFighter(), 4);
    const int32_t cell = EnemyBulletCell(0, 0);
    LoadEnemyBulletImages(3);
    EXPECT_EQ(cell, EnemyBulletCell(0, 0));  // the recording's bullet colour
  }
  // An entry the list marked damaged does not start.
  ReplayListEntry bad{};
  bad.header = PlayableHeader();
  g_flags = GameFlags{};
  EXPECT_EQ(StartReplayPlayback(bad, 0), -1);
  bad.valid = 1;
  bad.header.words[kReplayWordMode] = 7;
  EXPECT_EQ(StartReplayPlayback(bad, 0), -1);
  EXPECT_EQ(g_flags.ReplayPlayback, 0);
  EXPECT_EQ(g_flags.CurrentScene, 0);
}

}  // namespace
