#include "graphics/image_stream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

class MemoryStream final : public ImageStream {
 public:
  MemoryStream(const void* data, size_t size)
      : data_(static_cast<const uint8_t*>(data)), size_(data ? size : 0) {}
  int64_t Tell() override { return static_cast<int64_t>(pos_); }
  bool Seek(int64_t offset, int origin) override {
    int64_t base = 0;
    if (origin == 1) base = static_cast<int64_t>(pos_);
    if (origin == 2) base = static_cast<int64_t>(size_);
    const int64_t target = base + offset;
    pos_ = static_cast<size_t>(std::clamp<int64_t>(target, 0, static_cast<int64_t>(size_)));
    return true;
  }
  size_t Read(void* dst, size_t bytes) override {
    const size_t n = std::min(bytes, size_ - pos_);
    if (n) std::memcpy(dst, data_ + pos_, n);
    pos_ += n;
    return n;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

class FileStream final : public ImageStream {
 public:
  explicit FileStream(std::FILE* file) : file_(file) {}
  ~FileStream() override { std::fclose(file_); }
  int64_t Tell() override { return static_cast<int64_t>(ftello(file_)); }
  bool Seek(int64_t offset, int origin) override {
    const int whence = origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : SEEK_SET;
    return fseeko(file_, static_cast<off_t>(offset), whence) == 0;
  }
  size_t Read(void* dst, size_t bytes) override { return std::fread(dst, 1, bytes, file_); }

 private:
  std::FILE* file_;
};

}  // namespace

int64_t ImageStream::Size() {
  const int64_t here = Tell();
  if (!Seek(0, 2)) return here;
  const int64_t end = Tell();
  Seek(here, 0);
  return end;
}

int64_t ImageStream::Remaining() {
  const int64_t left = Size() - Tell();
  return left > 0 ? left : 0;
}

std::unique_ptr<ImageStream> OpenImageMemoryStream(const void* data, size_t size) {
  return std::make_unique<MemoryStream>(data, size);
}

std::unique_ptr<ImageStream> OpenImageFileStream(const char* path) {
  if (!path || !*path) return nullptr;
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return nullptr;
  return std::make_unique<FileStream>(f);
}
