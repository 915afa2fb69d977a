// Data streams as the sound layer reads them: six operations and a handle,
// over a block of memory or a file.
#pragma once

#include <cstddef>
#include <cstdint>

struct StreamOps {
  int64_t (*tell)(void* handle);
  // origin: 0 from the start, 1 from the position, 2 from the end
  int (*seek)(void* handle, int64_t offset, int origin);
  // Reads whole elements only; returns how many.
  size_t (*read)(void* buffer, size_t size, size_t count, void* handle);
  int (*end_of_data)(void* handle);
  int (*idle)(void* handle);
  int (*close)(void* handle);
};

struct DataStream {
  StreamOps ops;
  void* handle;
};

// Memory streams: the data is not copied and must outlive the stream. Seeks
// are clamped to the block.
const StreamOps& MemoryStreamOps();
void* OpenMemoryStream(const void* data, size_t size);
int CloseMemoryStream(void* handle);

// File streams; a path may use backslashes. Null when the file cannot be opened.
const StreamOps& FileStreamOps();
void* OpenFileStream(const char* path);
int CloseFileStream(void* handle);

// The stream's length (tell after a seek to the end); the position is kept.
int64_t StreamLength(const DataStream& stream);
