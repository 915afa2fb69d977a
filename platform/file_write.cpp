#include "platform/file_write.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/file_system.h"

namespace platform {

AtomicFileWriter::~AtomicFileWriter() { Discard(); }

bool AtomicFileWriter::Open(const char* path) {
  Discard();
  if (!path || !*path) return false;
  target_ = ToNativePath(path);
  temporary_ = target_ + ".part";
  fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  return fd_ >= 0;
}

bool AtomicFileWriter::Write(const void* data, size_t bytes) {
  if (fd_ < 0) return false;
  const auto* p = static_cast<const char*>(data);
  while (bytes > 0) {
    const ssize_t n = ::write(fd_, p, bytes);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    bytes -= static_cast<size_t>(n);
  }
  return true;
}

bool AtomicFileWriter::Commit() {
  if (fd_ < 0) return false;
  const bool flushed = ::fsync(fd_) == 0;
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  if (!flushed || !closed || std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    ::unlink(temporary_.c_str());
    return false;
  }
  return true;
}

void AtomicFileWriter::Discard() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  ::unlink(temporary_.c_str());
}

}  // namespace platform
