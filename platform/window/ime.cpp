#include "platform/window/ime.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "platform/window/text_convert.h"

namespace platform::window {
namespace {

struct ImeSystem {
  std::set<WindowHandle> associated;
  WindowHandle composing_window = nullptr;
  std::string composition;  // cp932
  int cursor = 0;           // bytes
  std::vector<uint32_t> clauses;
  std::string result;  // committed, not read yet
  std::vector<std::string> candidates;
  int selection = 0;
};

ImeSystem& Sys() {
  static ImeSystem* system = new ImeSystem();
  return *system;
}

// The UTF-8 text's first `chars` characters.
std::string Utf8Prefix(const std::string& utf8, int chars) {
  size_t i = 0;
  for (int seen = 0; i < utf8.size(); ++i) {
    if ((static_cast<uint8_t>(utf8[i]) & 0xC0) != 0x80 && seen++ == chars) break;
  }
  return utf8.substr(0, i);
}

int Cp932Bytes(const std::string& utf8, int chars) {
  return static_cast<int>(Utf8ToCp932(Utf8Prefix(utf8, std::max(chars, 0))).size());
}

void DropComposition() {
  Sys().composing_window = nullptr;
  Sys().composition.clear();
  Sys().cursor = 0;
  Sys().clauses.clear();
}

int CopyOut(const void* src, int size, void* dest, int bytes) {
  if (!dest) return size;
  const int n = std::clamp(bytes, 0, size);
  std::memcpy(dest, src, static_cast<size_t>(n));
  return n;
}

}  // namespace

void AssociateIme(WindowHandle window, bool enabled) {
  ImeSystem& s = Sys();
  if (IsImeAssociated(window) == enabled) return;
  if (enabled) {
    s.associated.insert(window);
  } else {
    s.associated.erase(window);
    if (s.composing_window == window) DropComposition();
  }
  PostMessage(window, kMsgImeNotify, kImnSetOpenStatus, 0);
}

bool IsImeAssociated(WindowHandle window) { return Sys().associated.count(window) != 0; }
bool GetImeOpenStatus(WindowHandle window) { return IsImeAssociated(window); }
uintptr_t ImeContextId(WindowHandle window) {
  return IsImeAssociated(window) ? reinterpret_cast<uintptr_t>(window) : 0;
}

int GetCompositionString(WindowHandle window, uint32_t which, void* dest, int bytes) {
  ImeSystem& s = Sys();
  const bool mine = s.composing_window == window;
  switch (which) {
    case kGcsCompStr:
      return mine ? CopyOut(s.composition.data(), static_cast<int>(s.composition.size()), dest,
                            bytes)
                  : 0;
    case kGcsCursorPos:
      return mine ? s.cursor : 0;
    case kGcsCompClause:
      return mine ? CopyOut(s.clauses.data(), static_cast<int>(s.clauses.size() * 4), dest, bytes)
                  : 0;
    case kGcsResultStr: {
      if (!IsImeAssociated(window)) return 0;
      const int n = CopyOut(s.result.data(), static_cast<int>(s.result.size()), dest, bytes);
      if (dest) s.result.erase(0, static_cast<size_t>(n));
      return n;
    }
    default:
      return -1;
  }
}

int GetCandidateList(WindowHandle window, void* dest, int bytes) {
  const ImeSystem& s = Sys();
  if (!IsImeAssociated(window) || s.candidates.empty()) return 0;
  const uint32_t count = static_cast<uint32_t>(s.candidates.size());
  std::vector<uint8_t> list(sizeof(CandidateListHeader) + 4 * count);
  std::vector<uint32_t> offsets;
  for (const std::string& c : s.candidates) {
    offsets.push_back(static_cast<uint32_t>(list.size()));
    list.insert(list.end(), c.begin(), c.end());
    list.push_back(0);
  }
  CandidateListHeader h{static_cast<uint32_t>(list.size()), 1, count,
                        static_cast<uint32_t>(s.selection), 0, std::min<uint32_t>(count, 9)};
  std::memcpy(list.data(), &h, sizeof h);
  std::memcpy(list.data() + sizeof h, offsets.data(), 4 * count);
  if (dest && bytes < static_cast<int>(list.size())) return 0;
  return CopyOut(list.data(), static_cast<int>(list.size()), dest, bytes);
}

void SetImeCompositionRect(WindowHandle window, int x, int y, int width, int height) {
  if (!IsImeAssociated(window) || !SDL_WasInit(SDL_INIT_VIDEO)) return;
  SDL_Rect r{x, y, width, height};
  SDL_SetTextInputRect(&r);
}

void ImeEditing(WindowHandle window, const std::string& utf8, int start, int length) {
  ImeSystem& s = Sys();
  if (!IsImeAssociated(window)) return;
  const std::string text = Utf8ToCp932(utf8);
  if (text.empty()) {
    if (s.composing_window == window) {
      DropComposition();
      PostMessage(window, kMsgImeEndComposition, 0, 0);
    }
    return;
  }
  if (s.composing_window != window) {
    DropComposition();
    s.composing_window = window;
    PostMessage(window, kMsgImeStartComposition, 0, 0);
  }
  s.composition = text;
  const int total = static_cast<int>(text.size());
  s.cursor = std::min(Cp932Bytes(utf8, start), total);
  // The part being converted is a clause of its own.
  std::set<uint32_t> starts{0};
  if (length > 0) {
    starts.insert(static_cast<uint32_t>(s.cursor));
    starts.insert(static_cast<uint32_t>(std::min(Cp932Bytes(utf8, start + length), total)));
  }
  starts.erase(static_cast<uint32_t>(total));
  s.clauses.assign(starts.begin(), starts.end());
  s.clauses.push_back(static_cast<uint32_t>(total));
  PostMessage(window, kMsgImeComposition, 0,
              static_cast<intptr_t>(kGcsCompStr | kGcsCursorPos | kGcsCompClause));
}

bool ImeCommit(WindowHandle window, const std::string& utf8) {
  ImeSystem& s = Sys();
  if (!IsImeAssociated(window) || s.composing_window != window) return false;
  s.result += Utf8ToCp932(utf8);
  DropComposition();
  PostMessage(window, kMsgImeComposition, 0, static_cast<intptr_t>(kGcsResultStr));
  PostMessage(window, kMsgImeEndComposition, 0, 0);
  return true;
}

void SetImeCandidatesForTesting(WindowHandle window, const std::vector<std::string>& candidates,
                                int selection) {
  const bool was_open = !Sys().candidates.empty();
  Sys().candidates = candidates;
  Sys().selection = selection;
  const uintptr_t note = candidates.empty() ? kImnCloseCandidate
                         : was_open         ? kImnChangeCandidate
                                            : kImnOpenCandidate;
  PostMessage(window, kMsgImeNotify, note, 1);
}

void ResetImeForTesting() {
  ImeSystem& s = Sys();
  s = ImeSystem{};
}

}  // namespace platform::window
