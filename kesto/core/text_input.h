// Text input: the ring of character codes that the window procedure fills
// from typed characters, editing keys and the input method's results, and
// the input method's composition and candidate list kept for drawing.
#pragma once

#include <cstdint>

constexpr int kCompositionBytes = 1024;

// The input method as the window procedure last saw it.
struct ImeState {
  int enabled;
  int open;
  int composing;
  char composition[kCompositionBytes];  // cp932, always terminated
  int composition_cursor;               // in characters
  uint8_t clauses[kCompositionBytes];   // u32 byte offsets of the clause starts, then the end
  int clause_count;
  void* candidates;  // tracked block holding the candidate list, or null
  int candidate_guard;
};

// What key-input strings share with the window procedure.
struct TextInputState {
  int char_code_set;  // 1, or 2 under code page 949
  int active_slot;    // key-input handle, -1 none
  uint32_t last_key_time;
  int blink_period;  // ms
  int cursor_visible;
  int ime_activity;  // set by every input-method message
  // White, white, yellow, cyan, white, red, yellow: the line's text, its
  // cursor, the composition, the clause being converted, candidates, the
  // chosen candidate and the candidate list's frame.
  int colors[7];
  ImeState ime;
};

TextInputState& TextInput();

int InitCharCodeBuffer();
// 0, or -1 when the buffer is full.
int StoreCharCode(uint8_t code);
// Takes (advance 1) or peeks at (advance 0) the next character: the bytes
// taken, 0 when none or when the second byte of a double-byte character has
// not arrived yet.
int ReadCharCode(uint8_t destination[2], int advance);
int IsControlCode(uint8_t code);
// The control code of an editing key's virtual key, or 0.
uint8_t ControlCodeForVirtualKey(uint32_t virtual_key);
int HasCharCodeRoom();
// 1 or 2 (code page 949).
void SetCharCodeSet(int set);
// 1 when the byte leads a double-byte character in the current set.
int IsCharLeadByte(uint8_t byte);
// Characters in the first `bytes` bytes (a double-byte character counts
// once; stops at the terminator).
int CountChars(const char* text, int bytes);

int SetImeEnabled(int flag);
int HandleImeMessage(intptr_t lparam, void* window, uintptr_t wparam, uint32_t message);
// Forgets the whole text-input state, freeing the candidate list (tests).
void ResetTextInputForTesting();
