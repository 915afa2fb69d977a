// Disable-system-keys: while the program is active its window keeps the
// system's key combinations, through the key hook library on the NT family
// and the screen-saver switch on older systems.
#pragma once

// On every activation change; nothing unless disable-system-keys is set.
int ApplySystemKeyBlock(int active);
// The window's end: the hook goes and the library is freed.
int EndSystemKeyBlock();
