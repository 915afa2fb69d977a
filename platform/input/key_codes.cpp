#include "platform/input/key_codes.h"

#include <strings.h>

namespace platform::input {
namespace {

struct KeyRow {
  SDL_Scancode scancode;
  int code;
  uint32_t vk;
  const char* name;
};

// Letters, digits, function keys, the numeric pad, the cursor block,
// modifiers and punctuation of a 106/101 keyboard.
constexpr KeyRow kKeys[] = {
    {SDL_SCANCODE_ESCAPE, 0x01, 0x1B, "ESCAPE"},
    {SDL_SCANCODE_1, 0x02, '1', "1"}, {SDL_SCANCODE_2, 0x03, '2', "2"},
    {SDL_SCANCODE_3, 0x04, '3', "3"}, {SDL_SCANCODE_4, 0x05, '4', "4"},
    {SDL_SCANCODE_5, 0x06, '5', "5"}, {SDL_SCANCODE_6, 0x07, '6', "6"},
    {SDL_SCANCODE_7, 0x08, '7', "7"}, {SDL_SCANCODE_8, 0x09, '8', "8"},
    {SDL_SCANCODE_9, 0x0A, '9', "9"}, {SDL_SCANCODE_0, 0x0B, '0', "0"},
    {SDL_SCANCODE_MINUS, 0x0C, 0xBD, "MINUS"}, {SDL_SCANCODE_EQUALS, 0x0D, 0xBB, "EQUALS"},
    {SDL_SCANCODE_BACKSPACE, 0x0E, 0x08, "BACK"}, {SDL_SCANCODE_TAB, 0x0F, 0x09, "TAB"},
    {SDL_SCANCODE_Q, 0x10, 'Q', "Q"}, {SDL_SCANCODE_W, 0x11, 'W', "W"},
    {SDL_SCANCODE_E, 0x12, 'E', "E"}, {SDL_SCANCODE_R, 0x13, 'R', "R"},
    {SDL_SCANCODE_T, 0x14, 'T', "T"}, {SDL_SCANCODE_Y, 0x15, 'Y', "Y"},
    {SDL_SCANCODE_U, 0x16, 'U', "U"}, {SDL_SCANCODE_I, 0x17, 'I', "I"},
    {SDL_SCANCODE_O, 0x18, 'O', "O"}, {SDL_SCANCODE_P, 0x19, 'P', "P"},
    {SDL_SCANCODE_LEFTBRACKET, 0x1A, 0xDB, "LBRACKET"},
    {SDL_SCANCODE_RIGHTBRACKET, 0x1B, 0xDD, "RBRACKET"},
    {SDL_SCANCODE_RETURN, 0x1C, 0x0D, "RETURN"}, {SDL_SCANCODE_LCTRL, 0x1D, 0x11, "LCONTROL"},
    {SDL_SCANCODE_A, 0x1E, 'A', "A"}, {SDL_SCANCODE_S, 0x1F, 'S', "S"},
    {SDL_SCANCODE_D, 0x20, 'D', "D"}, {SDL_SCANCODE_F, 0x21, 'F', "F"},
    {SDL_SCANCODE_G, 0x22, 'G', "G"}, {SDL_SCANCODE_H, 0x23, 'H', "H"},
    {SDL_SCANCODE_J, 0x24, 'J', "J"}, {SDL_SCANCODE_K, 0x25, 'K', "K"},
    {SDL_SCANCODE_L, 0x26, 'L', "L"}, {SDL_SCANCODE_SEMICOLON, 0x27, 0xBA, "SEMICOLON"},
    {SDL_SCANCODE_APOSTROPHE, 0x28, 0xDE, "APOSTROPHE"}, {SDL_SCANCODE_GRAVE, 0x29, 0xC0, "GRAVE"},
    {SDL_SCANCODE_LSHIFT, 0x2A, 0x10, "LSHIFT"}, {SDL_SCANCODE_BACKSLASH, 0x2B, 0xDC, "BACKSLASH"},
    {SDL_SCANCODE_Z, 0x2C, 'Z', "Z"}, {SDL_SCANCODE_X, 0x2D, 'X', "X"},
    {SDL_SCANCODE_C, 0x2E, 'C', "C"}, {SDL_SCANCODE_V, 0x2F, 'V', "V"},
    {SDL_SCANCODE_B, 0x30, 'B', "B"}, {SDL_SCANCODE_N, 0x31, 'N', "N"},
    {SDL_SCANCODE_M, 0x32, 'M', "M"}, {SDL_SCANCODE_COMMA, 0x33, 0xBC, "COMMA"},
    {SDL_SCANCODE_PERIOD, 0x34, 0xBE, "PERIOD"}, {SDL_SCANCODE_SLASH, 0x35, 0xBF, "SLASH"},
    {SDL_SCANCODE_RSHIFT, 0x36, 0x10, "RSHIFT"}, {SDL_SCANCODE_KP_MULTIPLY, 0x37, 0x6A, "MULTIPLY"},
    {SDL_SCANCODE_LALT, 0x38, 0x12, "LMENU"}, {SDL_SCANCODE_SPACE, 0x39, 0x20, "SPACE"},
    {SDL_SCANCODE_CAPSLOCK, 0x3A, 0x14, "CAPITAL"},
    {SDL_SCANCODE_F1, 0x3B, 0x70, "F1"}, {SDL_SCANCODE_F2, 0x3C, 0x71, "F2"},
    {SDL_SCANCODE_F3, 0x3D, 0x72, "F3"}, {SDL_SCANCODE_F4, 0x3E, 0x73, "F4"},
    {SDL_SCANCODE_F5, 0x3F, 0x74, "F5"}, {SDL_SCANCODE_F6, 0x40, 0x75, "F6"},
    {SDL_SCANCODE_F7, 0x41, 0x76, "F7"}, {SDL_SCANCODE_F8, 0x42, 0x77, "F8"},
    {SDL_SCANCODE_F9, 0x43, 0x78, "F9"}, {SDL_SCANCODE_F10, 0x44, 0x79, "F10"},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x45, 0x90, "NUMLOCK"},
    {SDL_SCANCODE_SCROLLLOCK, 0x46, 0x91, "SCROLL"},
    {SDL_SCANCODE_KP_7, 0x47, 0x67, "NUMPAD7"}, {SDL_SCANCODE_KP_8, 0x48, 0x68, "NUMPAD8"},
    {SDL_SCANCODE_KP_9, 0x49, 0x69, "NUMPAD9"}, {SDL_SCANCODE_KP_MINUS, 0x4A, 0x6D, "SUBTRACT"},
    {SDL_SCANCODE_KP_4, 0x4B, 0x64, "NUMPAD4"}, {SDL_SCANCODE_KP_5, 0x4C, 0x65, "NUMPAD5"},
    {SDL_SCANCODE_KP_6, 0x4D, 0x66, "NUMPAD6"}, {SDL_SCANCODE_KP_PLUS, 0x4E, 0x6B, "ADD"},
    {SDL_SCANCODE_KP_1, 0x4F, 0x61, "NUMPAD1"}, {SDL_SCANCODE_KP_2, 0x50, 0x62, "NUMPAD2"},
    {SDL_SCANCODE_KP_3, 0x51, 0x63, "NUMPAD3"}, {SDL_SCANCODE_KP_0, 0x52, 0x60, "NUMPAD0"},
    {SDL_SCANCODE_KP_PERIOD, 0x53, 0x6E, "DECIMAL"},
    {SDL_SCANCODE_NONUSBACKSLASH, 0x56, 0xE2, "OEM_102"},
    {SDL_SCANCODE_F11, 0x57, 0x7A, "F11"}, {SDL_SCANCODE_F12, 0x58, 0x7B, "F12"},
    {SDL_SCANCODE_INTERNATIONAL2, 0x70, 0x15, "KANA"},
    {SDL_SCANCODE_INTERNATIONAL1, 0x73, 0xE2, "ABNT_C1"},
    {SDL_SCANCODE_INTERNATIONAL4, 0x79, 0x1C, "CONVERT"},
    {SDL_SCANCODE_INTERNATIONAL5, 0x7B, 0x1D, "NOCONVERT"},
    {SDL_SCANCODE_INTERNATIONAL3, 0x7D, 0xDC, "YEN"},
    {SDL_SCANCODE_KP_ENTER, 0x9C, 0x0D, "NUMPADENTER"},
    {SDL_SCANCODE_RCTRL, 0x9D, 0x11, "RCONTROL"},
    {SDL_SCANCODE_KP_DIVIDE, 0xB5, 0x6F, "DIVIDE"},
    {SDL_SCANCODE_PRINTSCREEN, 0xB7, 0x2C, "SYSRQ"}, {SDL_SCANCODE_RALT, 0xB8, 0x12, "RMENU"},
    {SDL_SCANCODE_PAUSE, 0xC5, 0x13, "PAUSE"}, {SDL_SCANCODE_HOME, 0xC7, 0x24, "HOME"},
    {SDL_SCANCODE_UP, 0xC8, 0x26, "UP"}, {SDL_SCANCODE_PAGEUP, 0xC9, 0x21, "PRIOR"},
    {SDL_SCANCODE_LEFT, 0xCB, 0x25, "LEFT"}, {SDL_SCANCODE_RIGHT, 0xCD, 0x27, "RIGHT"},
    {SDL_SCANCODE_END, 0xCF, 0x23, "END"}, {SDL_SCANCODE_DOWN, 0xD0, 0x28, "DOWN"},
    {SDL_SCANCODE_PAGEDOWN, 0xD1, 0x22, "NEXT"}, {SDL_SCANCODE_INSERT, 0xD2, 0x2D, "INSERT"},
    {SDL_SCANCODE_DELETE, 0xD3, 0x2E, "DELETE"}, {SDL_SCANCODE_LGUI, 0xDB, 0x5B, "LWIN"},
    {SDL_SCANCODE_RGUI, 0xDC, 0x5C, "RWIN"}, {SDL_SCANCODE_APPLICATION, 0xDD, 0x5D, "APPS"},
};

const KeyRow* FindScancode(SDL_Scancode scancode) {
  for (const KeyRow& row : kKeys) {
    if (row.scancode == scancode) return &row;
  }
  return nullptr;
}

}  // namespace

int KeyCodeFromScancode(SDL_Scancode scancode) {
  const KeyRow* row = FindScancode(scancode);
  return row ? row->code : 0;
}

uint32_t VirtualKeyFromScancode(SDL_Scancode scancode) {
  const KeyRow* row = FindScancode(scancode);
  return row ? row->vk : 0;
}

bool KeyRowAt(int index, int* code, uint32_t* virtual_key) {
  if (index < 0 || index >= static_cast<int>(sizeof kKeys / sizeof kKeys[0])) return false;
  *code = kKeys[index].code;
  *virtual_key = kKeys[index].vk;
  return true;
}

int KeyCodeFromName(const char* name) {
  if (!name) return -1;
  for (const KeyRow& row : kKeys) {
    if (strcasecmp(row.name, name) == 0) return row.code;
  }
  if (strcasecmp(name, "ENTER") == 0) return kKeyReturn;
  return -1;
}

}  // namespace platform::input
