#include "platform/gdi/char_codes.h"

#include <iconv.h>

#include <cstddef>

namespace platform::gdi {
namespace {

// One converter per code page, opened on first use and kept: fonts convert
// every character they render or measure.
iconv_t ConverterFor(int charset) {
  static iconv_t cp932 = reinterpret_cast<iconv_t>(-1);
  static iconv_t cp949 = reinterpret_cast<iconv_t>(-1);
  static bool opened932 = false, opened949 = false;
  if (charset == kHangeulCharset) {
    if (!opened949) {
      cp949 = iconv_open("UTF-32LE", "CP949");
      opened949 = true;
    }
    return cp949;
  }
  if (!opened932) {
    cp932 = iconv_open("UTF-32LE", "CP932");
    opened932 = true;
  }
  return cp932;
}

}  // namespace

bool IsLeadByteOf(int charset, uint8_t byte) {
  if (charset == kHangeulCharset) return byte >= 0x81 && byte <= 0xFE;
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

uint32_t CharCodeToUnicode(int charset, uint32_t code) {
  if (code > 0xFFFF) return 0;
  char in[2];
  size_t in_left = 0;
  if (code > 0xFF) {
    in[0] = static_cast<char>(code >> 8);
    in[1] = static_cast<char>(code & 0xFF);
    if (!IsLeadByteOf(charset, static_cast<uint8_t>(in[0]))) return 0;
    in_left = 2;
  } else {
    in[0] = static_cast<char>(code);
    if (IsLeadByteOf(charset, static_cast<uint8_t>(in[0]))) return 0;
    in_left = 1;
  }
  iconv_t cd = ConverterFor(charset);
  if (cd == reinterpret_cast<iconv_t>(-1)) return code < 0x80 ? code : 0;
  uint32_t out[2] = {0, 0};
  char* ip = in;
  char* op = reinterpret_cast<char*>(out);
  size_t out_left = sizeof out;
  const size_t r = iconv(cd, &ip, &in_left, &op, &out_left);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (r == static_cast<size_t>(-1) || in_left != 0 || out_left != sizeof out - 4) return 0;
  const uint32_t u = out[0];
  if (u < 0x20 || (u >= 0x7F && u < 0xA0)) return 0;
  return u;
}

int CharLength(int charset, const char* text, int left) {
  if (left <= 0) return 0;
  if (left >= 2 && IsLeadByteOf(charset, static_cast<uint8_t>(text[0]))) return 2;
  return 1;
}

uint32_t CharCodeAt(const char* text, int length) {
  const uint32_t first = static_cast<uint8_t>(text[0]);
  return length == 2 ? (first << 8) | static_cast<uint8_t>(text[1]) : first;
}

}  // namespace platform::gdi
