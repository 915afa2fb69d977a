// The ways a file the game reads can fail it, set up in place of one path:
// missing, no permission, a folder, a FIFO, a read error part-way, a file
// cut short, values out of range. Tests that run as root (CI may) cannot
// lock themselves out with permissions, so there the open is failed
// through the reader's test seam instead.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "screens/text_file.h"

namespace file_trouble {

enum class Trouble { kMissing, kNoPermission, kFolder, kFifo, kReadError, kCut, kOutOfRange };

inline constexpr Trouble kAllTroubles[] = {
    Trouble::kMissing,   Trouble::kNoPermission, Trouble::kFolder,    Trouble::kFifo,
    Trouble::kReadError, Trouble::kCut,          Trouble::kOutOfRange};

inline const char* NameOf(Trouble t) {
  switch (t) {
    case Trouble::kMissing:
      return "missing";
    case Trouble::kNoPermission:
      return "no permission";
    case Trouble::kFolder:
      return "a folder";
    case Trouble::kFifo:
      return "a FIFO";
    case Trouble::kReadError:
      return "a read error";
    case Trouble::kCut:
      return "cut short";
    case Trouble::kOutOfRange:
      return "out of range";
  }
  return "?";
}

// The file cannot be read at all (as opposed to read and found damaged).
inline bool Unreadable(Trouble t) {
  return t == Trouble::kNoPermission || t == Trouble::kFolder || t == Trouble::kFifo ||
         t == Trouble::kReadError;
}

// What a message about the trouble names as its cause.
inline const char* CauseOf(Trouble t) {
  switch (t) {
    case Trouble::kNoPermission:
      return "Permission denied";
    case Trouble::kFolder:
      return "a folder, not a file";
    case Trouble::kFifo:
      return "not a regular file";
    case Trouble::kReadError:
      return "Input/output error";
    default:
      return "damaged";
  }
}

inline void Write(const std::string& path, const std::string& text) {
  const auto folder = std::filesystem::path(path).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder);
  std::ofstream(path, std::ios::binary) << text;
}

// The bytes of a regular file; "" for anything else (a folder would throw).
inline std::string Read(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return "";
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Puts the trouble at `path`. `good` is a sound file of its kind (kept by the
// unreadable cases, so that its bytes can be looked for afterwards); `cut`
// and `out_of_range` are the damaged contents of the last two cases.
inline void Arrange(const std::string& path, Trouble t, const std::string& good,
                    const std::string& cut, const std::string& out_of_range) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  switch (t) {
    case Trouble::kMissing:
      break;
    case Trouble::kNoPermission:
      Write(path, good);
      if (::geteuid() == 0) {
        InjectSavedFileFaultForTesting(path.c_str(), SavedFileFault::kDenyOpen);
      } else {
        ::chmod(path.c_str(), 0);
      }
      break;
    case Trouble::kFolder:
      Write(path + "/inside", good);
      break;
    case Trouble::kFifo:
      ::mkfifo(path.c_str(), 0644);
      break;
    case Trouble::kReadError:
      Write(path, good);
      InjectSavedFileFaultForTesting(path.c_str(), SavedFileFault::kFailReadAfter, 6);
      break;
    case Trouble::kCut:
      Write(path, cut);
      break;
    case Trouble::kOutOfRange:
      Write(path, out_of_range);
      break;
  }
}

// Lifts what Arrange did that stands between a test and the bytes on disk.
inline void LiftFaults(const std::string& path) {
  InjectSavedFileFaultForTesting(nullptr, SavedFileFault::kNone);
  std::error_code ec;
  if (std::filesystem::is_regular_file(path, ec)) ::chmod(path.c_str(), 0644);
}

// Whatever was at `path` before is still there, or kept as <path>.bad: the
// good bytes for an unreadable file, the folder or FIFO itself, the damaged
// bytes for a damaged one.
inline ::testing::AssertionResult OriginalKept(const std::string& path, Trouble t,
                                               const std::string& good, const std::string& cut,
                                               const std::string& out_of_range) {
  std::error_code ec;
  switch (t) {
    case Trouble::kMissing:
      return ::testing::AssertionSuccess();
    case Trouble::kNoPermission:
    case Trouble::kReadError:
      if (Read(path) == good) return ::testing::AssertionSuccess();
      return ::testing::AssertionFailure() << path << " no longer holds its bytes";
    case Trouble::kFolder:
      if (Read(path + "/inside") == good) return ::testing::AssertionSuccess();
      return ::testing::AssertionFailure() << "the folder " << path << " was touched";
    case Trouble::kFifo:
      if (std::filesystem::is_fifo(path, ec)) return ::testing::AssertionSuccess();
      return ::testing::AssertionFailure() << "the FIFO " << path << " was replaced";
    case Trouble::kCut:
    case Trouble::kOutOfRange: {
      const std::string& damaged = t == Trouble::kCut ? cut : out_of_range;
      if (Read(path + ".bad") == damaged || Read(path) == damaged)
        return ::testing::AssertionSuccess();
      return ::testing::AssertionFailure() << "the damaged bytes of " << path << " are gone";
    }
  }
  return ::testing::AssertionFailure();
}

}  // namespace file_trouble
