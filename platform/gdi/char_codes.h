// Character codes of the text functions: how bytes pair into two-byte
// characters in a font's character set, and their Unicode values (cp932
// for the default and Shift-JIS sets, cp949 for Hangeul).
#pragma once

#include <cstdint>

namespace platform::gdi {

// Character sets a font can be made with.
constexpr int kDefaultCharset = 1;
constexpr int kShiftJisCharset = 128;
constexpr int kHangeulCharset = 129;

// Does this byte start a two-byte character in the character set?
bool IsLeadByteOf(int charset, uint8_t byte);

// The Unicode value of a character code (one byte, or lead << 8 | trail), or
// 0 when the code is not a character of the set: control codes, lead bytes
// without a valid trail byte, unassigned bytes.
uint32_t CharCodeToUnicode(int charset, uint32_t code);

// Bytes taken by the character at text[0], never more than `left` (a lead
// byte at the end stands alone); 0 when left is 0.
int CharLength(int charset, const char* text, int left);
// Its code: one byte, or lead << 8 | trail.
uint32_t CharCodeAt(const char* text, int length);

}  // namespace platform::gdi
