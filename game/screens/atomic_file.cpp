#include "screens/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <vector>

#include "screens/text_file.h"

namespace {

AtomicWriteFault g_fault = AtomicWriteFault::kNone;

struct Guard {
  SaveGuard guard;
  std::string reason;
};

std::map<std::string, Guard>& Guards() {
  static auto* guards = new std::map<std::string, Guard>();
  return *guards;
}

const Guard* GuardFor(const std::string& path) {
  auto it = Guards().find(path);
  return it == Guards().end() ? nullptr : &it->second;
}

// The damaged file at `path` moved to <path>.bad, right before the new file
// takes its place. True when nothing stands in the way of replacing it.
bool KeepDamagedFile(const std::string& path) {
  const std::string kept = path + ".bad";
  if (::rename(path.c_str(), kept.c_str()) == 0) {
    LogFileProblem("%s: the damaged file is kept as %s", path.c_str(), kept.c_str());
    return true;
  }
  if (errno == ENOENT) return true;  // gone meanwhile: nothing left to keep
  LogFileProblem(
      "%s: not saved: the damaged file cannot be kept as %s (%s), so it is left as it is",
      path.c_str(), kept.c_str(), std::strerror(errno));
  return false;
}

// mkstemp's names: the writer's pattern, six letters or digits after it.
bool IsTemporaryName(const std::string& name) {
  const size_t at = name.rfind(".tmp-");
  if (at == std::string::npos || at == 0 || name.size() - at != 11) return false;
  for (size_t i = at + 5; i < name.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (!std::isalnum(c)) return false;
  }
  return true;
}

std::string ParentOf(const std::string& path) {
  std::filesystem::path parent = std::filesystem::path(path).parent_path();
  return parent.empty() ? std::string(".") : parent.string();
}

bool WriteAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = ENOSPC;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// Makes the rename itself durable; a failure here loses nothing already
// written, so it is not reported.
void SyncFolder(const std::string& folder) {
  int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return;
  ::fsync(dir);
  ::close(dir);
}

}  // namespace

void SetAtomicWriteFaultForTesting(AtomicWriteFault fault) { g_fault = fault; }

void SetSaveGuard(const char* path, SaveGuard guard, const std::string& reason) {
  if (guard == SaveGuard::kReplace) {
    Guards().erase(path);
  } else {
    Guards()[path] = Guard{guard, reason};
  }
}

SaveGuard SaveGuardOf(const char* path) {
  const Guard* g = GuardFor(path);
  return g != nullptr ? g->guard : SaveGuard::kReplace;
}

void ClearSaveGuardsForTesting() { Guards().clear(); }

int RemoveLeftoverTemporaryFiles(const char* folder) {
  int removed = 0;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code type_ec;
    if (!IsTemporaryName(name) || !it->is_regular_file(type_ec) || it->is_symlink(type_ec))
      continue;
    if (::unlink(it->path().c_str()) == 0) {
      LogFileProblem("%s: removed, left by a save that did not finish", it->path().c_str());
      ++removed;
    }
  }
  return removed;
}

AtomicFileWriter::AtomicFileWriter(const char* path) : path_(path) {
  if (const Guard* g = GuardFor(path_); g != nullptr && g->guard == SaveGuard::kNeverReplace) {
    LogFileProblem(
        "%s: not saved: the file could not be read at start (%s), so it is left as it is",
        path_.c_str(), g->reason.c_str());
    return;
  }
  const std::string folder = ParentOf(path_);
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    LogFileProblem("%s: cannot make the folder %s: %s", path_.c_str(), folder.c_str(),
                   ec.message().c_str());
    return;
  }
  std::string pattern = path_ + ".tmp-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  fd_ = ::mkstemp(name.data());
  if (fd_ < 0) {
    LogFileProblem("%s: cannot create a temporary file: %s", path_.c_str(), std::strerror(errno));
    return;
  }
  temp_path_ = name.data();
  // mkstemp makes the file private; give it the permissions a plain create
  // would have.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd_, 0666 & ~mask);
}

AtomicFileWriter::~AtomicFileWriter() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temp_path_.empty() && g_fault != AtomicWriteFault::kCrashBeforeRename) {
    ::unlink(temp_path_.c_str());
  }
}

void AtomicFileWriter::AppendInt(long long value, char after) {
  char text[24];
  auto result = std::to_chars(text, text + sizeof text, value);
  contents_.append(text, result.ptr);
  contents_.push_back(after);
}

bool AtomicFileWriter::Commit() {
  if (fd_ < 0) return false;
  const int fd = fd_;
  fd_ = -1;
  const char* step = "write";
  bool good = g_fault != AtomicWriteFault::kFailWrite && WriteAll(fd, contents_);
  if (!good && g_fault == AtomicWriteFault::kFailWrite) errno = ENOSPC;
  if (good) {
    step = "flush";
    good = ::fsync(fd) == 0;
  }
  const int saved_errno = errno;
  if (::close(fd) != 0 && good) {
    step = "close";
    good = false;
  } else {
    errno = saved_errno;
  }
  if (good && g_fault == AtomicWriteFault::kCrashBeforeRename) return false;
  if (good) {
    const Guard* g = GuardFor(path_);
    if (g != nullptr && g->guard == SaveGuard::kKeepDamagedAsBad) {
      if (!KeepDamagedFile(path_)) return false;
      Guards().erase(path_);
    }
    step = "rename";
    good = ::rename(temp_path_.c_str(), path_.c_str()) == 0;
  }
  if (!good) {
    LogFileProblem("%s: not saved (%s failed: %s); the previous file is kept", path_.c_str(), step,
                   std::strerror(errno));
    return false;
  }
  committed_ = true;
  SyncFolder(ParentOf(path_));
  return true;
}

bool WriteFileAtomically(const char* path, std::string_view contents) {
  AtomicFileWriter writer(path);
  if (!writer.ok()) return false;
  writer.Append(contents);
  return writer.Commit();
}
