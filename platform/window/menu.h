// Menus of a window: items with an id and a text, separators and sub-menus,
// attached to a window as its menu bar. SDL draws no menu bar, so an
// attached menu is only recorded; its commands reach the window procedure
// as command messages posted by whoever chooses them.
#pragma once

#include <cstdint>
#include <string>

#include "platform/window/message_queue.h"

namespace platform::window {

struct Menu;
using MenuHandle = Menu*;

MenuHandle CreateMenu();
bool AppendMenuItem(MenuHandle menu, uint32_t id, const std::string& text);
bool AppendMenuSeparator(MenuHandle menu);
// The menu takes the sub-menu and destroys it with itself.
bool AppendSubMenu(MenuHandle menu, MenuHandle sub_menu, const std::string& text);
// -1 for a menu that does not exist.
int GetMenuItemCount(MenuHandle menu);
// Null when the item opens no sub-menu.
MenuHandle GetSubMenu(MenuHandle menu, int position);

struct MenuItemInfo {
  bool separator = false;
  uint32_t id = 0;
  MenuHandle sub_menu = nullptr;
};
// The item's kind and its text (cut to fit, terminated); false for a bad
// menu or position.
bool GetMenuItemInfo(MenuHandle menu, int position, MenuItemInfo* info, char* text, int text_size);
// Destroys a menu and its sub-menus; a window it is attached to loses it.
bool DestroyMenu(MenuHandle menu);
bool IsMenu(MenuHandle menu);

// Attaches a menu bar (null: none).
bool SetWindowMenu(WindowHandle window, MenuHandle menu);
MenuHandle GetWindowMenu(WindowHandle window);
void DrawMenuBar(WindowHandle window);

int LiveMenuCount();  // tests
void ResetMenusForTesting();

}  // namespace platform::window
