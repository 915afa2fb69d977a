// Data streams: the readable sources of the image and sound loaders. A stream
// is a table of six operations and the handle of one open stream, over a file
// or over a block of memory. Files are reached only through the file-access
// table, which start-up fills.
#pragma once

#include <cstddef>
#include <cstdint>

// Origins of a seek.
constexpr int kStreamSeekStart = 0;
constexpr int kStreamSeekCurrent = 1;
constexpr int kStreamSeekEnd = 2;

struct FileAccessOps {
  void* (*open)(const char* path);
  int (*close)(void* file);
  int32_t (*tell)(void* file);
  int (*seek)(void* file, int32_t offset, int origin);
  size_t (*read)(void* dest, size_t element_size, size_t count, void* file);
  int (*end_of_data)(void* file);
  int (*idle)(void* file);
  int (*set_current_dir)(const char* path);
  int (*get_current_dir)(char* dest);  // dest holds 260 bytes
};

struct StreamOps {
  int32_t (*tell)(void* handle);
  int (*seek)(void* handle, int32_t offset, int origin);
  size_t (*read)(void* dest, size_t element_size, size_t count, void* handle);
  int (*end_of_data)(void* handle);
  int (*idle)(void* handle);
  int (*close)(void* handle);
};

struct DataStream {
  StreamOps ops;
  void* handle;
};

// A tracked block (source KsWin) per open file.
struct Win32FileRecord {
  int file;            // system descriptor
  int32_t end_flag;
  uint32_t position;
  uint32_t size;       // size when opened
};

// A tracked block (source KsWin) per memory stream; the data is not owned.
struct MemoryStreamRecord {
  const uint8_t* data;
  uint32_t size;
  uint32_t position;
  int32_t end_flag;
};

constexpr size_t kCurrentDirSize = 260;

// The table over the system's files; start-up installs it.
const FileAccessOps& SystemFileAccessOps();
void InstallFileAccessOps(const FileAccessOps& ops);
const FileAccessOps& CurrentFileAccessOps();

// Entry points over the installed file-access table.
void* CallFileOpen(const char* path);
int CallFileClose(void* file);
int32_t CallFileTell(void* file);
int CallFileSeek(void* file, int32_t offset, int origin);
size_t CallFileRead(void* dest, size_t element_size, size_t count, void* file);
int CallFileEndOfData(void* file);
int CallFileIdle(void* file);
int CallSetCurrentDir(const char* path);
int CallGetCurrentDir(char* dest);

const StreamOps& GetFileStreamTable();
const StreamOps& GetMemoryStreamTable();

// Null when the record cannot be allocated.
void* OpenMemoryStream(const void* data, uint32_t size);
int CloseMemoryStream(void* stream);
int32_t MemoryStreamTell(void* stream);
int MemoryStreamSeek(void* stream, int32_t offset, int origin);
size_t MemoryStreamRead(void* dest, size_t element_size, size_t count, void* stream);
int MemoryStreamEndOfData(void* stream);
int MemoryStreamIdle(void* stream);

// Conveniences for loaders: a ready DataStream over a file (ops zeroed and
// handle null when the file cannot be opened) or over memory.
DataStream OpenFileDataStream(const char* path);
DataStream OpenMemoryDataStream(const void* data, uint32_t size);
