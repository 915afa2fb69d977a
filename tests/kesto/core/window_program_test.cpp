// Runs the real program headless, the way CI and unattended checks do.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/program_run.h"
#include "support/scoped_temp_dir.h"

namespace {

using program_run::ProgramPath;

TEST(WindowProgramTest, HeadlessRunWithAFrameLimitEndsByItselfAndLogsTheShutdown) {
  const std::string program = ProgramPath();
  if (program.empty()) GTEST_SKIP() << "program not built";
  ScopedTempDir dir;
  std::ofstream(dir.file("script.txt")) << "0 Z down\n2 Z up\n";
  const auto r = program_run::Run(
      program, dir.path().string(),
      {"KESTO_QUIT_AFTER_FRAMES=3", "KESTO_INPUT_SCRIPT=" + dir.file("script.txt")});
  EXPECT_NE(r.exit_code, -1) << "did not end by itself";
  const std::string text = program_run::ReadFile(dir.file("AppLog.txt"));
  const size_t started = text.find("文字コードバッファの初期化を行います... 完了しました");
  const size_t closed = text.find("ソフトを終了する準備が整いました");
  const size_t dump = text.rfind("Alloc memory dump");
  ASSERT_NE(started, std::string::npos);
  ASSERT_NE(closed, std::string::npos);
  ASSERT_NE(dump, std::string::npos);
  EXPECT_LT(started, closed);
  EXPECT_LT(closed, dump);
}

TEST(WindowProgramTest, ASecondCopyThatGivesWaySaysSo) {
  const std::string program = ProgramPath();
  if (program.empty()) GTEST_SKIP() << "program not built";
  ScopedTempDir dir;
  // The running copy: this test, holding the lock the program takes.
  const std::string lock = dir.file("Kesto.lock");
  const int fd = open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
  const auto r = program_run::Run(program, dir.path().string(), {"KESTO_QUIT_AFTER_FRAMES=3"});
  close(fd);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_NE(r.err.find("another copy of the program is already running (it holds " + lock + ")"),
            std::string::npos)
      << r.err;
}

TEST(WindowProgramTest, ALockThatCannotBeMadeIsSaidAndTheProgramRuns) {
  const std::string program = ProgramPath();
  if (program.empty()) GTEST_SKIP() << "program not built";
  ScopedTempDir dir;
  const std::string lock = dir.file("no such folder/Kesto.lock");
  const std::string env = "KESTO_INSTANCE_LOCK=" + lock;
  const auto r = program_run::Run(program, dir.path().string(), {"KESTO_QUIT_AFTER_FRAMES=3", env});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.err.find("cannot make the single-instance lock " + lock), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("two copies of the program may now run side by side"), std::string::npos);
  EXPECT_NE(program_run::ReadFile(dir.file("AppLog.txt")).find("ソフトを終了する準備が整いました"),
            std::string::npos);
}

TEST(WindowProgramTest, HoldingSpaceNeitherHangsAnUnattendedRunNorStopsTheTitleComingBack) {
  // Space held sends every scene back to the reset before anything is
  // shown; the frame limit and the script must still move on.
  const std::string program = ProgramPath();
  if (program.empty()) GTEST_SKIP() << "program not built";
  ScopedTempDir dir;
  std::ofstream(dir.file("script.txt")) << "3 SPACE down\n60 SPACE up\n";
  std::filesystem::create_directory(dir.file("frames"));
  const auto r = program_run::Run(program, dir.path().string(),
                                  {"KESTO_QUIT_AFTER_FRAMES=70",
                                   "KESTO_INPUT_SCRIPT=" + dir.file("script.txt"),
                                   "KESTO_CAPTURE_DIR=" + dir.file("frames")});
  EXPECT_NE(r.exit_code, -1) << "did not end by itself";
  // The title is shown again once Space is up.
  int frames = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.file("frames"))) {
    (void)e;
    ++frames;
  }
  EXPECT_GT(frames, 3);
}

}  // namespace
