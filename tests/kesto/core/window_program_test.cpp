// Runs the real program headless, the way CI and unattended checks do.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/scoped_temp_dir.h"

namespace {

std::string ProgramPath() {
  // Tests run in the build's tests folder; the program is built beside it.
  const std::filesystem::path p = std::filesystem::current_path() / ".." / "game" / "halcyris";
  return std::filesystem::exists(p) ? std::filesystem::canonical(p).string() : std::string();
}

// Runs the program in dir with extra environment; its exit status, or -1
// when it had to be killed.
int RunProgram(const std::string& program, const std::string& dir,
               const std::vector<std::string>& env) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(120);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("KESTO_INSTANCE_LOCK", (dir + "/Kesto.lock").c_str(), 1);
    for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(121);
  }
  // A bound on real time: the program must end by itself.
  int status = 0;
  for (int waited_ms = 0; waitpid(pid, &status, WNOHANG) == 0; waited_ms += 20) {
    if (waited_ms > 120000) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    usleep(20000);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(WindowProgramTest, HeadlessRunWithAFrameLimitEndsByItselfAndLogsTheShutdown) {
  const std::string program = ProgramPath();
  if (program.empty()) GTEST_SKIP() << "program not built";
  ScopedTempDir dir;
  std::ofstream(dir.file("script.txt")) << "0 Z down\n2 Z up\n";
  const int code = RunProgram(program, dir.path().string(),
                              {"KESTO_QUIT_AFTER_FRAMES=3",
                               "KESTO_INPUT_SCRIPT=" + dir.file("script.txt")});
  EXPECT_NE(code, -1) << "did not end by itself";
  std::ifstream f(dir.file("AppLog.txt"), std::ios::binary);
  std::ostringstream log;
  log << f.rdbuf();
  const std::string text = log.str();
  const size_t started = text.find("文字コードバッファの初期化を行います... 完了しました");
  const size_t closed = text.find("ソフトを終了する準備が整いました");
  const size_t dump = text.rfind("Alloc memory dump");
  ASSERT_NE(started, std::string::npos);
  ASSERT_NE(closed, std::string::npos);
  ASSERT_NE(dump, std::string::npos);
  EXPECT_LT(started, closed);
  EXPECT_LT(closed, dump);
}

TEST(WindowProgramTest, HoldingSpaceNeitherHangsAnUnattendedRunNorStopsTheTitleComingBack) {
  // Space held sends every scene back to the reset before anything is
  // shown; the frame limit and the script must still move on.
  const std::string program = ProgramPath();
  if (program.empty()) GTEST_SKIP() << "program not built";
  ScopedTempDir dir;
  std::ofstream(dir.file("script.txt")) << "3 SPACE down\n60 SPACE up\n";
  std::filesystem::create_directory(dir.file("frames"));
  const int code = RunProgram(program, dir.path().string(),
                              {"KESTO_QUIT_AFTER_FRAMES=70",
                               "KESTO_INPUT_SCRIPT=" + dir.file("script.txt"),
                               "KESTO_CAPTURE_DIR=" + dir.file("frames")});
  EXPECT_NE(code, -1) << "did not end by itself";
  // The title is shown again once Space is up.
  int frames = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.file("frames"))) {
    (void)e;
    ++frames;
  }
  EXPECT_GT(frames, 3);
}

}  // namespace
