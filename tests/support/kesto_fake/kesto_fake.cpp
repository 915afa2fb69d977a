#include "support/kesto_fake/kesto_fake.h"

#include <cstdarg>
#include <cstdio>
#include <initializer_list>

#include "kesto/kesto.h"

namespace kesto_fake {

State& state() {
  static State s;
  return s;
}

void Reset() { state() = State{}; }

std::vector<Call> CallsNamed(const std::string& name) {
  std::vector<Call> out;
  for (const Call& c : state().calls)
    if (c.name == name) out.push_back(c);
  return out;
}

std::vector<std::string> CallNames(const std::set<std::string>& names) {
  std::vector<std::string> out;
  for (const Call& c : state().calls)
    if (names.empty() || names.count(c.name)) out.push_back(c.name);
  return out;
}

bool IsValidGraphic(int handle) {
  const State& s = state();
  return handle > 0 && handle < static_cast<int>(s.graphics.size()) &&
         s.graphics[handle].width > 0;
}

int LiveGraphicCount() { return static_cast<int>(state().graphics.size()) - 1; }

namespace {

int Record(const char* name, std::initializer_list<double> args, int result,
           const std::string& text = {}) {
  State& s = state();
  if (s.unlogged.count(name)) return result;
  Call c{name, args, text, result};
  s.calls.push_back(c);
  if (s.on_call) s.on_call(s.calls.back());
  return result;
}

int NewGraphic(const Graphic& g) {
  state().graphics.push_back(g);
  return static_cast<int>(state().graphics.size()) - 1;
}

int BlitResult(int graphic) { return IsValidGraphic(graphic) ? 0 : -1; }

bool ValidSound(int h) { return h > 0 && h <= state().sounds; }

}  // namespace
}  // namespace kesto_fake

using kesto_fake::Record;
using kesto_fake::state;

int StartLibrary() {
  state().started = state().start_result == 0;
  return Record("StartLibrary", {}, state().start_result);
}
int StopLibrary() {
  state().started = false;
  return Record("StopLibrary", {}, 0);
}
int PumpFrameMessages() {
  auto& s = state();
  ++s.pumps;
  int r = (s.quit_after_pumps >= 0 && s.pumps >= s.quit_after_pumps) ? -1 : 0;
  return Record("PumpFrameMessages", {}, r);
}
int ChangeWindowMode(int window_flag) {
  state().window_flag = window_flag;
  return Record("ChangeWindowMode", {double(window_flag)}, 0);
}
int SetWindowCaption(const char* caption) {
  state().caption = caption ? caption : "";
  return Record("SetWindowCaption", {}, 0, state().caption);
}
int SleepWithPump(int milliseconds) {
  return Record("SleepWithPump", {double(milliseconds)}, 0);
}
int ReadMillisecondClock(int clock_choice) {
  auto& s = state();
  uint32_t now = s.clock_ms;
  s.clock_ms += s.clock_step_ms;
  return Record("ReadMillisecondClock", {double(clock_choice)}, static_cast<int>(now));
}
// Returns at once: the caller's own clock reads finish the wait.
int WaitForMillisecondClock(int clock_choice, int since, int milliseconds) {
  return Record("WaitForMillisecondClock",
                {double(clock_choice), double(since), double(milliseconds)}, 0);
}
int ReadLocalClock(int* date_six_ints) {
  if (date_six_ints)
    for (int i = 0; i < 6; ++i) date_six_ints[i] = state().local_date[i];
  return Record("ReadLocalClock", {}, 0);
}
int IsKeyHeld(int key_code) {
  return Record("IsKeyHeld", {double(key_code)}, state().keys_held.count(key_code) ? 1 : 0);
}
int ReadPadBits(int input_selector) {
  auto& s = state();
  uint32_t word = s.pad_script ? s.pad_script(s.pumps) : s.pad_default;
  return Record("ReadPadBits", {double(input_selector)}, static_cast<int>(word));
}
int PackRgbColor(int red, int green, int blue) {
  int v = ((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3);
  return Record("PackRgbColor", {double(red), double(green), double(blue)}, v);
}
int PresentBackScreen() { return Record("PresentBackScreen", {}, 0); }
int ChooseScreenMode(int width, int height, int color_bits, int refresh_rate) {
  return Record("ChooseScreenMode",
                {double(width), double(height), double(color_bits), double(refresh_rate)}, 0);
}
int LoadImageFileToGraphic(const char* path) {
  auto& s = state();
  std::string p = path ? path : "";
  std::pair<int, int> size = s.default_image_size;
  auto it = s.image_sizes.find(p);
  if (it != s.image_sizes.end()) size = it->second;
  int h = -1;
  if (!s.failing_images.count(p) && size.first > 0 && size.second > 0)
    h = kesto_fake::NewGraphic({size.first, size.second, 0, 0, 0, p});
  return Record("LoadImageFileToGraphic", {}, h, p);
}
int EraseTargetScreen() { return Record("EraseTargetScreen", {}, 0); }
int BlitGraphicAt(int x, int y, int graphic, int transparent) {
  return Record("BlitGraphicAt", {double(x), double(y), double(graphic), double(transparent)},
                kesto_fake::BlitResult(graphic));
}
int BlitGraphicScaledRotated(int center_x, int center_y, double scale, double angle, int graphic,
                             int transparent, int turn) {
  return Record("BlitGraphicScaledRotated",
                {double(center_x), double(center_y), scale, angle, double(graphic),
                 double(transparent), double(turn)},
                kesto_fake::BlitResult(graphic));
}
int BlitGraphicToQuad(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4, int graphic,
                      int transparent) {
  return Record("BlitGraphicToQuad",
                {double(x1), double(y1), double(x2), double(y2), double(x3), double(y3),
                 double(x4), double(y4), double(graphic), double(transparent)},
                kesto_fake::BlitResult(graphic));
}
int BlitGraphicPart(int dest_x, int dest_y, int src_x, int src_y, int width, int height,
                    int graphic, int transparent, int turn) {
  return Record("BlitGraphicPart",
                {double(dest_x), double(dest_y), double(src_x), double(src_y), double(width),
                 double(height), double(graphic), double(transparent), double(turn)},
                kesto_fake::BlitResult(graphic));
}
int PaintRectangle(int x1, int y1, int x2, int y2, int color, int fill) {
  return Record("PaintRectangle",
                {double(x1), double(y1), double(x2), double(y2), double(color), double(fill)}, 0);
}
int PrintTextFormatted(int x, int y, int color, const char* format, ...) {
  char buf[1024];
  va_list ap;
  va_start(ap, format);
  std::vsnprintf(buf, sizeof buf, format, ap);
  va_end(ap);
  return Record("PrintTextFormatted", {double(x), double(y), double(color)}, 0, buf);
}
int ChooseBlendMode(int blend_mode, int blend_param) {
  auto& s = state();
  s.blend_mode = blend_mode;
  s.blend_param = blend_param < 0 ? 0 : blend_param > 255 ? 255 : blend_param;
  return Record("ChooseBlendMode", {double(blend_mode), double(blend_param)}, 0);
}
int ChooseDrawTarget(int target) { return Record("ChooseDrawTarget", {double(target)}, 0); }
int MakeSubGraphic(int x, int y, int width, int height, int parent_graphic) {
  auto& s = state();
  int h = -1;
  if (kesto_fake::IsValidGraphic(parent_graphic) && x >= 0 && y >= 0 && width > 0 &&
      height > 0) {
    const kesto_fake::Graphic& p = s.graphics[parent_graphic];
    if (x < p.width && y < p.height) {
      int w = width < p.width - x ? width : p.width - x;
      int hh = height < p.height - y ? height : p.height - y;
      h = kesto_fake::NewGraphic({w, hh, parent_graphic, x, y, p.path});
    }
  }
  return Record("MakeSubGraphic",
                {double(x), double(y), double(width), double(height), double(parent_graphic)}, h);
}
int LoadSoundFileToHandle(const char* path) {
  auto& s = state();
  std::string p = path ? path : "";
  int h = s.failing_sounds.count(p) ? -1 : ++s.sounds;
  return Record("LoadSoundFileToHandle", {}, h, p);
}
int StartSoundHandle(int sound, int play_type, int restart_from_start) {
  return Record("StartSoundHandle", {double(sound), double(play_type), double(restart_from_start)},
                kesto_fake::ValidSound(sound) ? 0 : -1);
}
int AdjustSoundHandleVolume(int volume, int sound) {
  return Record("AdjustSoundHandleVolume", {double(volume), double(sound)},
                kesto_fake::ValidSound(sound) ? 0 : -1);
}
int StartMusicFile(const char* path, int play_type) {
  auto& s = state();
  std::string p = path ? path : "";
  if (s.music_start_result == 0) {
    s.music_running = true;
    s.music_path = p;
  }
  return Record("StartMusicFile", {double(play_type)}, s.music_start_result, p);
}
int HaltMusic() {
  if (state().halt_stops_music) state().music_running = false;
  return Record("HaltMusic", {}, 0);
}
int IsMusicRunning() { return Record("IsMusicRunning", {}, state().music_running ? 1 : 0); }
int ChooseMusicEngine(int engine) {
  state().music_engine = engine;
  return Record("ChooseMusicEngine", {double(engine)}, 0);
}
