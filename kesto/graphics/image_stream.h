// The byte source image loaders read from: a file or a block of memory,
// with a position that loaders move back to the start between tries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class ImageStream {
 public:
  virtual ~ImageStream() = default;
  virtual int64_t Tell() = 0;
  // origin 0: from the start, 1: from the position, 2: from the end. False
  // when refused; the position is then unchanged.
  virtual bool Seek(int64_t offset, int origin) = 0;
  // Bytes actually read (fewer at the end of the data).
  virtual size_t Read(void* dst, size_t bytes) = 0;

  bool ReadExact(void* dst, size_t bytes) { return Read(dst, bytes) == bytes; }
  // The whole size, measured by seeking to the end and back.
  int64_t Size();
  // Bytes from the position to the end.
  int64_t Remaining();
};

// A stream over memory the caller keeps alive; seeks are clamped to the data.
std::unique_ptr<ImageStream> OpenImageMemoryStream(const void* data, size_t size);
// The one place image loading opens files; null when the file cannot be read.
std::unique_ptr<ImageStream> OpenImageFileStream(const char* path);
