// Text input: the ring of character codes that the window procedure fills
// from typed characters and editing keys.
#pragma once

#include <cstdint>

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
// The per-pump step of key-input strings; none exists in this program.
int KeyInputStep();
int EndKeyInputs();
int HandleImeMessage(intptr_t lparam, void* window, uintptr_t wparam, uint32_t message);
