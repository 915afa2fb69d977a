// The keyboard read from the system's key state, for when there is no
// keyboard device: each virtual key names the key codes of the same key.
#pragma once

#include <cstdint>

struct VirtualKeyPair {
  uint8_t virtual_key;
  uint8_t key_code;
};

constexpr int kVirtualKeyPairCount = 99;
extern const VirtualKeyPair kVirtualKeyToKeyCode[kVirtualKeyPairCount];

// Fills the 256 key-code bytes from the 256 virtual-key bytes: 0x80 for a
// key whose virtual key is down, 0 for every other byte.
void KeyCodesFromVirtualKeys(const uint8_t virtual_keys[256], uint8_t key_codes[256]);
