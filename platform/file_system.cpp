#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

// Finds `name` in directory `dir` ignoring ASCII case; empty when absent.
std::string FindEntryIgnoringCase(const std::string& dir, const std::string& name) {
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return {};
  std::string found;
  while (dirent* e = readdir(d)) {
    if (strcasecmp(e->d_name, name.c_str()) == 0) {
      found = e->d_name;
      break;
    }
  }
  closedir(d);
  return found;
}

// Rebuilds a path whose components exist under other cases; empty when a
// component is missing in every case.
std::string ResolveIgnoringCase(const std::string& path) {
  std::string resolved;
  size_t pos = 0;
  if (!path.empty() && path[0] == '/') {
    resolved = "/";
    pos = 1;
  }
  while (pos <= path.size()) {
    size_t end = path.find('/', pos);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(pos, end - pos);
    pos = end + 1;
    if (part.empty() || part == "." || part == "..") {
      if (!part.empty()) resolved += part + "/";
      continue;
    }
    std::string candidate = resolved + part;
    struct stat st {};
    if (stat(candidate.c_str(), &st) != 0) {
      const std::string entry = FindEntryIgnoringCase(resolved, part);
      if (entry.empty()) return {};
      candidate = resolved + entry;
    }
    resolved = candidate;
    if (end < path.size()) resolved += "/";
  }
  return resolved;
}

int OpenRegular(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    errno = EISDIR;
    return -1;
  }
  return fd;
}

}  // namespace

std::string ToNativePath(const char* path) {
  std::string p = path ? path : "";
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

int OpenFileForRead(const char* path) {
  if (!path || !*path) return -1;
  const std::string native = ToNativePath(path);
  const int fd = OpenRegular(native);
  if (fd >= 0 || errno != ENOENT) return fd;
  const std::string other = ResolveIgnoringCase(native);
  return other.empty() ? -1 : OpenRegular(other);
}

int64_t FileSizeOf(int fd) {
  struct stat st {};
  if (fstat(fd, &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

int64_t ReadFileBytes(int fd, void* dest, size_t bytes) {
  size_t done = 0;
  auto* out = static_cast<char*>(dest);
  while (done < bytes) {
    const ssize_t n = read(fd, out + done, bytes - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<int64_t>(done);
}

bool SeekFileTo(int fd, int64_t position) {
  if (position < 0) return false;
  return lseek(fd, static_cast<off_t>(position), SEEK_SET) == static_cast<off_t>(position);
}

int CloseFile(int fd) { return close(fd) == 0 ? 0 : -1; }

bool DeleteFileAt(const char* path) { return unlink(ToNativePath(path).c_str()) == 0; }

bool CreateNewFile(const char* path) {
  const int fd = open(ToNativePath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  close(fd);
  return true;
}

bool AppendToFile(const char* path, const void* data, size_t bytes) {
  const int fd =
      open(ToNativePath(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const char* p = static_cast<const char*>(data);
  size_t done = 0;
  bool ok = true;
  while (done < bytes) {
    const ssize_t n = write(fd, p + done, bytes - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    done += static_cast<size_t>(n);
  }
  close(fd);
  return ok;
}

uint32_t GetCurrentDir(char* dest, size_t size) {
  if (!dest || size == 0) return 0;
  if (!getcwd(dest, size)) {
    dest[0] = '\0';
    return 0;
  }
  return static_cast<uint32_t>(std::strlen(dest));
}

bool SetCurrentDir(const char* path) {
  if (!path || !*path) return false;
  return chdir(ToNativePath(path).c_str()) == 0;
}

void DebugOutput(const char* text) {
  static const bool enabled = std::getenv("KESTO_DEBUG_OUTPUT") != nullptr;
  if (enabled && text) std::fputs(text, stderr);
}

}  // namespace platform
