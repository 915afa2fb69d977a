#include "platform/window/text_convert.h"

#include <iconv.h>

#include <cerrno>

namespace platform::window {
namespace {

std::string Convert(const char* to, const char* from, const std::string& text) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return text;
  std::string out;
  char buffer[256];
  char* in = const_cast<char*>(text.data());
  size_t in_left = text.size();
  while (in_left > 0) {
    char* o = buffer;
    size_t o_left = sizeof buffer;
    const size_t r = iconv(cd, &in, &in_left, &o, &o_left);
    out.append(buffer, sizeof buffer - o_left);
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      // An invalid or cut-off sequence: mark it and go on after one byte.
      out += '?';
      ++in;
      --in_left;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string Cp932ToUtf8(const std::string& text) { return Convert("UTF-8", "CP932", text); }
std::string Utf8ToCp932(const std::string& text) { return Convert("CP932", "UTF-8", text); }

}  // namespace platform::window
