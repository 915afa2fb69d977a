#include "core/key_input.h"

#include <algorithm>
#include <cstring>

#include "core/resource_handle.h"
#include "core/text_input.h"
#include "core/tracked_memory.h"
#include "platform/clock.h"

namespace {

TextEntrySlot g_slots[kMaxKeyInputs];
HandleTable<TextEntrySlot> g_table(handle_kind::kKeyInput, kMaxKeyInputs);

TextEntrySlot* Find(int handle) {
  TextEntrySlot* s = g_table.Find(handle);
  return s && s->in_use ? s : nullptr;
}

// Bytes of the character at byte i of the text.
int CharSize(const TextEntrySlot& s, int i) {
  return IsCharLeadByte(static_cast<uint8_t>(s.text[i])) && i + 1 < s.length ? 2 : 1;
}

// The start of the character before byte position pos.
int PreviousBoundary(const TextEntrySlot& s, int pos) {
  int at = 0, before = 0;
  while (at < pos) {
    before = at;
    at += CharSize(s, at);
  }
  return before;
}

// The character boundary at or before pos.
int BoundaryAtOrBefore(const TextEntrySlot& s, int pos) {
  int at = 0;
  while (at < s.length) {
    const int next = at + CharSize(s, at);
    if (next > pos) break;
    at = next;
  }
  return at;
}

void Remove(TextEntrySlot& s, int from, int to) {
  std::memmove(s.text + from, s.text + to, static_cast<size_t>(s.length - to + 1));
  s.length -= to - from;
  if (s.cursor > to) {
    s.cursor -= to - from;
  } else if (s.cursor > from) {
    s.cursor = from;
  }
}

void Insert(TextEntrySlot& s, const uint8_t* c, int size) {
  if (size == 2 && (s.single_byte_only || s.numbers_only)) return;
  if (s.numbers_only) {
    const bool digit = c[0] >= '0' && c[0] <= '9';
    const bool sign = c[0] == '-' && s.cursor == 0 && !(s.length > 0 && s.text[0] == '-');
    if (!digit && !sign) return;
  }
  // A character larger than the whole line could never fit: making room
  // for it would only empty the line.
  if (size > s.max_length) return;
  while (s.length + size > s.max_length) {
    Remove(s, PreviousBoundary(s, s.length), s.length);
  }
  std::memmove(s.text + s.cursor + size, s.text + s.cursor,
               static_cast<size_t>(s.length - s.cursor + 1));
  std::memcpy(s.text + s.cursor, c, static_cast<size_t>(size));
  s.cursor += size;
  s.length += size;
}

void Edit(TextEntrySlot& s, const uint8_t* c, int size) {
  if (size == 2) {
    Insert(s, c, 2);
    return;
  }
  switch (c[0]) {
    case 8:
      if (s.cursor > 0) Remove(s, PreviousBoundary(s, s.cursor), s.cursor);
      break;
    case 9:
    case 0x1E:
    case 0x1F:
      break;
    case 13:
      s.done = 1;
      break;
    case 0x10:
      if (s.cursor < s.length) Remove(s, s.cursor, s.cursor + CharSize(s, s.cursor));
      break;
    case 27:
      if (s.cancel_allowed) {
        s.cancelled = 1;
        s.done = 1;
      }
      break;
    case 0x1C:
      if (s.cursor < s.length) s.cursor += CharSize(s, s.cursor);
      break;
    case 0x1D:
      if (s.cursor > 0) s.cursor = PreviousBoundary(s, s.cursor);
      break;
    default:
      // Other control characters have no place in a line of text.
      if (c[0] >= 0x20) Insert(s, c, 1);
      break;
  }
}

void DiscardTypedSoFar() {
  uint8_t c[2];
  while (ReadCharCode(c, 1) > 0) {
  }
}

}  // namespace

int MakeKeyInput(int max_length, int cancel_allowed, int single_byte_only, int numbers_only) {
  if (max_length < 0 || max_length > 0x7FFFFFF0) return -1;
  const int slot = g_table.FirstFreeSlot();
  if (slot < 0) return -1;
  auto* text = static_cast<char*>(
      AllocTrackedZeroed(static_cast<uint32_t>(max_length) + 1, "KsWin", __LINE__));
  if (!text) return -1;
  TextEntrySlot& s = g_slots[slot];
  s = TextEntrySlot{};
  s.in_use = 1;
  s.max_length = max_length;
  s.text = text;
  s.cancel_allowed = cancel_allowed ? 1 : 0;
  s.single_byte_only = single_byte_only ? 1 : 0;
  s.numbers_only = numbers_only ? 1 : 0;
  const int handle = g_table.Insert(slot, &s);
  s.check_counter = static_cast<int>(HandleCounterOf(handle));
  return handle;
}

int ActivateKeyInput(int handle) {
  TextInputState& t = TextInput();
  if (handle == -1) {
    t.active_slot = -1;
    SetImeEnabled(0);
    return 0;
  }
  const TextEntrySlot* s = Find(handle);
  if (!s) return -1;
  DiscardTypedSoFar();
  t.active_slot = handle;
  t.last_key_time = platform::TimeGetTime();
  t.cursor_visible = 1;
  SetImeEnabled(!s->single_byte_only && !s->numbers_only);
  return 0;
}

int GetActiveKeyInput() { return TextInput().active_slot; }

int CheckKeyInput(int handle) {
  const TextEntrySlot* s = Find(handle);
  if (!s) return -1;
  if (!s->done) return 0;
  return s->cancelled ? 2 : 1;
}

int ReopenKeyInput(int handle) {
  TextEntrySlot* s = Find(handle);
  if (!s) return -1;
  s->done = 0;
  s->cancelled = 0;
  return 0;
}

int GetKeyInputString(char* dest, int dest_size, int handle) {
  const TextEntrySlot* s = Find(handle);
  if (!s) return -1;
  if (dest && dest_size > 0) {
    const int n = std::min(s->length, dest_size - 1);
    std::memcpy(dest, s->text, static_cast<size_t>(n));
    dest[n] = '\0';
  }
  return s->length;
}

int SetKeyInputString(const char* text, int handle) {
  TextEntrySlot* s = Find(handle);
  if (!s) return -1;
  if (!text) text = "";
  int n = 0;
  for (const int limit = s->max_length; text[n] != '\0';) {
    const int size = IsCharLeadByte(static_cast<uint8_t>(text[n])) && text[n + 1] != '\0' ? 2 : 1;
    if (n + size > limit) break;
    n += size;
  }
  std::memcpy(s->text, text, static_cast<size_t>(n));
  s->text[n] = '\0';
  s->length = n;
  s->cursor = n;
  return 0;
}

int GetKeyInputCursor(int handle) {
  const TextEntrySlot* s = Find(handle);
  return s ? s->cursor : -1;
}

int SetKeyInputCursor(int position, int handle) {
  TextEntrySlot* s = Find(handle);
  if (!s) return -1;
  s->cursor = BoundaryAtOrBefore(*s, std::clamp(position, 0, s->length));
  return 0;
}

int KeyInputStep() {
  TextInputState& t = TextInput();
  if (t.active_slot == -1) return 0;
  TextEntrySlot* s = Find(t.active_slot);
  if (!s) return -1;
  if (s->done) return 0;
  uint8_t c[2];
  int n = 0;
  while (!s->done && (n = ReadCharCode(c, 1)) > 0) {
    t.last_key_time = platform::TimeGetTime();
    t.cursor_visible = 1;
    Edit(*s, c, n);
  }
  return 0;
}

int DeleteKeyInput(int handle) {
  TextEntrySlot* s = Find(handle);
  if (!s) return -1;
  FreeTracked(s->text);
  g_table.Remove(handle);
  *s = TextEntrySlot{};
  if (TextInput().active_slot == handle) TextInput().active_slot = -1;
  if (g_table.count() == 0) SetImeEnabled(0);
  return 0;
}

int EndKeyInputs() {
  for (int slot = 0; slot < kMaxKeyInputs; ++slot) {
    const int handle = g_table.HandleAt(slot);
    if (handle != -1) DeleteKeyInput(handle);
  }
  TextInput().active_slot = -1;
  return 0;
}

const TextEntrySlot* FindKeyInput(int handle) { return Find(handle); }
