// Reading the game's saved text files with the rules of C formatted input, so
// that files written by earlier versions read back exactly as before.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdio>

// Results of a number read, as formatted input gives them.
inline constexpr int kReadStored = 1;
inline constexpr int kReadNotANumber = 0;  // the offending character stays unread
inline constexpr int kReadAtEnd = EOF;

class TextFileReader {
 public:
  // Opens `path` for reading.
  explicit TextFileReader(const char* path);
  // Takes over an open stream (a memory stream, for instance).
  explicit TextFileReader(std::FILE* file);
  ~TextFileReader();
  TextFileReader(const TextFileReader&) = delete;
  TextFileReader& operator=(const TextFileReader&) = delete;

  bool is_open() const { return file_ != nullptr; }
  // The file does not exist (as opposed to existing but not opening).
  bool missing() const { return open_error_ == ENOENT; }
  int open_error() const { return open_error_; }

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
  void Close();

 private:
  std::FILE* file_ = nullptr;
  int open_error_ = 0;
};

// A name read from a file, made drawable: bytes outside the font's glyph set
// (A-Z, 0-9, blank and ! ' * , . / ? _) become "_"; the fourth byte is the end.
void SanitizeName(char name[4]);

// One line on the error stream about a saved file.
void LogFileProblem(const char* format, ...) __attribute__((format(printf, 1, 2)));
