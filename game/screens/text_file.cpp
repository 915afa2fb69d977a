#include "screens/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <map>

namespace {

struct InjectedFault {
  SavedFileFault kind;
  size_t bytes;
};

std::map<std::string, InjectedFault>& InjectedFaults() {
  static auto* faults = new std::map<std::string, InjectedFault>();
  return *faults;
}

// A stream over `fd` whose reads fail with EIO once `good_bytes` have been
// delivered, as a failing disk's would.
struct FailingStream {
  int fd;
  size_t left;
};

ssize_t FailingRead(void* cookie, char* buffer, size_t size) {
  auto* s = static_cast<FailingStream*>(cookie);
  if (s->left == 0) {
    errno = EIO;
    return -1;
  }
  const ssize_t n = ::read(s->fd, buffer, size < s->left ? size : s->left);
  if (n > 0) s->left -= static_cast<size_t>(n);
  return n;
}

int FailingClose(void* cookie) {
  auto* s = static_cast<FailingStream*>(cookie);
  const int r = ::close(s->fd);
  delete s;
  return r;
}

std::FILE* StreamOver(int fd, const InjectedFault* fault) {
  if (fault == nullptr || fault->kind != SavedFileFault::kFailReadAfter) return ::fdopen(fd, "rb");
  cookie_io_functions_t io{};
  io.read = FailingRead;
  io.close = FailingClose;
  auto* cookie = new FailingStream{fd, fault->bytes};
  std::FILE* f = ::fopencookie(cookie, "rb", io);
  if (f == nullptr) delete cookie;
  return f;
}

// Opens a regular file for reading without ever blocking (a FIFO would wait
// for a writer at the open). -1 with `*error` and `*why` set otherwise.
int OpenRegularForRead(const char* path, int* error, std::string* why) {
  auto fault = InjectedFaults().find(path);
  if (fault != InjectedFaults().end() && fault->second.kind == SavedFileFault::kDenyOpen) {
    *error = EACCES;
    *why = std::strerror(EACCES);
    return -1;
  }
  const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    *error = errno;
    *why = std::strerror(errno);
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    *error = errno;
    *why = std::strerror(errno);
    ::close(fd);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    *error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    *why = S_ISDIR(st.st_mode) ? "a folder, not a file"
                               : "not a regular file (a FIFO, device or socket)";
    ::close(fd);
    return -1;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

bool IsSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(int c) { return c >= '0' && c <= '9'; }

}  // namespace

void InjectSavedFileFaultForTesting(const char* path, SavedFileFault fault, size_t bytes) {
  if (path == nullptr) {
    InjectedFaults().clear();
  } else if (fault == SavedFileFault::kNone) {
    InjectedFaults().erase(path);
  } else {
    InjectedFaults()[path] = InjectedFault{fault, bytes};
  }
}

TextFileReader::TextFileReader(const char* path, size_t max_bytes) : limit_(max_bytes) {
  const int fd = OpenRegularForRead(path, &open_error_, &failure_);
  if (fd < 0) return;
  auto fault = InjectedFaults().find(path);
  file_ = StreamOver(fd, fault != InjectedFaults().end() ? &fault->second : nullptr);
  if (file_ == nullptr) {
    open_error_ = errno != 0 ? errno : ENOMEM;
    failure_ = std::strerror(open_error_);
    ::close(fd);
  }
}

TextFileReader::TextFileReader(std::FILE* file) : file_(file) {
  if (file_ == nullptr) {
    open_error_ = EINVAL;
    failure_ = std::strerror(EINVAL);
  }
}

TextFileReader::~TextFileReader() { Close(); }

void TextFileReader::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

int TextFileReader::Get() {
  if (file_ == nullptr || read_error_ != 0 || taken_ >= limit_) return EOF;
  errno = 0;
  const int c = std::getc(file_);
  if (c == EOF) {
    if (std::ferror(file_)) {
      read_error_ = errno != 0 ? errno : EIO;
      failure_ = std::strerror(read_error_);
    }
    return EOF;
  }
  ++taken_;
  return c;
}

void TextFileReader::Unget(int c) {
  if (c == EOF || file_ == nullptr) return;
  std::ungetc(c, file_);
  --taken_;
}

int TextFileReader::ReadInt(int32_t* out) {
  if (file_ == nullptr) return kReadAtEnd;
  int c;
  do {
    c = Get();
  } while (IsSpace(c));
  if (c == EOF) return kReadAtEnd;
  bool negative = false;
  if (c == '+' || c == '-') {
    negative = c == '-';
    c = Get();
    // The sign has been taken whatever follows it.
    if (c == EOF) return kReadNotANumber;
  }
  if (!IsDigit(c)) {
    Unget(c);
    return kReadNotANumber;
  }
  int64_t value = 0;
  while (IsDigit(c)) {
    if (value <= INT64_C(0xFFFFFFFF)) value = value * 10 + (c - '0');
    c = Get();
  }
  Unget(c);
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
    c = Get();
  } while (IsSpace(c));
  Unget(c);
  return r;
}

bool TextFileReader::ReadShortLine(char buffer[4]) {
  char line[4] = {};
  int n = 0;
  while (n < 3) {
    const int c = Get();
    if (c == EOF) break;
    line[n++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  if (n == 0) return false;
  std::memcpy(buffer, line, 4);
  return true;
}

int TextFileReader::SkipBlankAndComments() {
  for (;;) {
    // CR is white space too: files written on Windows keep it on Linux.
    int c;
    do {
      c = Get();
    } while (c == ' ' || c == '\t' || c == '\r' || c == '\n');
    if (c == EOF) return kReadAtEnd;
    if (c != '#') {
      Unget(c);
      return 0;
    }
    do {
      c = Get();
    } while (c != EOF && c != '\n');
    Unget(c);
  }
}

void TextFileReader::ReadRest(std::string* text) {
  // Byte by byte through Get, so that the limit and the error check hold.
  for (int c = Get(); c != EOF; c = Get()) text->push_back(static_cast<char>(c));
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
