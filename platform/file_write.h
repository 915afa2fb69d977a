// Writing a file whole or not at all: the bytes go to a temporary file
// beside the target, which takes the target's name only once everything is
// written, so a reader never finds a half-written file under that name.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

class AtomicFileWriter {
 public:
  AtomicFileWriter() = default;
  ~AtomicFileWriter();  // an unfinished file is thrown away
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Opens the temporary file for `path` (library form). False on failure.
  bool Open(const char* path);
  bool Write(const void* data, size_t bytes);
  // Moves the written file into place; false (and the target untouched)
  // when that fails.
  bool Commit();
  // Throws the written bytes away; the target stays as it was.
  void Discard();
  bool is_open() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
  std::string target_;
  std::string temporary_;
};

}  // namespace platform
