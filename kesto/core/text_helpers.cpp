#include "core/text_helpers.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

void CopyText(char* dest, const char* src) { std::memmove(dest, src, std::strlen(src) + 1); }

void AppendText(char* dest, const char* src) { CopyText(dest + std::strlen(dest), src); }

const char* FindCharInText(const char* text, int c) {
  const char ch = static_cast<char>(c);
  if (ch == '\0') return nullptr;
  for (; *text; ++text)
    if (*text == ch) return text;
  return nullptr;
}

int CompareText(const char* a, const char* b) { return std::strcmp(a, b) == 0 ? 0 : 1; }

int CompareTextPrefix(const char* a, const char* b, int n) {
  if (n < 0) return 1;
  if (n == 0) return 0;
  return std::memcmp(a, b, static_cast<size_t>(n)) == 0 ? 0 : 1;
}

void FillBytes(void* dest, int byte, size_t count) { std::memset(dest, byte, count); }

int CompareBytes(const void* a, const void* b, size_t count) {
  if (count == 0) return 0;
  return std::memcmp(a, b, count) == 0 ? 0 : 1;
}

void CopyBytes(void* dest, const void* src, size_t count) {
  auto* d = static_cast<unsigned char*>(dest);
  const auto* s = static_cast<const unsigned char*>(src);
  for (size_t i = 0; i < count; ++i) d[i] = s[i];
}

void MoveBytes(void* dest, const void* src, size_t count) { std::memmove(dest, src, count); }

void SinCos(float angle, float* out_sin, float* out_cos) {
  const double a = angle;
  *out_sin = static_cast<float>(std::sin(a));
  *out_cos = static_cast<float>(std::cos(a));
}

int32_t AbsInt(int32_t v) {
  // INT_MIN stays INT_MIN, as the processor's negation leaves it.
  return v < 0 ? static_cast<int32_t>(0u - static_cast<uint32_t>(v)) : v;
}

double AbsFloat(float v) { return std::fabs(static_cast<double>(v)); }

int32_t RoundDoubleToInt(double v) {
  const double r = std::nearbyint(v);
  // A cast out of range is undefined; the processor stores "integer indefinite".
  if (!(r >= static_cast<double>(INT_MIN) && r <= static_cast<double>(INT_MAX))) return INT_MIN;
  return static_cast<int32_t>(r);
}

int32_t RoundFloatToInt(float v) { return RoundDoubleToInt(static_cast<double>(v)); }

void RoundDoubleRect(double x1, double y1, double x2, double y2, int32_t* dest_four) {
  dest_four[0] = RoundDoubleToInt(x1);
  dest_four[1] = RoundDoubleToInt(y1);
  dest_four[2] = RoundDoubleToInt(x2);
  dest_four[3] = RoundDoubleToInt(y2);
}

float SqrtFloat(float v) { return std::sqrt(v); }

int FormatTextArgs(char* dest, size_t dest_size, const char* format, va_list args) {
  if (!dest || dest_size == 0) return 0;
  if (std::vsnprintf(dest, dest_size, format, args) < 0) dest[0] = '\0';
  return 0;
}

int FormatText(char* dest, size_t dest_size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatTextArgs(dest, dest_size, format, args);
  va_end(args);
  return 0;
}

size_t TrimDanglingLeadByte(char* text) {
  size_t i = 0;
  for (;;) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b == 0) return i;
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    if (lead) {
      if (text[i + 1] == '\0') {
        text[i] = '\0';
        return i;
      }
      i += 2;
    } else {
      ++i;
    }
  }
}

int32_t TextToInt(const char* text) {
  if (!text || !*text) return -1;
  const char* p = text;
  while (*p && *p != '-' && !(*p >= '0' && *p <= '9')) ++p;
  if (!*p) return -1;
  bool negative = false;
  if (*p == '-') {
    negative = true;
    ++p;
  }
  // Unsigned, so the value wraps modulo 2^32 instead of overflowing.
  uint32_t value = 0;
  for (int digits = 0; *p >= '0' && *p <= '9'; ++p, ++digits) {
    if (digits < 32) value = value * 10u + static_cast<uint32_t>(*p - '0');
  }
  return static_cast<int32_t>(negative ? 0u - value : value);
}

int32_t ReadNumberAfterBlank(const char* text) {
  const char* blank = FindCharInText(text, ' ');
  return blank ? TextToInt(blank) : -1;
}
