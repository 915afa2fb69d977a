// Files dropped on a window: the SDL adapter gathers the names of one drop
// (cp932) and posts the dropped-files message with the drop in wParam; the
// window procedure reads the names and ends the drop, which frees it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/window/message_queue.h"

namespace platform::window {

struct DropList;
using DropHandle = DropList*;

// The SDL adapter's side: a drop opens, takes names and is posted.
void BeginDrop(WindowHandle window);
void AddDroppedFile(WindowHandle window, const std::string& cp932_name);
void CompleteDrop(WindowHandle window);

// The number of names in a drop (0 for a drop that does not exist).
uint32_t DragQueryFileCount(DropHandle drop);
// Copies name `index` (cut to fit, NUL-terminated) and returns its length
// without the NUL; with dest null only the length. -1 for a bad index.
int DragQueryFile(DropHandle drop, uint32_t index, char* dest, int size);
// Frees the drop.
void DragFinish(DropHandle drop);

// Drops made and not finished (tests).
int OpenDropCount();

}  // namespace platform::window
