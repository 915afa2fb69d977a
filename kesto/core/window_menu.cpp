#include "core/window_menu.h"

#include <cstring>

#include "core/window_main.h"
#include "core/window_state.h"

namespace pw = platform::window;

namespace {

void Attach(pw::MenuHandle menu) {
  WindowCoreState& s = CoreState();
  if (!s.main_window || s.attached_menu == menu) return;
  pw::SetWindowMenu(s.main_window, menu);
  pw::DrawMenuBar(s.main_window);
  s.attached_menu = menu;
}

void Collect(pw::MenuHandle menu, int depth) {
  WindowCoreState& s = CoreState();
  const int count = pw::GetMenuItemCount(menu);
  // A menu that holds itself somewhere below must not walk for ever.
  if (depth > 16) return;
  for (int i = 0; i < count && s.menu_item_count < kMaxMenuItems; ++i) {
    MenuItemRecord& r = s.menu_items[s.menu_item_count];
    if (ReadMenuItemInfo(menu, i, r.text, &r.id) == 0) {
      r.menu = menu;
      r.position = i;
      ++s.menu_item_count;
    }
    if (pw::MenuHandle sub = pw::GetSubMenu(menu, i)) Collect(sub, depth + 1);
  }
}

}  // namespace

int ReadMenuItemInfo(pw::MenuHandle menu, int position, char* text, int* id) {
  pw::MenuItemInfo info;
  char buffer[kMaxMenuItemText + 1] = {};
  if (!pw::GetMenuItemInfo(menu, position, &info, buffer, sizeof buffer)) return -1;
  if (info.separator) return 1;
  if (text) {
    std::memcpy(text, buffer, kMaxMenuItemText);
    text[kMaxMenuItemText - 1] = '\0';
  }
  if (id) *id = static_cast<int>(info.id);
  return 0;
}

int CollectMenuItems(pw::MenuHandle menu) {
  Collect(menu, 0);
  return CoreState().menu_item_count;
}

const char* FindMenuItemName(int id) {
  const WindowCoreState& s = CoreState();
  for (int i = 0; i < s.menu_item_count; ++i) {
    if (s.menu_items[i].id == id) return s.menu_items[i].text;
  }
  return nullptr;
}

int IsMenuBarWanted() {
  const WindowCoreState& s = CoreState();
  if (!s.main_window || !s.kept.menu_used || !s.kept.menu || s.kept.menu_hidden) return 0;
  return (s.kept.menu_always_shown || s.kept.window_mode || s.mouse_in_menu_zone) ? 1 : 0;
}

int UpdateMenuBar(int show) {
  WindowCoreState& s = CoreState();
  s.kept.menu_hidden = show ? 0 : 1;
  const bool wanted = IsMenuBarWanted() != 0;
  if (wanted == (s.attached_menu != nullptr)) return 0;
  Attach(wanted ? s.kept.menu : nullptr);
  if (s.kept.window_mode) ApplyWindowStyle();
  return 0;
}

int AttachMenuForWindowMode() {
  WindowCoreState& s = CoreState();
  if (!s.kept.menu_used) return 0;
  Attach(s.kept.window_mode ? s.kept.menu : nullptr);
  return 0;
}

int HandleMenuCommand(uintptr_t wparam) {
  WindowCoreState& s = CoreState();
  if (!s.kept.menu_used) return 0;
  const int id = static_cast<int>(wparam & 0xFFFF);
  if (s.kept.menu_callback) s.kept.menu_callback(wparam);
  if (s.kept.menu_name_callback) {
    const char* name = FindMenuItemName(id);
    s.kept.menu_name_callback(name ? name : "", id);
  }
  for (int i = 0; i < s.chosen_menu_id_count; ++i) {
    if (s.chosen_menu_ids[i] == id) return 0;
  }
  if (s.chosen_menu_id_count < kMaxChosenMenuIds) s.chosen_menu_ids[s.chosen_menu_id_count++] = id;
  return 0;
}

int EndWindowMenu() {
  WindowCoreState& s = CoreState();
  if (!s.kept.menu_used) return 0;
  Attach(nullptr);
  pw::DestroyMenu(s.kept.menu);
  s.kept.menu = nullptr;
  s.kept.menu_used = 0;
  s.menu_item_count = 0;
  s.chosen_menu_id_count = 0;
  return 0;
}

int GetChosenMenuIdCount() { return CoreState().chosen_menu_id_count; }

int GetChosenMenuId(int index) {
  const WindowCoreState& s = CoreState();
  return index >= 0 && index < s.chosen_menu_id_count ? s.chosen_menu_ids[index] : -1;
}

int ClearChosenMenuIds() {
  CoreState().chosen_menu_id_count = 0;
  return 0;
}
