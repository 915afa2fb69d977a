// Keyboard key codes of the library's key table (the classic DirectInput
// numbering), the conversion from SDL scancodes, virtual keys for window
// messages, and the names the input script uses.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace platform::input {

constexpr int kKeyEscape = 0x01;
constexpr int kKeyReturn = 0x1C;
constexpr int kKeyA = 0x1E;
constexpr int kKeyS = 0x1F;
constexpr int kKeyD = 0x20;
constexpr int kKeyQ = 0x10;
constexpr int kKeyW = 0x11;
constexpr int kKeyZ = 0x2C;
constexpr int kKeyX = 0x2D;
constexpr int kKeyC = 0x2E;
constexpr int kKeySpace = 0x39;
constexpr int kKeyNumpad8 = 0x48;
constexpr int kKeyNumpad4 = 0x4B;
constexpr int kKeyNumpad6 = 0x4D;
constexpr int kKeyNumpad2 = 0x50;
constexpr int kKeyUp = 0xC8;
constexpr int kKeyLeft = 0xCB;
constexpr int kKeyRight = 0xCD;
constexpr int kKeyDown = 0xD0;
constexpr int kKeyDelete = 0xD3;

// 0 for a scancode without a key code.
int KeyCodeFromScancode(SDL_Scancode scancode);
// The virtual key of a scancode for key messages; 0 when none.
uint32_t VirtualKeyFromScancode(SDL_Scancode scancode);
// The rows of the key table in order: key code and the virtual key of key
// messages (Shift, Control and Alt without their side). False past the end.
bool KeyRowAt(int index, int* code, uint32_t* virtual_key);
// Names as in the input script ("Z", "ESCAPE", "UP", "NUMPAD2", ...);
// -1 when unknown. Case-insensitive.
int KeyCodeFromName(const char* name);

}  // namespace platform::input
