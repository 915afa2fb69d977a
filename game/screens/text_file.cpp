#include "screens/text_file.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>

#include "shell/menu.h"

TextFileReader::TextFileReader(const char* path) {
  file_ = std::fopen(path, "rb");
  if (file_ == nullptr) open_error_ = errno;
}

TextFileReader::TextFileReader(std::FILE* file) : file_(file) {
  if (file_ == nullptr) open_error_ = EINVAL;
}

TextFileReader::~TextFileReader() { Close(); }

void TextFileReader::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

namespace {

bool IsSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }

}  // namespace

int TextFileReader::ReadInt(int32_t* out) {
  if (file_ == nullptr) return kReadAtEnd;
  int c;
  do {
    c = std::getc(file_);
  } while (IsSpace(c));
  if (c == EOF) return kReadAtEnd;
  bool negative = false;
  if (c == '+' || c == '-') {
    negative = c == '-';
    c = std::getc(file_);
    // The sign has been taken whatever follows it.
    if (c == EOF) return kReadNotANumber;
  }
  if (!IsDigit(c)) {
    std::ungetc(c, file_);
    return kReadNotANumber;
  }
  int64_t value = 0;
  while (IsDigit(c)) {
    if (value <= INT64_C(0xFFFFFFFF)) value = value * 10 + (c - '0');
    c = std::getc(file_);
  }
  if (c != EOF) std::ungetc(c, file_);
  if (negative) value = -value;
  if (value > INT32_MAX) value = INT32_MAX;
  if (value < INT32_MIN) value = INT32_MIN;
  *out = static_cast<int32_t>(value);
  return kReadStored;
}

int TextFileReader::ReadIntLine(int32_t* out) {
  int r = ReadInt(out);
  if (r != kReadStored) return r;
  int c;
  do {
    c = std::getc(file_);
  } while (IsSpace(c));
  if (c != EOF) std::ungetc(c, file_);
  return r;
}

bool TextFileReader::ReadShortLine(char buffer[4]) {
  if (file_ == nullptr) return false;
  return std::fgets(buffer, 4, file_) != nullptr;
}

int TextFileReader::SkipBlankAndComments() {
  if (file_ == nullptr) return kReadAtEnd;
  return ::SkipBlankAndComments(file_);
}

void SanitizeName(char name[4]) {
  name[3] = '\0';
  bool ended = false;
  for (int i = 0; i < 3; ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (c == '\0') ended = true;
    if (ended) {
      name[i] = '\0';
      continue;
    }
    const bool drawable = (c >= 'A' && c <= 'Z') || IsDigit(c) || std::strchr(" !'*,./?_", c) != nullptr;
    if (!drawable) name[i] = '_';
  }
}

void LogFileProblem(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::fputs("saved files: ", stderr);
  std::vfprintf(stderr, format, args);
  std::fputc('\n', stderr);
  va_end(args);
}
