#include "platform/window/menu.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace platform::window {

struct Menu {
  struct Item {
    bool separator = false;
    uint32_t id = 0;
    std::string text;
    MenuHandle sub_menu = nullptr;
  };
  std::vector<Item> items;
};

namespace {

struct MenuSystem {
  std::vector<std::unique_ptr<Menu>> menus;
  std::map<WindowHandle, MenuHandle> bars;
};

MenuSystem& Sys() {
  static auto* system = new MenuSystem();
  return *system;
}

const Menu::Item* ItemAt(MenuHandle menu, int position) {
  if (!IsMenu(menu) || position < 0 || position >= static_cast<int>(menu->items.size())) {
    return nullptr;
  }
  return &menu->items[static_cast<size_t>(position)];
}

}  // namespace

bool IsMenu(MenuHandle menu) {
  if (!menu) return false;
  for (const auto& m : Sys().menus) {
    if (m.get() == menu) return true;
  }
  return false;
}

MenuHandle CreateMenu() {
  Sys().menus.push_back(std::make_unique<Menu>());
  return Sys().menus.back().get();
}

bool AppendMenuItem(MenuHandle menu, uint32_t id, const std::string& text) {
  if (!IsMenu(menu)) return false;
  menu->items.push_back(Menu::Item{false, id, text, nullptr});
  return true;
}

bool AppendMenuSeparator(MenuHandle menu) {
  if (!IsMenu(menu)) return false;
  menu->items.push_back(Menu::Item{true, 0, "", nullptr});
  return true;
}

bool AppendSubMenu(MenuHandle menu, MenuHandle sub_menu, const std::string& text) {
  if (!IsMenu(menu) || !IsMenu(sub_menu) || menu == sub_menu) return false;
  menu->items.push_back(Menu::Item{false, 0, text, sub_menu});
  return true;
}

int GetMenuItemCount(MenuHandle menu) {
  return IsMenu(menu) ? static_cast<int>(menu->items.size()) : -1;
}

MenuHandle GetSubMenu(MenuHandle menu, int position) {
  const Menu::Item* item = ItemAt(menu, position);
  return item ? item->sub_menu : nullptr;
}

bool GetMenuItemInfo(MenuHandle menu, int position, MenuItemInfo* info, char* text, int text_size) {
  const Menu::Item* item = ItemAt(menu, position);
  if (!item) return false;
  if (info) *info = MenuItemInfo{item->separator, item->id, item->sub_menu};
  if (text && text_size > 0) {
    const size_t n = std::min(item->text.size(), static_cast<size_t>(text_size - 1));
    std::memcpy(text, item->text.data(), n);
    text[n] = '\0';
  }
  return true;
}

bool DestroyMenu(MenuHandle menu) {
  if (!IsMenu(menu)) return false;
  std::vector<MenuHandle> subs;
  for (const Menu::Item& item : menu->items) {
    if (item.sub_menu) subs.push_back(item.sub_menu);
  }
  for (auto it = Sys().bars.begin(); it != Sys().bars.end();) {
    it = it->second == menu ? Sys().bars.erase(it) : std::next(it);
  }
  auto& menus = Sys().menus;
  menus.erase(
      std::remove_if(menus.begin(), menus.end(), [&](const auto& m) { return m.get() == menu; }),
      menus.end());
  for (MenuHandle sub : subs) DestroyMenu(sub);
  return true;
}

bool SetWindowMenu(WindowHandle window, MenuHandle menu) {
  if (!IsWindow(window) || (menu && !IsMenu(menu))) return false;
  if (menu) {
    Sys().bars[window] = menu;
  } else {
    Sys().bars.erase(window);
  }
  return true;
}

MenuHandle GetWindowMenu(WindowHandle window) {
  auto it = Sys().bars.find(window);
  return it != Sys().bars.end() && IsWindow(window) ? it->second : nullptr;
}

void DrawMenuBar(WindowHandle) {}

int LiveMenuCount() { return static_cast<int>(Sys().menus.size()); }

void ResetMenusForTesting() {
  Sys().bars.clear();
  Sys().menus.clear();
}

}  // namespace platform::window
