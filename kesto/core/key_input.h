// Key-input strings: editable lines (handle kind 0x50000000, 20 slots) that
// take characters from the text-input buffer once per pump while active,
// with a cursor, editing keys, a length limit in bytes and optional limits
// to single-byte characters or to numbers. RETURN ends the input; Escape
// cancels it where allowed.
#pragma once

#include <cstdint>

constexpr int kMaxKeyInputs = 20;

struct TextEntrySlot {
  int in_use;
  int check_counter;
  int done;
  int cancelled;
  int length;
  int max_length;
  int cursor;  // bytes
  char* text;  // tracked, max_length + 1 bytes
  int cancel_allowed;
  int single_byte_only;
  int numbers_only;
};

// A new line of at most max_length bytes; the handle, or -1.
int MakeKeyInput(int max_length, int cancel_allowed, int single_byte_only, int numbers_only);
// Makes the line the one that takes what is typed, from now on (what was
// typed before stays out of it), and switches the input method on for it
// unless it takes single bytes or numbers only. -1 makes none active.
int ActivateKeyInput(int handle);
int GetActiveKeyInput();
// 0 still taking input, 1 ended by RETURN, 2 cancelled by Escape; -1 for a
// bad handle.
int CheckKeyInput(int handle);
// Restarts an ended line: it takes input again.
int ReopenKeyInput(int handle);
// Copies the text (cut to fit) into dest; its length in bytes, or -1.
int GetKeyInputString(char* dest, int dest_size, int handle);
// Replaces the text (cut at the limit, never inside a two-byte character);
// the cursor goes to its end.
int SetKeyInputString(const char* text, int handle);
int GetKeyInputCursor(int handle);
int SetKeyInputCursor(int position, int handle);
// Draws the line at x, y with the default font: text, cursor, and while
// this line is active the input method's composition and candidates.
int DrawKeyInputString(int x, int y, int handle);

int KeyInputStep();
int DeleteKeyInput(int handle);
int EndKeyInputs();

const TextEntrySlot* FindKeyInput(int handle);
