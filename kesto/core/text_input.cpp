#include "core/text_input.h"

#include "core/startup_log.h"

namespace {

constexpr int kRingSize = 1025;

struct TextInputState {
  uint8_t ring[kRingSize];
  int read_pos;
  int write_pos;
  int char_code_set;
  int ime_enabled;
};

TextInputState g_text{};

struct ControlKey {
  uint32_t vk;
  uint8_t code;
};
constexpr ControlKey kControlKeys[] = {
    {0x2E, 0x10}, {0x25, 0x1D}, {0x27, 0x1C}, {0x26, 0x1E}, {0x28, 0x1F}};

int Next(int pos) { return pos + 1 >= kRingSize ? 0 : pos + 1; }

bool IsLeadByte(uint8_t b) {
  if (g_text.char_code_set == 2) return b >= 0x81 && b <= 0xFE;
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

}  // namespace

int InitCharCodeBuffer() {
  CoreLog("文字コードバッファの初期化を行います... ");
  const int set = g_text.char_code_set;
  g_text = TextInputState{};
  g_text.char_code_set = set ? set : 1;
  CoreLog("完了しました\n");
  return 0;
}

int StoreCharCode(uint8_t code) {
  if (Next(g_text.write_pos) == g_text.read_pos) return -1;
  g_text.ring[g_text.write_pos] = code;
  g_text.write_pos = Next(g_text.write_pos);
  return 0;
}

int HasCharCodeRoom() { return Next(g_text.write_pos) != g_text.read_pos; }

int ReadCharCode(uint8_t destination[2], int advance) {
  destination[0] = destination[1] = 0;
  if (g_text.read_pos == g_text.write_pos) return 0;
  const int start = g_text.read_pos;
  int pos = start;
  const uint8_t first = g_text.ring[pos];
  pos = Next(pos);
  int taken = 1;
  destination[0] = first;
  if (!IsControlCode(first) && IsLeadByte(first)) {
    if (pos == g_text.write_pos) {
      destination[0] = 0;
      return 0;
    }
    destination[1] = g_text.ring[pos];
    pos = Next(pos);
    taken = 2;
  }
  g_text.read_pos = advance ? pos : start;
  return taken;
}

int IsControlCode(uint8_t code) {
  for (const ControlKey& k : kControlKeys) {
    if (k.code == code) return 1;
  }
  return 0;
}

uint8_t ControlCodeForVirtualKey(uint32_t virtual_key) {
  for (const ControlKey& k : kControlKeys) {
    if (k.vk == virtual_key) return k.code;
  }
  return 0;
}

void SetCharCodeSet(int set) { g_text.char_code_set = set == 2 ? 2 : 1; }

int KeyInputStep() { return 0; }

int EndKeyInputs() {
  g_text.ime_enabled = 0;
  return 0;
}

int HandleImeMessage(intptr_t, void*, uintptr_t, uint32_t) {
  // The input method is never switched on for the main window.
  if (!g_text.ime_enabled) return 0;
  return 0;
}
