// The input method of a window, over SDL's text editing and text input:
// while a window's input method is switched on, SDL's editing text becomes
// a composition (start, update and end messages, with the composition
// text, cursor and clauses kept here in cp932), and text committed while
// composing becomes the composition's result. While it is off, or when
// nothing is being composed, committed text arrives as plain characters.
//
// SDL2 reports no candidate list: the system's input method shows its own
// next to the rectangle given by SetImeCompositionRect, and the candidate
// list read here stays empty unless a test supplies one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/window/message_queue.h"

namespace platform::window {

// What a composition message says has changed (its lParam).
constexpr uint32_t kGcsCompStr = 0x0008;
constexpr uint32_t kGcsCompClause = 0x0020;
constexpr uint32_t kGcsCursorPos = 0x0080;
constexpr uint32_t kGcsResultStr = 0x0800;

// Notifications (wParam of kMsgImeNotify).
constexpr uintptr_t kImnChangeCandidate = 0x0003;
constexpr uintptr_t kImnCloseCandidate = 0x0004;
constexpr uintptr_t kImnOpenCandidate = 0x0005;
constexpr uintptr_t kImnSetOpenStatus = 0x0008;
constexpr uintptr_t kImnSetCandidatePos = 0x0009;

// A candidate list: this header, `count` offsets (u32, from the start of
// the list) and the candidates as NUL-terminated cp932 texts.
struct CandidateListHeader {
  uint32_t size;
  uint32_t style;
  uint32_t count;
  uint32_t selection;
  uint32_t page_start;
  uint32_t page_size;
};

// Switches the window's input method on or off; a change posts the
// open-status notification. Switching off drops a composition under way.
void AssociateIme(WindowHandle window, bool enabled);
bool IsImeAssociated(WindowHandle window);
bool GetImeOpenStatus(WindowHandle window);
// An id of the window's input context, for log lines.
uintptr_t ImeContextId(WindowHandle window);

// kGcsCompStr: the composition text; kGcsCompClause: the clause starts as
// u32 byte offsets, closed by the text's length; both copy at most `bytes`
// and return the bytes copied (with dest null, the bytes there are).
// kGcsCursorPos: the cursor's byte offset in the text. kGcsResultStr: the
// committed text, taken as it is read, so a reader that reads it in pieces
// gets each byte once. -1 for another kind.
int GetCompositionString(WindowHandle window, uint32_t which, void* dest, int bytes);
// The candidate list into dest; with dest null its size. 0 when none.
int GetCandidateList(WindowHandle window, void* dest, int bytes);
// Where the program draws the text being composed, so the system's own
// candidate window appears beside it.
void SetImeCompositionRect(WindowHandle window, int x, int y, int width, int height);

// The SDL adapter's events. start and length count characters of the
// UTF-8 text (the cursor, and the part being converted). ImeCommit is
// false when the text is not a composition's result and is to arrive as
// characters instead.
void ImeEditing(WindowHandle window, const std::string& utf8, int start, int length);
bool ImeCommit(WindowHandle window, const std::string& utf8);

// Supplies a candidate list (cp932 texts) and posts its notification; an
// empty list closes it. SDL never supplies one.
void SetImeCandidatesForTesting(WindowHandle window, const std::vector<std::string>& candidates,
                                int selection);
void ResetImeForTesting();

}  // namespace platform::window
