#include "screens/save_data.h"

#include "text_file_fixture.h"

namespace {

using SaveDataTest = SavedFileTest;

// The seed from which the next save draws key k (the generator's step is
// seed * 48828125 + 1; 48828125 is odd, so it can be undone).
uint32_t SeedForKey(int k) {
  uint32_t inverse = 1;
  for (int i = 0; i < 5; ++i) inverse *= 2u - 48828125u * inverse;  // Newton's step
  return (static_cast<uint32_t>(k - 12) - 1u) * inverse;
}

// A file as the game writes it, from unmasked values (credits, flag,
// reached[4], marks[40]).
std::string Masked(int key, const std::vector<int>& plain) {
  std::string text = std::to_string(key * 256) + "\n";
  int factors[46];
  factors[0] = 5;
  factors[1] = 8;
  for (int i = 0; i < 4; ++i) factors[2 + i] = i + 7;
  for (int j = 0; j < 40; ++j) factors[6 + j] = j + 5;
  for (size_t i = 0; i < plain.size(); ++i) text += std::to_string((key * factors[i] + plain[i]) * 256) + "\n";
  return text;
}

std::vector<int> Plain(int credits) {
  std::vector<int> v(46, 0);
  v[0] = credits;
  v[1] = 1;
  for (int i = 0; i < 4; ++i) v[2 + i] = i + 2;
  v[6 + 0] = 2;    // mode 0, fighter 0
  v[6 + 13] = 1;   // mode 1, fighter 3
  v[6 + 39] = 2;   // mode 3, slot 9
  return v;
}

void ExpectDefaults() {
  EXPECT_EQ(g_save_data.credits, 3);
  EXPECT_EQ(g_save_data.secret_stage_flag, 0);
  for (int m = 0; m < 4; ++m) {
    EXPECT_EQ(g_save_data.StageReachedTable[m], 1);
    for (int s = 0; s < 10; ++s) EXPECT_EQ(g_save_data.ClearMarkTable[m][s], 0);
  }
}

TEST_F(SaveDataTest, AMissingFileAtBootDrawsKey13FromSeed0) {
  RandomSeed = 0;
  LoadSaveData();
  ExpectDefaults();
  EXPECT_EQ(RandomSeed, 1u);  // exactly one draw
  const std::vector<std::string> lines = Lines(Get("file/data.dat"));
  ASSERT_EQ(lines.size(), 47u);
  const std::vector<std::string> head = {"3328", "17408", "26624", "23552", "26880", "30208", "33536"};
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 7), head);
  for (int j = 0; j < 40; ++j) EXPECT_EQ(lines[7 + j], std::to_string(13 * (j + 5) * 256));
  // With the file in place the next boot draws nothing.
  RandomSeed = 0;
  LoadSaveData();
  EXPECT_EQ(RandomSeed, 0u);
  EXPECT_EQ(g_save_data.key, 13);
}

TEST_F(SaveDataTest, EveryKeyReadsBackTheValuesWritten) {
  for (int k = 12; k <= 111; ++k) {
    g_save_data = SaveData{};
    g_save_data.credits = 9999;
    g_save_data.secret_stage_flag = 1;
    g_save_data.StageReachedTable[3] = 7;
    g_save_data.ClearMarkTable[2][3] = 2;
    g_save_data.ClearMarkTable[0][9] = 1;
    const SaveData written = g_save_data;
    RandomSeed = SeedForKey(k);
    ASSERT_EQ(WriteSaveData(), 0);
    ASSERT_EQ(Lines(Get("file/data.dat"))[0], std::to_string(k * 256)) << k;
    g_save_data = SaveData{};
    LoadSaveData();
    EXPECT_EQ(g_save_data.key, k);
    EXPECT_EQ(std::memcmp(&g_save_data.credits, &written.credits,
                          sizeof(int32_t) * (2 + 4 + 40)), 0) << k;
  }
}

TEST_F(SaveDataTest, TamperedFilesAreAcceptedOrResetAsAWhole) {
  const std::string good = Masked(40, Plain(50));
  auto with_line = [&](int line, const std::string& value) {
    std::vector<std::string> lines = Lines(good);
    lines[line - 1] = value;
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    return text;
  };
  const int credits_line = (40 * 5 + 50) * 256;
  struct Case {
    std::string name;
    std::string text;
    int credits;  // -1: reset
  } cases[] = {
      {"as written", good, 50},
      {"credits +256", with_line(2, std::to_string(credits_line + 256)), 51},
      {"credits -256", with_line(2, std::to_string(credits_line - 256)), 49},
      {"credits +1", with_line(2, std::to_string(credits_line + 1)), 50},
      {"CR LF", [&] {
         std::string t;
         for (const std::string& l : Lines(good)) t += l + "\r\n";
         return t;
       }(), 50},
      {"more than 47 lines", good + "123\n", 50},
      {"credits 10000", Masked(40, [] { auto v = Plain(10000); return v; }()), -1},
      {"credits -1", Masked(40, Plain(-1)), -1},
      {"mark 3", [&] { auto v = Plain(50); v[6 + 20] = 3; return Masked(40, v); }(), -1},
      {"flag 2", [&] { auto v = Plain(50); v[1] = 2; return Masked(40, v); }(), -1},
      {"reached 8", [&] { auto v = Plain(50); v[5] = 8; return Masked(40, v); }(), -1},
      {"key 11", Masked(11, Plain(50)), -1},
      {"key 112", Masked(112, Plain(50)), -1},
      {"46 lines", good.substr(0, good.rfind('\n', good.size() - 2) + 1), -1},
      {"empty", "", -1},
      {"letters on line 5", with_line(5, "abc"), -1},
      // Read stops at the first bad line: nothing after it reaches memory.
      {"bad last line", with_line(47, "x"), -1},
  };
  for (const Case& c : cases) {
    Put("file/data.dat", c.text);
    std::filesystem::remove("file/data.dat.bad");
    g_save_data = SaveData{};
    g_save_data.FighterUnlockFlag = 1;
    LoadSaveData();
    EXPECT_EQ(g_save_data.FighterUnlockFlag, 1) << c.name;  // never stored, never reset
    if (c.credits >= 0) {
      EXPECT_EQ(g_save_data.credits, c.credits) << c.name;
      EXPECT_EQ(g_save_data.secret_stage_flag, 1) << c.name;
      EXPECT_EQ(g_save_data.StageReachedTable[3], 5) << c.name;
      EXPECT_EQ(g_save_data.ClearMarkTable[1][3], 1) << c.name;
      EXPECT_EQ(g_save_data.key, 40) << c.name;
      EXPECT_EQ(Get("file/data.dat"), c.text) << c.name;
      EXPECT_FALSE(Exists("file/data.dat.bad")) << c.name;
    } else {
      SCOPED_TRACE(c.name);
      ExpectDefaults();
      EXPECT_EQ(g_save_data.key, 0);
      // The damaged file is kept aside, and the new one reads back as defaults.
      EXPECT_EQ(Get("file/data.dat.bad"), c.text);
      g_save_data = SaveData{};
      LoadSaveData();
      ExpectDefaults();
      EXPECT_NE(g_save_data.key, 0);
    }
  }
}

TEST_F(SaveDataTest, AFailedSaveReportsFailureAndKeepsTheOldFile) {
  const std::string good = Masked(40, Plain(50));
  Put("file/data.dat", good);
  SetAtomicWriteFaultForTesting(AtomicWriteFault::kCrashBeforeRename);
  EXPECT_EQ(WriteSaveData(), -1);
  SetAtomicWriteFaultForTesting(AtomicWriteFault::kFailWrite);
  EXPECT_EQ(ResetSaveData(), -1);
  EXPECT_EQ(Get("file/data.dat"), good);
}

TEST_F(SaveDataTest, TheSecretStageFlagIsSetClearedOrRead) {
  struct Case {
    int before, op, after;
    int playback = 0;
  } cases[] = {{0, 2, 0}, {1, 2, 1}, {0, 1, 1}, {1, 0, 0}, {1, -5, 1}, {0, 99, 0},
               {0, 1, 0, 1},   // a replay or the demo reaching the hidden boss
               {1, 2, 1, 1}};
  for (const Case& c : cases) {
    g_flags.ReplayPlayback = c.playback;
    g_save_data.secret_stage_flag = c.before;
    EXPECT_EQ(SetSecretStageFlag(c.op), c.after);
    EXPECT_EQ(g_save_data.secret_stage_flag, c.after);
  }
}

}  // namespace
