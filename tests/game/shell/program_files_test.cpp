// The real program, headless, with files that cannot be read where it looks
// for its settings and its music: it starts, plays on and ends as usual.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/program_run.h"
#include "support/scoped_temp_dir.h"

namespace {

// The log's last line of an orderly end.
bool EndedInOrder(const ScopedTempDir& dir) {
  return program_run::ReadFile(dir.file("AppLog.txt")).find("ソフトを終了する準備が整いました") !=
         std::string::npos;
}

enum class Kind { kFolder, kFifo };
void MakeUnreadable(const std::string& path, Kind kind) {
  if (kind == Kind::kFolder) {
    std::filesystem::create_directories(path + "/inside");
  } else {
    ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
  }
}

TEST(ProgramFilesTest, AScreenTxtThatCannotBeReadStartsFullScreenWithPacing) {
  const std::string program = program_run::ProgramPath();
  if (program.empty()) GTEST_SKIP() << "program not built";
  for (Kind kind : {Kind::kFolder, Kind::kFifo}) {
    SCOPED_TRACE(kind == Kind::kFolder ? "a folder" : "a FIFO");
    ScopedTempDir dir;
    MakeUnreadable(dir.file("screen.txt"), kind);
    const auto r = program_run::Run(program, dir.path().string(), {"KESTO_QUIT_AFTER_FRAMES=60"});
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.err.find("screen.txt: cannot be read ("), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("full screen with frame pacing"), std::string::npos) << r.err;
    EXPECT_TRUE(EndedInOrder(dir));
  }
}

TEST(ProgramFilesTest, AMusicTrackThatCannotBeReadFailsItsStartAndPlayGoesOn) {
  const std::string program = program_run::ProgramPath();
  if (program.empty()) GTEST_SKIP() << "program not built";
  for (Kind kind : {Kind::kFolder, Kind::kFifo}) {
    SCOPED_TRACE(kind == Kind::kFolder ? "a folder" : "a FIFO");
    ScopedTempDir dir;
    std::ofstream(dir.file("screen.txt")) << "0 0\n";  // no pacing
    std::filesystem::create_directories(dir.file("bgm"));
    // The music of the mode select, the first track the game starts.
    MakeUnreadable(dir.file("bgm/lockout.mp3"), kind);
    // Title, main menu (ARCADE), mode select, fighter select, into play.
    std::ofstream(dir.file("script.txt")) << "60 Z down\n62 Z up\n120 Z down\n122 Z up\n"
                                             "180 Z down\n182 Z up\n240 Z down\n242 Z up\n";
    const auto r = program_run::Run(
        program, dir.path().string(),
        {"KESTO_QUIT_AFTER_FRAMES=260", "KESTO_INPUT_SCRIPT=" + dir.file("script.txt")});
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.err.find("lockout.mp3: cannot be read"), std::string::npos) << r.err;
    const std::string log = program_run::ReadFile(dir.file("AppLog.txt"));
    EXPECT_NE(log.find("lockout.mp3 の演奏に失敗しました"), std::string::npos);
    // Play went on: the first stage started its own track.
    EXPECT_NE(log.find("mp3_truth.mp3 の演奏に失敗しました"), std::string::npos)
        << "the game did not reach stage 1";
    EXPECT_TRUE(EndedInOrder(dir));
  }
}

TEST(ProgramFilesTest, TemporaryFilesOfAKilledSaveAreRemovedAtStart) {
  const std::string program = program_run::ProgramPath();
  if (program.empty()) GTEST_SKIP() << "program not built";
  ScopedTempDir dir;
  std::ofstream(dir.file("screen.txt")) << "0 0\n";
  std::filesystem::create_directories(dir.file("file"));
  std::filesystem::create_directories(dir.file("Replay"));
  std::ofstream(dir.file("file/score.dat.tmp-Ab12Cd")) << "half a ranking";
  std::ofstream(dir.file("Replay/replay3.dat.tmp-x9Y8z7")) << "half a replay";
  std::ofstream(dir.file("Replay/notes.txt")) << "the player's own";
  const auto r = program_run::Run(program, dir.path().string(), {"KESTO_QUIT_AFTER_FRAMES=5"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("file/score.dat.tmp-Ab12Cd")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("Replay/replay3.dat.tmp-x9Y8z7")));
  EXPECT_TRUE(std::filesystem::exists(dir.file("Replay/notes.txt")));
  EXPECT_NE(r.err.find("file/score.dat.tmp-Ab12Cd: removed"), std::string::npos) << r.err;
}

}  // namespace
