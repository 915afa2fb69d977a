#include "core/text_input.h"

#include <cstring>

#include "core/clocks.h"
#include "core/entry_bodies.h"
#include "core/key_input.h"
#include "core/startup.h"
#include "core/startup_log.h"
#include "core/tracked_memory.h"
#include "core/window_state.h"
#include "graphics/color_format.h"
#include "platform/clock.h"
#include "platform/window/ime.h"

namespace pw = platform::window;

namespace {

constexpr int kRingSize = 1025;
// The bits of an input-context message that would show the system's own
// composition and candidate windows.
constexpr intptr_t kHideSystemImeWindows = 0x3FFFFFF0;

struct CharRing {
  uint8_t bytes[kRingSize];
  int read_pos;
  int write_pos;
};

CharRing g_ring{};
TextInputState g_text{};

struct ControlKey {
  uint32_t vk;
  uint8_t code;
};
constexpr ControlKey kControlKeys[] = {
    {0x2E, 0x10}, {0x25, 0x1D}, {0x27, 0x1C}, {0x26, 0x1E}, {0x28, 0x1F}};

int Next(int pos) { return pos + 1 >= kRingSize ? 0 : pos + 1; }

int FreeBytes() {
  const int used = (g_ring.write_pos - g_ring.read_pos + kRingSize) % kRingSize;
  return kRingSize - 1 - used;
}

void FreeCandidates() {
  FreeTracked(g_text.ime.candidates);
  g_text.ime.candidates = nullptr;
}

pw::WindowHandle WindowOf(void* window) { return static_cast<pw::WindowHandle>(window); }

// The composition text, cut to fit and always terminated; a cut that
// would leave half of a two-byte character drops that half too.
void ReadComposition(pw::WindowHandle w) {
  char* text = g_text.ime.composition;
  int n = pw::GetCompositionString(w, pw::kGcsCompStr, text, kCompositionBytes - 1);
  n = n > 0 ? n : 0;
  int whole = 0;
  while (whole < n) {
    const int size = IsCharLeadByte(static_cast<uint8_t>(text[whole])) ? 2 : 1;
    if (whole + size > n) break;
    whole += size;
  }
  text[whole] = '\0';
}

// Takes the committed text in pieces and puts each whole character into
// the buffer; a character that no longer fits is dropped whole.
void StoreResult(pw::WindowHandle w) {
  char piece[256];
  int n = 0;
  int pending_lead = -1;
  while ((n = pw::GetCompositionString(w, pw::kGcsResultStr, piece, sizeof piece)) > 0) {
    for (int i = 0; i < n; ++i) {
      const auto b = static_cast<uint8_t>(piece[i]);
      if (pending_lead >= 0) {
        if (FreeBytes() >= 2) {
          StoreCharCode(static_cast<uint8_t>(pending_lead));
          StoreCharCode(b);
        }
        pending_lead = -1;
      } else if (IsCharLeadByte(b)) {
        pending_lead = b;
      } else {
        StoreCharCode(b);
      }
    }
  }
}

void ReadCandidates(pw::WindowHandle w) {
  // The list read before is out of date either way.
  FreeCandidates();
  const int size = pw::GetCandidateList(w, nullptr, 0);
  if (size <= 0) {
    CoreLogFormat("漢字変換候補のデータサイズが０でした  DefHWND:%x IMC:%x\n",
                  static_cast<unsigned>(reinterpret_cast<uintptr_t>(w)),
                  static_cast<unsigned>(pw::ImeContextId(w)));
    return;
  }
  void* block = AllocTracked(static_cast<uint32_t>(size), "KsWin", __LINE__);
  if (!block) {
    ExitWithErrorFormat(
        "漢字変換候補を保存するメモリの確保に失敗しました( 確保しようとしたサイズ %d バイト )",
        size);
  }
  if (pw::GetCandidateList(w, block, size) <= 0) {
    FreeTracked(block);
    CoreLogFormat("漢字変換候補の取得に失敗しました  BufSize:%d\n", size);
    return;
  }
  g_text.ime.candidates = block;
}

void UpdateOpenStatus(pw::WindowHandle w, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  ImeState& ime = g_text.ime;
  if (ime.candidate_guard) return;
  ime.candidate_guard = 1;
  pw::DefaultWindowProc(w, message, wparam, lparam);
  // Let the input method's own messages about the change come through.
  const int64_t start = ReadMicrosecondClock(0);
  while (ReadMicrosecondClock(0) - start < 2000) {
    if (PumpFrameMessagesBody() != 0) break;
    platform::Sleep(1);
  }
  ime.candidate_guard = 0;
  ime.open = pw::GetImeOpenStatus(w) ? 1 : 0;
}

}  // namespace

TextInputState& TextInput() { return g_text; }

int InitCharCodeBuffer() {
  CoreLog("文字コードバッファの初期化を行います... ");
  const int set = g_text.char_code_set;
  EndKeyInputs();
  FreeCandidates();
  g_ring = CharRing{};
  g_text = TextInputState{};
  g_text.char_code_set = set ? set : 1;
  static const int kRgb[7][3] = {{255, 255, 255}, {255, 255, 255}, {255, 255, 0}, {0, 255, 255},
                                 {255, 255, 255}, {255, 50, 50},   {255, 255, 20}};
  for (int i = 0; i < 7; ++i)
    g_text.colors[i] = PackRgbColorBody(kRgb[i][0], kRgb[i][1], kRgb[i][2]);
  g_text.active_slot = -1;
  g_text.last_key_time = 0;
  g_text.blink_period = 500;
  g_text.cursor_visible = 1;
  CoreLog("完了しました\n");
  return 0;
}

int StoreCharCode(uint8_t code) {
  if (Next(g_ring.write_pos) == g_ring.read_pos) return -1;
  g_ring.bytes[g_ring.write_pos] = code;
  g_ring.write_pos = Next(g_ring.write_pos);
  return 0;
}

int HasCharCodeRoom() { return Next(g_ring.write_pos) != g_ring.read_pos; }

int ReadCharCode(uint8_t destination[2], int advance) {
  destination[0] = destination[1] = 0;
  if (g_ring.read_pos == g_ring.write_pos) return 0;
  const int start = g_ring.read_pos;
  int pos = start;
  const uint8_t first = g_ring.bytes[pos];
  pos = Next(pos);
  int taken = 1;
  destination[0] = first;
  if (!IsControlCode(first) && IsCharLeadByte(first)) {
    if (pos == g_ring.write_pos) {
      destination[0] = 0;
      return 0;
    }
    destination[1] = g_ring.bytes[pos];
    pos = Next(pos);
    taken = 2;
  }
  g_ring.read_pos = advance ? pos : start;
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

int IsCharLeadByte(uint8_t b) {
  if (g_text.char_code_set == 2) return b >= 0x81 && b <= 0xFE;
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

int CountChars(const char* text, int bytes) {
  int chars = 0;
  for (int i = 0; i < bytes && text[i] != '\0'; ++chars) {
    i += IsCharLeadByte(static_cast<uint8_t>(text[i])) && text[i + 1] != '\0' ? 2 : 1;
  }
  return chars;
}

int SetImeEnabled(int flag) {
  flag = flag ? 1 : 0;
  ImeState& ime = g_text.ime;
  if (flag == ime.enabled) return 0;
  ime.enabled = flag;
  if (pw::WindowHandle w = ReadMainWindowHandle()) pw::AssociateIme(w, flag != 0);
  if (!flag) {
    FreeCandidates();
    ime.composition[0] = '\0';
    ime.composing = 0;
    ime.open = 0;
  }
  return 0;
}

int HandleImeMessage(intptr_t lparam, void* window, uintptr_t wparam, uint32_t message) {
  ImeState& ime = g_text.ime;
  if (!ime.enabled) return 0;
  const pw::WindowHandle w = WindowOf(window);
  g_text.ime_activity = 1;
  g_text.last_key_time = platform::TimeGetTime();
  g_text.cursor_visible = 1;
  switch (message) {
    case pw::kMsgImeStartComposition:
      ime.composition_cursor = 0;
      ime.composing = 1;
      return 0;
    case pw::kMsgImeEndComposition:
      ime.composition[0] = '\0';
      ime.composing = 0;
      return 0;
    case pw::kMsgImeComposition: {
      const auto flags = static_cast<uint32_t>(lparam);
      if (flags & pw::kGcsCompStr) ReadComposition(w);
      if (flags & pw::kGcsResultStr) {
        StoreResult(w);
        ReadComposition(w);
      }
      if (flags & pw::kGcsCursorPos) {
        ime.composition_cursor =
            CountChars(ime.composition, pw::GetCompositionString(w, pw::kGcsCursorPos, nullptr, 0));
      }
      if (flags & pw::kGcsCompClause) {
        const int n =
            pw::GetCompositionString(w, pw::kGcsCompClause, ime.clauses, sizeof ime.clauses);
        ime.clause_count = n > 0 ? n / 4 : 0;
      }
      return 0;
    }
    case pw::kMsgImeSetContext:
      return pw::DefaultWindowProc(w, message, wparam, lparam & kHideSystemImeWindows);
    case pw::kMsgImeNotify:
      switch (wparam) {
        case pw::kImnChangeCandidate:
        case pw::kImnOpenCandidate:
        case pw::kImnSetCandidatePos:
          ReadCandidates(w);
          return 0;
        case pw::kImnCloseCandidate:
          FreeCandidates();
          return 0;
        case pw::kImnSetOpenStatus:
          UpdateOpenStatus(w, message, wparam, lparam);
          return 0;
        default:
          return pw::DefaultWindowProc(w, message, wparam, lparam);
      }
    default:
      return 0;
  }
}

void ResetTextInputForTesting() {
  FreeCandidates();
  g_ring = CharRing{};
  g_text = TextInputState{};
  g_text.char_code_set = 1;
  g_text.active_slot = -1;
  g_text.blink_period = 500;
  g_text.cursor_visible = 1;
}
