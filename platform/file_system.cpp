#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

namespace platform {
namespace {

struct ReadFault {
  std::string suffix;
  int64_t good_bytes = 0;
  std::set<int> descriptors;  // opened while the fault was set
};

ReadFault& Fault() {
  static auto* fault = new ReadFault();
  return *fault;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return !end.empty() && text.size() >= end.size() &&
         text.compare(text.size() - end.size(), end.size(), end) == 0;
}

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
  // Non-blocking, or the open of a FIFO would wait for a writer.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return -1;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    close(fd);
    errno = error;
    return -1;
  }
  const int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  ReadFault& fault = Fault();
  fault.descriptors.erase(fd);  // a number reused after a close
  if (EndsWith(path, fault.suffix)) fault.descriptors.insert(fd);
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
  if (other.empty()) {
    errno = ENOENT;
    return -1;
  }
  return OpenRegular(other);
}

int64_t FileSizeOf(int fd) {
  struct stat st {};
  if (fstat(fd, &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

int64_t ReadFileBytes(int fd, void* dest, size_t bytes) {
  size_t done = 0;
  auto* out = static_cast<char*>(dest);
  int64_t allowed = INT64_MAX;
  if (Fault().descriptors.count(fd) != 0) {
    const off_t at = lseek(fd, 0, SEEK_CUR);
    allowed = at < 0 ? 0 : Fault().good_bytes - at;
  }
  while (done < bytes) {
    if (static_cast<int64_t>(done) >= allowed) {
      errno = EIO;
      return -1;
    }
    const size_t want = static_cast<size_t>(std::min<int64_t>(
        static_cast<int64_t>(bytes - done), allowed - static_cast<int64_t>(done)));
    const ssize_t n = read(fd, out + done, want);
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<int64_t>(done);
}

int ReadWholeFile(const char* path, size_t max_bytes, std::vector<uint8_t>* bytes) {
  bytes->clear();
  const int fd = OpenFileForRead(path);
  if (fd < 0) return errno != 0 ? errno : EIO;
  int error = 0;
  const int64_t size = FileSizeOf(fd);
  if (size < 0) {
    error = errno;
  } else if (static_cast<uint64_t>(size) > max_bytes) {
    error = EFBIG;
  } else {
    bytes->resize(static_cast<size_t>(size));
    const int64_t got = ReadFileBytes(fd, bytes->data(), bytes->size());
    if (got < 0) {
      error = errno != 0 ? errno : EIO;
    } else {
      bytes->resize(static_cast<size_t>(got));  // it may have shrunk meanwhile
    }
  }
  CloseFile(fd);
  if (error != 0) bytes->clear();
  return error;
}

std::string FileErrorText(int error) {
  if (error == EINVAL) return "not a regular file (a FIFO, device or socket)";
  if (error == EFBIG) return "larger than any file of its kind";
  return std::strerror(error);
}

bool SeekFileTo(int fd, int64_t position) {
  if (position < 0) return false;
  return lseek(fd, static_cast<off_t>(position), SEEK_SET) == static_cast<off_t>(position);
}

int CloseFile(int fd) {
  Fault().descriptors.erase(fd);
  return close(fd) == 0 ? 0 : -1;
}

void FailReadsForTesting(const std::string& suffix, int64_t good_bytes) {
  Fault().suffix = suffix;
  Fault().good_bytes = good_bytes;
  Fault().descriptors.clear();
}

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
