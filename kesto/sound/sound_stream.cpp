#include "sound/sound_stream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace {

struct MemoryStream {
  const uint8_t* data;
  size_t size;
  size_t position;
  int end;
};

int64_t MemTell(void* h) { return static_cast<int64_t>(static_cast<MemoryStream*>(h)->position); }

int MemSeek(void* h, int64_t offset, int origin) {
  auto* s = static_cast<MemoryStream*>(h);
  int64_t base = origin == 0 ? 0 : origin == 1 ? static_cast<int64_t>(s->position) : static_cast<int64_t>(s->size);
  int64_t target = base + offset;
  target = std::clamp<int64_t>(target, 0, static_cast<int64_t>(s->size));
  s->position = static_cast<size_t>(target);
  s->end = 0;
  return 0;
}

size_t MemRead(void* buffer, size_t size, size_t count, void* h) {
  auto* s = static_cast<MemoryStream*>(h);
  if (size == 0 || count == 0) return 0;
  const size_t whole = std::min(count, (s->size - s->position) / size);
  if (whole == 0) {
    s->end = 1;
    return 0;
  }
  std::memcpy(buffer, s->data + s->position, whole * size);
  s->position += whole * size;
  return whole;
}

int MemEnd(void* h) { return static_cast<MemoryStream*>(h)->end; }
int MemIdle(void*) { return 1; }
int MemClose(void* h) { return CloseMemoryStream(h); }

const StreamOps kMemoryOps = {MemTell, MemSeek, MemRead, MemEnd, MemIdle, MemClose};

struct FileStream {
  FILE* file;
  int end;
};

int64_t FileTell(void* h) { return static_cast<int64_t>(std::ftell(static_cast<FileStream*>(h)->file)); }

int FileSeek(void* h, int64_t offset, int origin) {
  auto* s = static_cast<FileStream*>(h);
  const int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : SEEK_END;
  std::fseek(s->file, static_cast<long>(offset), whence);
  s->end = 0;
  return 0;
}

size_t FileRead(void* buffer, size_t size, size_t count, void* h) {
  auto* s = static_cast<FileStream*>(h);
  if (size == 0 || count == 0) return 0;
  // Whole elements only: a short tail is left unread.
  const long here = std::ftell(s->file);
  std::fseek(s->file, 0, SEEK_END);
  const long end = std::ftell(s->file);
  std::fseek(s->file, here, SEEK_SET);
  const size_t whole = std::min(count, static_cast<size_t>(end > here ? end - here : 0) / size);
  if (whole == 0) {
    s->end = 1;
    return 0;
  }
  const size_t got = std::fread(buffer, size, whole, s->file);
  if (got == 0) s->end = 1;
  return got;
}

int FileEnd(void* h) { return static_cast<FileStream*>(h)->end; }
int FileIdle(void*) { return 1; }
int FileClose(void* h) { return CloseFileStream(h); }

const StreamOps kFileOps = {FileTell, FileSeek, FileRead, FileEnd, FileIdle, FileClose};

}  // namespace

const StreamOps& MemoryStreamOps() { return kMemoryOps; }

void* OpenMemoryStream(const void* data, size_t size) {
  auto* s = new (std::nothrow) MemoryStream{static_cast<const uint8_t*>(data), data != nullptr ? size : 0, 0, 0};
  return s;
}

int CloseMemoryStream(void* handle) {
  delete static_cast<MemoryStream*>(handle);
  return 0;
}

const StreamOps& FileStreamOps() { return kFileOps; }

void* OpenFileStream(const char* path) {
  if (path == nullptr) return nullptr;
  std::string local(path);
  std::replace(local.begin(), local.end(), '\\', '/');
  FILE* file = std::fopen(local.c_str(), "rb");
  if (file == nullptr) return nullptr;
  return new FileStream{file, 0};
}

int CloseFileStream(void* handle) {
  auto* s = static_cast<FileStream*>(handle);
  if (s == nullptr) return -1;
  const int r = std::fclose(s->file);
  delete s;
  return r == 0 ? 0 : -1;
}

int64_t StreamLength(const DataStream& stream) {
  const int64_t here = stream.ops.tell(stream.handle);
  stream.ops.seek(stream.handle, 0, 2);
  const int64_t size = stream.ops.tell(stream.handle);
  stream.ops.seek(stream.handle, here, 0);
  return size;
}
