// Runs the real program headless in a folder of the test's, the way CI and
// unattended checks do, with a bound on real time.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace program_run {

// The program built beside the tests (they run in the build's tests
// folder); empty when it was not built.
inline std::string ProgramPath() {
  const std::filesystem::path p = std::filesystem::current_path() / ".." / "game" / "halcyris";
  return std::filesystem::exists(p) ? std::filesystem::canonical(p).string() : std::string();
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

struct Result {
  int exit_code = -1;  // -1: killed by a signal or by the time bound
  std::string err;     // what it wrote on stderr
};

// Runs `program` in `dir` with the dummy drivers, a lock file of its own in
// `dir` (unless `env` names another) and `env` added.
inline Result Run(const std::string& program, const std::string& dir,
                  const std::vector<std::string>& env, int max_seconds = 120) {
  const std::string err_path = dir + "/stderr.txt";
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(120);
    const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (err >= 0) dup2(err, 2);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("KESTO_INSTANCE_LOCK", (dir + "/Kesto.lock").c_str(), 1);
    for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(121);
  }
  Result r;
  int status = 0;
  bool killed = false;
  for (int waited_ms = 0; waitpid(pid, &status, WNOHANG) == 0; waited_ms += 20) {
    if (waited_ms > max_seconds * 1000) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      killed = true;
      break;
    }
    usleep(20000);
  }
  if (!killed && WIFEXITED(status)) r.exit_code = WEXITSTATUS(status);
  r.err = ReadFile(err_path);
  return r;
}

}  // namespace program_run
