// A recording stand-in for the library's public entry points, linked into the
// game's tests in place of the real library. Every call is logged with its
// arguments; results (keys, pad words, the clock, loads, the pump) are
// scripted, so game code runs headless and deterministically.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kesto_fake {

struct Call {
  std::string name;
  std::vector<double> args;  // numeric arguments in call order
  std::string text;          // path, caption or formatted text, when any
  int result = 0;

  double arg(size_t i) const { return i < args.size() ? args[i] : 0.0; }
  int iarg(size_t i) const { return static_cast<int>(arg(i)); }
};

struct Graphic {
  int width = 0;
  int height = 0;
  int parent = 0;  // 0 for a loaded picture
  int x = 0;       // position inside the parent
  int y = 0;
  std::string path;
};

struct State {
  // Log of every call, in order. Calls named in `unlogged` are answered but not
  // kept (the clock read inside a busy wait, for instance).
  std::vector<Call> calls;
  std::set<std::string> unlogged;
  // Called after every logged call; tests use it to interleave their own marks.
  std::function<void(const Call&)> on_call;

  // Core.
  int start_result = 0;
  bool started = false;
  int window_flag = -1;
  std::string caption;
  int pumps = 0;             // PumpFrameMessages calls so far
  int quit_after_pumps = -1; // pump number (1-based) from which it reports -1; -1 never
  uint32_t clock_ms = 0;
  uint32_t clock_step_ms = 1;  // the clock advances after every read
  std::set<int> keys_held;
  // Pad word for the current pump count; when empty, pad_default.
  std::function<uint32_t(int pump)> pad_script;
  uint32_t pad_default = 0;
  int local_date[6] = {2026, 1, 1, 0, 0, 0};

  // Graphics: handle table, index = handle; handle 0 is never valid.
  std::vector<Graphic> graphics{Graphic{}};
  std::map<std::string, std::pair<int, int>> image_sizes;  // path -> size
  // Size of a loaded image whose path is not in image_sizes; width 0 fails.
  std::pair<int, int> default_image_size{4096, 4096};
  std::set<std::string> failing_images;
  int blend_mode = 0;
  int blend_param = 255;

  // Sound.
  int sounds = 0;  // handles 1..sounds are valid
  std::set<std::string> failing_sounds;
  bool music_running = false;
  std::string music_path;
  bool halt_stops_music = true;
  int music_start_result = 0;
  int music_engine = 0;
};

State& state();
// Clears the log and every scripted value.
void Reset();

// Calls named `name` in the log, in order.
std::vector<Call> CallsNamed(const std::string& name);
// Names of the logged calls, optionally only those in `names`.
std::vector<std::string> CallNames(const std::set<std::string>& names = {});
bool IsValidGraphic(int handle);
int LiveGraphicCount();

}  // namespace kesto_fake
