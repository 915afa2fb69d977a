// The core state block: the main window, its settings, the runtime flags of
// the pump and the window procedure, and the start-up probe's results.
// Window creation clears the block but keeps the settings a program may
// give before start-up.
#pragma once

#include <cstdint>

#include "platform/window/message_queue.h"

namespace platform::gdi {
class DibSection;
}
namespace platform::window {
struct Menu;
struct Region;
struct HookLibrary;
}  // namespace platform::window

using MessageHookCallback = void (*)(platform::window::WindowHandle, uint32_t, uintptr_t,
                                     intptr_t);
using ModeChangeCallback = void (*)(void* user_value);
// A menu command: its id (the command message's wParam).
using MenuCallback = void (*)(uintptr_t command);
// The chosen item's text and id.
using MenuNameCallback = void (*)(const char* name, int id);

constexpr int kMaxMenuItems = 256;
constexpr int kMaxMenuItemText = 128;
constexpr int kMaxChosenMenuIds = 64;
constexpr int kMaxDroppedFiles = 1000;

struct MenuItemRecord {
  platform::window::Menu* menu;
  int position;
  int id;
  char text[kMaxMenuItemText];
};

// Settings that survive the clearing at window creation.
struct KeptWindowSettings {
  int window_mode;  // 1 window, 0 full screen
  char caption[256];
  char log_folder_path[260];
  int window_style_index;
  int alt_enter_allowed;
  ModeChangeCallback mode_change_callback;
  void* mode_change_user_value;
  int allow_second_instance;
  platform::window::Region* window_region;
  int icon_id;
  int position_given;
  int position_x;
  int position_y;
  int resizable;
  int hidden_window;
  double window_scale;
  int run_while_inactive;
  int graphics_off;
  int keep_window_on_close;
  int no_quit_message;
  int user_window_mode;
  platform::window::WindowProc user_window_proc;
  MessageHookCallback message_hook;
  int disable_system_keys;
  int menu_used;
  platform::window::Menu* menu;
  MenuCallback menu_callback;
  MenuNameCallback menu_name_callback;
  int menu_always_shown;
  int menu_hidden;
  // Probe results (the probe runs before window creation).
  uint32_t directx_version;
  int os_code;
  char os_description[256];
  char cpu_vendor[13];
  char cpu_brand[49];
};

struct WindowCoreState {
  KeptWindowSettings kept;

  platform::window::WindowHandle main_window;
  // Client rectangle in desktop coordinates.
  int client_left, client_top, client_right, client_bottom;
  int rect_setting[4];
  int desktop_width, desktop_height, desktop_bits;
  uint32_t memory_total, memory_available;
  int cursor_request;
  int cursor_visible;
  int mouse_in_menu_zone;
  int window_visible_flag;

  // The menu's items, the commands chosen (each id once) and the bar
  // attached now.
  MenuItemRecord menu_items[kMaxMenuItems];
  int menu_item_count;
  int chosen_menu_ids[kMaxChosenMenuIds];
  int chosen_menu_id_count;
  platform::window::Menu* attached_menu;

  // Names of dropped files, each a tracked block.
  char* dropped_files[kMaxDroppedFiles];
  int dropped_file_count;
  // Shown in the window while it is inactive (a 0x00RRGGBB bitmap).
  platform::gdi::DibSection* pause_picture;
  // The key hook of disable-system-keys.
  platform::window::HookLibrary* hook_library;
  int key_hook_installed;

  // Runtime flags of the pump and the window procedure.
  int active;
  int quit;
  int closing_requested;
  int destroyed;
  int display_change_seen;
  int restore_needed;
  int alt_enter_request;
  int creating;
  int mode_changing;
  int pump_guard;
  int wheel_count;

  // Start-up and shutdown.
  int library_started;
  int ending_state;  // 0 running, 1 shutting down, 4 the user closed the window
  int perf_counter_flag;
  int64_t perf_frequency;
  int com_started;
  int tsc_flag;
  int64_t tsc_ticks_per_500ms;
  int cpu_mhz;
  int mmx_flag;
  int char_code_set;
};

WindowCoreState& CoreState();
// Clears the block except the kept settings (window creation).
void ClearCoreStateKeepingSettings();
// Zeroes everything, settings included (tests).
void ResetCoreStateForTesting();

// Accessors used across the library.
int IsWindowedMode();
platform::window::WindowHandle ReadMainWindowHandle();
int ReadWindowClientRect(int* left, int* top, int* right, int* bottom);
int ReadDesktopMode(int* width, int* height, int* bits);
int HasWindowRegion();
double GetWindowScale();
int IsWindowMenuUsed();
int IsClosingRequested();
int SetWindowRectSetting(int left, int top, int right, int bottom);
