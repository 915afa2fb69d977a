// Names of files dropped on the main window, kept until the window ends or
// the program clears them (at most 1000).
#pragma once

#include <cstdint>

// The dropped-files row of the window procedure: stores the drop's names
// and ends the drop.
int StoreDroppedFiles(uintptr_t drop);
int GetDroppedFileCount();
// The name with the index (cp932), or null.
const char* GetDroppedFileName(int index);
int ClearDroppedFiles();
