// Files and directories for the library. Paths arrive in the library's
// Windows form (backslash separators, names in any case); they are turned
// into POSIX paths here and nowhere else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Backslashes become slashes; nothing else changes.
std::string ToNativePath(const char* path);

// Opens an existing regular file for reading. When the exact path is missing,
// each component is looked up again ignoring ASCII case, as on Windows.
// Anything but a regular file (a folder, a FIFO, a device) is refused at
// once, never waited on. Returns a descriptor, or -1 with errno set.
int OpenFileForRead(const char* path);
// Size of an open file, or -1.
int64_t FileSizeOf(int fd);
// Reads up to `bytes` at the current offset, retrying short and interrupted
// reads until the end; returns the bytes read, or -1 on an error.
int64_t ReadFileBytes(int fd, void* dest, size_t bytes);
// Reads a whole regular file (opened as OpenFileForRead does) into `bytes`.
// Returns 0, or the cause as an errno value: ENOENT missing, EISDIR a folder,
// EINVAL not a regular file (a FIFO, a device), EFBIG larger than
// `max_bytes` (a size no real file of its kind reaches: reading it would only
// exhaust memory), or the error of the open or of a read.
int ReadWholeFile(const char* path, size_t max_bytes, std::vector<uint8_t>* bytes);
// The cause ReadWholeFile or OpenFileForRead gave, in words.
std::string FileErrorText(int error);
// Moves the offset to `position` from the start; false when refused.
bool SeekFileTo(int fd, int64_t position);
// 0 when the close succeeded, -1 otherwise.
int CloseFile(int fd);

// Deletes a file; false when it did not exist or could not be removed.
bool DeleteFileAt(const char* path);
// Creates an empty file that must not exist yet; false on failure.
bool CreateNewFile(const char* path);
// Appends bytes to a file (created when missing) in one open-write-close, so
// that what was written survives an abrupt end. False when it could not be
// opened or written.
bool AppendToFile(const char* path, const void* data, size_t bytes);

// The current directory into `dest` of `size` bytes, NUL included. Returns
// its length, or 0 when it does not fit or cannot be read (dest is then "").
uint32_t GetCurrentDir(char* dest, size_t size);
// Makes a directory current; true on success.
bool SetCurrentDir(const char* path);

// Tests: reads of files opened from now on whose path ends in `suffix` fail
// with an I/O error once `good_bytes` of the file have been read; an empty
// suffix stops it.
void FailReadsForTesting(const std::string& suffix, int64_t good_bytes);

// Debugger output: written to stderr when KESTO_DEBUG_OUTPUT is set in the
// environment, dropped otherwise.
void DebugOutput(const char* text);

}  // namespace platform
