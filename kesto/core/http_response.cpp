#include "core/http_response.h"

#include <climits>

#include "core/text_helpers.h"

namespace {

const char* SkipBlanks(const char* p) {
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

bool StartsWithNoCase(const char* line, const char* prefix) {
  for (; *prefix; ++line, ++prefix) {
    char a = *line, b = *prefix;
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

bool ContainsNoCase(const char* text, const char* word) {
  for (; *text; ++text) {
    if (StartsWithNoCase(text, word)) return true;
  }
  return false;
}

}  // namespace

int HttpStatusOf(const char* line) { return ReadNumberAfterBlank(line); }

HttpHeader ClassifyHttpHeader(const char* line, int64_t* content_length) {
  if (!FindCharInText(line, ':')) return HttpHeader::kEnd;
  // Header names are not case-sensitive: "content-length" is the same one.
  if (StartsWithNoCase(line, "Content-Length:")) {
    // Read strictly: a sign, a wrap past 2^31 or trailing junk would
    // otherwise make a wrong length that a body is then written against.
    const char* p = SkipBlanks(line + 15);
    int64_t value = 0;
    int digits = 0;
    for (; *p >= '0' && *p <= '9'; ++p, ++digits) {
      value = value * 10 + (*p - '0');
      if (value > INT_MAX) return HttpHeader::kBadContentLength;
    }
    p = SkipBlanks(p);
    if (digits == 0 || (*p != '\0' && *p != '\r')) return HttpHeader::kBadContentLength;
    if (content_length) *content_length = value;
    return HttpHeader::kContentLength;
  }
  if (StartsWithNoCase(line, "Transfer-Encoding:") && ContainsNoCase(line + 18, "chunked")) {
    return HttpHeader::kChunked;
  }
  return HttpHeader::kOther;
}
