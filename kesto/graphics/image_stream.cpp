#include "graphics/image_stream.h"

#include <algorithm>
#include <limits>

#include "core/data_stream.h"

namespace {

// A data stream of the core (over a file or memory) seen through the
// loaders' interface; closing it is this object's job.
class CoreStream final : public ImageStream {
 public:
  explicit CoreStream(const DataStream& stream) : stream_(stream) {}
  ~CoreStream() override { stream_.ops.close(stream_.handle); }
  int64_t Tell() override { return stream_.ops.tell(stream_.handle); }
  bool Seek(int64_t offset, int origin) override {
    if (offset < std::numeric_limits<int32_t>::min() ||
        offset > std::numeric_limits<int32_t>::max()) {
      return false;
    }
    return stream_.ops.seek(stream_.handle, static_cast<int32_t>(offset), origin) == 0;
  }
  // Bytes as one-byte elements: both kinds of stream then count exactly.
  size_t Read(void* dst, size_t bytes) override {
    if (bytes == 0) return 0;
    return stream_.ops.read(dst, 1, bytes, stream_.handle);
  }

 private:
  DataStream stream_;
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
  // Streams count in 32 bits; no image comes near that.
  const DataStream s = OpenMemoryDataStream(
      data, static_cast<uint32_t>(std::min<size_t>(size, std::numeric_limits<uint32_t>::max())));
  if (!s.handle) return nullptr;
  return std::make_unique<CoreStream>(s);
}

std::unique_ptr<ImageStream> OpenImageFileStream(const char* path) {
  if (!path || !*path) return nullptr;
  const DataStream s = OpenFileDataStream(path);
  if (!s.handle) return nullptr;
  return std::make_unique<CoreStream>(s);
}
