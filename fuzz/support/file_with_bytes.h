// The fuzz input as an open temporary file, positioned at its start, for
// readers that take a FILE*. nullptr when no temporary file can be made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

inline std::FILE* FileWithBytes(const uint8_t* data, size_t size) {
  std::FILE* f = std::tmpfile();
  if (f == nullptr) return nullptr;
  if (size != 0) std::fwrite(data, 1, size, f);
  std::rewind(f);
  return f;
}
