// The main window's menu: its items collected at window creation, the menu
// bar attached in window mode (and in full screen while the mouse is near
// the top), and the commands chosen from it.
#pragma once

#include <cstdint>

#include "platform/window/menu.h"

// 1 for a separator, 0 with the item's text (up to 128 characters) and id,
// -1 on failure.
int ReadMenuItemInfo(platform::window::MenuHandle menu, int position, char* text, int* id);
// Records every item of the menu and of its sub-menus that is not a
// separator; the count recorded.
int CollectMenuItems(platform::window::MenuHandle menu);
// The text of the item with the id, or null.
const char* FindMenuItemName(int id);
int IsMenuBarWanted();
// Stores hidden = !show and attaches or takes away the bar when that
// changes what is wanted.
int UpdateMenuBar(int show);
// Attaches the menu in window mode, takes it away in full screen.
int AttachMenuForWindowMode();
// The command row of the window procedure.
int HandleMenuCommand(uintptr_t wparam);
// The window's end: the bar goes, the menu is destroyed, the state cleared.
int EndWindowMenu();

int GetChosenMenuIdCount();
// -1 past the end.
int GetChosenMenuId(int index);
int ClearChosenMenuIds();
