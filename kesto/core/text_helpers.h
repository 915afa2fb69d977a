// Text, memory and number helpers the library uses in place of the standard
// library's. Texts are NUL-terminated byte strings (cp932).
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

void CopyText(char* dest, const char* src);
void AppendText(char* dest, const char* src);
// The first occurrence of c; the terminator is never found.
const char* FindCharInText(const char* text, int c);
// 0 equal, 1 different (no ordering).
int CompareText(const char* a, const char* b);
// 0 when the first n bytes are equal, 1 otherwise; n = 0 gives 0, negative n
// gives 1. Does not stop at a terminator: both texts must hold n bytes.
int CompareTextPrefix(const char* a, const char* b, int n);

void FillBytes(void* dest, int byte, size_t count);
// 0 equal (also for count 0), 1 different.
int CompareBytes(const void* a, const void* b, size_t count);
void CopyBytes(void* dest, const void* src, size_t count);
// Allows overlap.
void MoveBytes(void* dest, const void* src, size_t count);

void SinCos(float angle, float* out_sin, float* out_cos);
int32_t AbsInt(int32_t v);
double AbsFloat(float v);
// Nearest integer in the current rounding mode (half to even by default);
// NaN and values outside the int range give INT_MIN, as the processor's
// "integer indefinite".
int32_t RoundFloatToInt(float v);
int32_t RoundDoubleToInt(double v);
void RoundDoubleRect(double x1, double y1, double x2, double y2, int32_t* dest_four);
float SqrtFloat(float v);

// printf-style formatting into a destination of dest_size bytes, always
// terminated, cut where it would overflow. Both return 0.
int FormatTextArgs(char* dest, size_t dest_size, const char* format, va_list args);
int FormatText(char* dest, size_t dest_size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Drops a cp932 lead byte left without its trail byte at the end of a text
// (where a length cut fell inside a two-byte character), so a glyph walk never
// takes the terminator for a trail byte. Returns the new length.
size_t TrimDanglingLeadByte(char* text);

// Decimal value: -1 for an empty text or one without a digit or "-"; a "-"
// makes it negative; at most 32 digits count; the value wraps modulo 2^32.
int32_t TextToInt(const char* text);
// -1 when the text holds no blank; else TextToInt from its first blank.
int32_t ReadNumberAfterBlank(const char* text);
