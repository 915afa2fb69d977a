#include "core/data_stream.h"

#include <cstring>

#include "core/tracked_memory.h"
#include "platform/file_system.h"

namespace {

// Seek target from an origin, or -1 for an unknown origin.
bool SeekTarget(int origin, int32_t offset, int64_t position, int64_t size, int64_t* target) {
  switch (origin) {
    case kStreamSeekStart: *target = offset; return true;
    case kStreamSeekCurrent: *target = position + offset; return true;
    case kStreamSeekEnd: *target = size + offset; return true;
    default: return false;
  }
}

// Whole elements of `element_size` that fit in `remaining` bytes, at most
// `count`, without forming the product (it may not fit in any integer).
size_t WholeElements(size_t element_size, size_t count, size_t remaining) {
  const size_t fit = remaining / element_size;
  return count < fit ? count : fit;
}

// --- Files -----------------------------------------------------------------

void* SystemOpen(const char* path) {
  auto* r = static_cast<Win32FileRecord*>(AllocTracked(sizeof(Win32FileRecord), "KsWin", __LINE__));
  if (!r) return nullptr;
  const int fd = platform::OpenFileForRead(path);
  const int64_t size = fd >= 0 ? platform::FileSizeOf(fd) : -1;
  if (fd < 0 || size < 0 || size > UINT32_MAX) {
    if (fd >= 0) platform::CloseFile(fd);
    FreeTracked(r);
    return nullptr;
  }
  r->file = fd;
  r->end_flag = 0;
  r->position = 0;
  r->size = static_cast<uint32_t>(size);
  return r;
}

int SystemClose(void* file) {
  auto* r = static_cast<Win32FileRecord*>(file);
  const int result = platform::CloseFile(r->file);
  FreeTracked(r);
  return result;
}

int32_t SystemTell(void* file) {
  return static_cast<int32_t>(static_cast<Win32FileRecord*>(file)->position);
}

int SystemSeek(void* file, int32_t offset, int origin) {
  auto* r = static_cast<Win32FileRecord*>(file);
  int64_t target = 0;
  if (!SeekTarget(origin, offset, r->position, r->size, &target)) return -1;
  // Past the end is allowed, as on the system; before the start is refused.
  if (target > UINT32_MAX || !platform::SeekFileTo(r->file, target)) return -1;
  r->position = static_cast<uint32_t>(target);
  r->end_flag = 0;
  return 0;
}

size_t SystemRead(void* dest, size_t element_size, size_t count, void* file) {
  auto* r = static_cast<Win32FileRecord*>(file);
  // Reading nothing is not the end of the data.
  if (element_size == 0 || count == 0) return 0;
  // At or past the end (a seek may have gone beyond it).
  if (r->position >= r->size) {
    r->end_flag = 1;
    return 0;
  }
  const size_t n = WholeElements(element_size, count, r->size - r->position);
  if (n == 0) {
    r->end_flag = 1;
    return 0;
  }
  const int64_t got = platform::ReadFileBytes(r->file, dest, element_size * n);
  if (got <= 0) return 0;
  // Advance by what was read, so the next read starts where this one ended.
  r->position += static_cast<uint32_t>(got);
  return static_cast<size_t>(got) / element_size;
}

int SystemEndOfData(void* file) { return static_cast<Win32FileRecord*>(file)->end_flag; }
int AlwaysIdle(void*) { return 1; }
int SystemSetCurrentDir(const char* path) { return platform::SetCurrentDir(path) ? 1 : 0; }
int SystemGetCurrentDir(char* dest) {
  return static_cast<int>(platform::GetCurrentDir(dest, kCurrentDirSize));
}

const FileAccessOps kSystemOps = {SystemOpen,      SystemClose, SystemTell,
                                  SystemSeek,      SystemRead,  SystemEndOfData,
                                  AlwaysIdle,      SystemSetCurrentDir, SystemGetCurrentDir};

FileAccessOps g_ops = kSystemOps;

// --- Tables ----------------------------------------------------------------

int FileStreamClose(void* h) { return CallFileClose(h); }

const StreamOps kFileStreamTable = {CallFileTell,      CallFileSeek, CallFileRead,
                                    CallFileEndOfData, CallFileIdle, FileStreamClose};
const StreamOps kMemoryStreamTable = {MemoryStreamTell,      MemoryStreamSeek,
                                      MemoryStreamRead,      MemoryStreamEndOfData,
                                      MemoryStreamIdle,      CloseMemoryStream};

}  // namespace

const FileAccessOps& SystemFileAccessOps() { return kSystemOps; }
void InstallFileAccessOps(const FileAccessOps& ops) { g_ops = ops; }
const FileAccessOps& CurrentFileAccessOps() { return g_ops; }

void* CallFileOpen(const char* path) { return g_ops.open(path); }
int CallFileClose(void* file) { return g_ops.close(file); }
int32_t CallFileTell(void* file) { return g_ops.tell(file); }
int CallFileSeek(void* file, int32_t offset, int origin) { return g_ops.seek(file, offset, origin); }
size_t CallFileRead(void* dest, size_t element_size, size_t count, void* file) {
  return g_ops.read(dest, element_size, count, file);
}
int CallFileEndOfData(void* file) { return g_ops.end_of_data(file); }
int CallFileIdle(void* file) { return g_ops.idle(file); }
int CallSetCurrentDir(const char* path) { return g_ops.set_current_dir(path); }
int CallGetCurrentDir(char* dest) { return g_ops.get_current_dir(dest); }

const StreamOps& GetFileStreamTable() { return kFileStreamTable; }
const StreamOps& GetMemoryStreamTable() { return kMemoryStreamTable; }

// --- Memory ----------------------------------------------------------------

void* OpenMemoryStream(const void* data, uint32_t size) {
  auto* r = static_cast<MemoryStreamRecord*>(
      AllocTracked(sizeof(MemoryStreamRecord), "KsWin", __LINE__));
  if (!r) return nullptr;
  r->data = static_cast<const uint8_t*>(data);
  r->size = size;
  r->position = 0;
  r->end_flag = 0;
  return r;
}

int CloseMemoryStream(void* stream) {
  FreeTracked(stream);
  return 0;
}

int32_t MemoryStreamTell(void* stream) {
  return static_cast<int32_t>(static_cast<MemoryStreamRecord*>(stream)->position);
}

int MemoryStreamSeek(void* stream, int32_t offset, int origin) {
  auto* r = static_cast<MemoryStreamRecord*>(stream);
  int64_t target = 0;
  if (!SeekTarget(origin, offset, r->position, r->size, &target)) return -1;
  if (target < 0) target = 0;
  if (target > r->size) target = r->size;
  r->position = static_cast<uint32_t>(target);
  r->end_flag = 0;
  return 0;
}

size_t MemoryStreamRead(void* dest, size_t element_size, size_t count, void* stream) {
  auto* r = static_cast<MemoryStreamRecord*>(stream);
  // Reading nothing copies nothing (it must not take the partial-element path).
  if (element_size == 0 || count == 0) return 0;
  if (r->position >= r->size) {
    r->end_flag = 1;
    return 0;
  }
  const size_t remaining = r->size - r->position;
  const size_t n = WholeElements(element_size, count, remaining);
  if (n > 0) {
    std::memcpy(dest, r->data + r->position, element_size * n);
    r->position += static_cast<uint32_t>(element_size * n);
    r->end_flag = 0;
    return n;
  }
  // Less than one element remains: it is delivered and counted as one.
  std::memcpy(dest, r->data + r->position, remaining);
  r->position = r->size;
  r->end_flag = 0;
  return 1;
}

int MemoryStreamEndOfData(void* stream) {
  return static_cast<MemoryStreamRecord*>(stream)->end_flag;
}
int MemoryStreamIdle(void*) { return 1; }

DataStream OpenFileDataStream(const char* path) {
  void* h = CallFileOpen(path);
  if (!h) return DataStream{};
  return DataStream{GetFileStreamTable(), h};
}

DataStream OpenMemoryDataStream(const void* data, uint32_t size) {
  void* h = OpenMemoryStream(data, size);
  if (!h) return DataStream{};
  return DataStream{GetMemoryStreamTable(), h};
}
