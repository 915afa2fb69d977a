// A fresh directory for one test, removed afterwards. Tests that write files
// (the log, saved files) work inside one, since ctest runs tests in parallel.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

class ScopedTempDir {
 public:
  explicit ScopedTempDir(bool enter = false) {
    std::string pattern = (std::filesystem::temp_directory_path() / "kesto-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    path_ = made ? made : "";
    if (enter && made) {
      previous_ = std::filesystem::current_path();
      std::filesystem::current_path(path_);
    }
  }
  ~ScopedTempDir() {
    std::error_code ec;
    if (!previous_.empty()) std::filesystem::current_path(previous_, ec);
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};
