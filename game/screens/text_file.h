// Reading the game's saved text files with the rules of C formatted input, so
// that files written by earlier versions read back exactly as before.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// Results of a number read, as formatted input gives them.
inline constexpr int kReadStored = 1;
inline constexpr int kReadNotANumber = 0;  // the offending character stays unread
inline constexpr int kReadAtEnd = EOF;

// No saved file the game writes comes near this (a replay, the largest, is
// under 3 MB); reading stops here as at the end of the file.
inline constexpr size_t kMaxSavedFileBytes = size_t{16} << 20;

class TextFileReader {
 public:
  // Opens `path` for reading. Only a regular file is read: a folder, a FIFO
  // or a device in its place is refused at once, without waiting on it.
  explicit TextFileReader(const char* path, size_t max_bytes = kMaxSavedFileBytes);
  // Takes over an open stream (a memory stream, for instance).
  explicit TextFileReader(std::FILE* file);
  ~TextFileReader();
  TextFileReader(const TextFileReader&) = delete;
  TextFileReader& operator=(const TextFileReader&) = delete;

  bool is_open() const { return file_ != nullptr; }
  // The file does not exist (as opposed to existing but not opening).
  bool missing() const { return open_error_ == ENOENT; }
  int open_error() const { return open_error_; }
  // The file is there but could not be opened or read to its end (no
  // permission, a folder, a FIFO or device, an I/O error): what was read says
  // nothing about what the file holds. Checked after reading.
  bool failed() const { return (open_error_ != 0 && !missing()) || read_error_ != 0; }
  // Why, for a message ("Permission denied", "a folder, not a file", ...).
  const char* failure() const { return failure_.c_str(); }

  // "%d": skips white space, then an optional sign and decimal digits. Values
  // beyond 32 bits saturate.
  int ReadInt(int32_t* out);
  // "%d\n": ReadInt, then, when a number was stored, any white space after it.
  int ReadIntLine(int32_t* out);
  // A line read of at most 3 characters (the line feed kept when it comes
  // first); false at the end of the file, leaving `buffer` unchanged.
  bool ReadShortLine(char buffer[4]);
  // Blanks, line ends and whole "#" lines.
  int SkipBlankAndComments();
  // Everything left, up to the byte limit, appended to `text`.
  void ReadRest(std::string* text);
  void Close();

 private:
  // One byte, or EOF at the end, at the byte limit or on a read error (which
  // is then kept in read_error_).
  int Get();
  void Unget(int c);

  std::FILE* file_ = nullptr;
  int open_error_ = 0;
  int read_error_ = 0;
  std::string failure_;
  size_t taken_ = 0;
  size_t limit_ = kMaxSavedFileBytes;
};

// A name read from a file, made drawable: bytes outside the font's glyph set
// (A-Z, 0-9, blank and ! ' * , . / ? _) become "_"; the fourth byte is the end.
void SanitizeName(char name[4]);

// One line on the error stream about a saved file.
void LogFileProblem(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Tests: the next opens of `path` (exactly as passed) fail as a disk would.
// kDenyOpen fails the open with "Permission denied" (for tests that run as
// root, where a file's permissions do not stop a read); kFailReadAfter lets
// `bytes` bytes through and then fails every read with an I/O error.
enum class SavedFileFault { kNone, kDenyOpen, kFailReadAfter };
void InjectSavedFileFaultForTesting(const char* path, SavedFileFault fault, size_t bytes = 0);
