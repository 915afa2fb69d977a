// Reading an HTTP/1.0 response's status line and header lines.
#pragma once

#include <cstdint>

// The status of a status line ("HTTP/1.0 200 OK" gives 200): the number
// after the first blank, -1 when there is no blank.
int HttpStatusOf(const char* line);

enum class HttpHeader {
  kEnd,               // a line without ":" (the blank line): the body follows
  kContentLength,     // a usable length
  kBadContentLength,  // negative, not a number, or too long for memory
  kChunked,           // a body in chunks, which an HTTP/1.0 client cannot read
  kOther,
};

// The largest body kept in memory.
constexpr int64_t kMaxHttpMemoryBody = 64ll << 20;

// Classifies one header line (without its line end). The length is checked
// only against what an int can hold; memory destinations check
// kMaxHttpMemoryBody themselves.
HttpHeader ClassifyHttpHeader(const char* line, int64_t* content_length);
