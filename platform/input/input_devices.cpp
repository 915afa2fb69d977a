#include "platform/input/input_devices.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <memory>

#include "platform/input/key_codes.h"

namespace platform::input {

struct Device {
  bool keyboard = false;
  bool acquired = false;
  bool notify = false;
  uint64_t seen_sequence = 0;
  int buffer_size = 0;
  std::deque<uint8_t> buffered;
  // Pads.
  int sdl_index = -1;
  SDL_Joystick* joystick = nullptr;
  int32_t range_min[2] = {-32768, -32768};
  int32_t range_max[2] = {32767, 32767};
  int32_t dead_zone[2] = {0, 0};
};

namespace {

struct InputSystem {
  uint8_t keys[256] = {};
  uint64_t key_sequence = 0;
  bool injected_enabled = false;
  int injected_axes[2] = {0, 0};
  uint8_t injected_buttons[32] = {};
  uint64_t pad_sequence = 0;
  bool object = false;
  bool sdl_joysticks = false;
  std::vector<std::unique_ptr<Device>> devices;
  InputFaults faults;
};

InputSystem& Sys() {
  static InputSystem* system = new InputSystem();
  return *system;
}

bool Live(Device* d) {
  if (!d) return false;
  for (const auto& p : Sys().devices) {
    if (p.get() == d) return true;
  }
  return false;
}

void BufferKeyEvent(uint8_t code) {
  for (const auto& d : Sys().devices) {
    if (!d->keyboard || d->buffer_size <= 0) continue;
    if (static_cast<int>(d->buffered.size()) < d->buffer_size) d->buffered.push_back(code);
  }
}

// Scales a raw axis into the device's range, with the dead zone around the
// centre and the rest of the travel stretched to the full range.
int32_t ScaleAxis(const Device& d, int axis, int raw) {
  double v = raw < 0 ? raw / 32768.0 : raw / 32767.0;
  const double zone = d.dead_zone[axis] / 10000.0;
  if (std::fabs(v) <= zone) {
    v = 0.0;
  } else {
    v = (std::fabs(v) - zone) / (1.0 - zone) * (v < 0 ? -1.0 : 1.0);
  }
  const double lo = d.range_min[axis];
  const double hi = d.range_max[axis];
  const double centre = (lo + hi) / 2.0;
  const double half = (hi - lo) / 2.0;
  return static_cast<int32_t>(std::lround(centre + v * half));
}

uint32_t PovFromHat(Uint8 hat) {
  switch (hat) {
    case SDL_HAT_UP: return 0;
    case SDL_HAT_RIGHTUP: return 4500;
    case SDL_HAT_RIGHT: return 9000;
    case SDL_HAT_RIGHTDOWN: return 13500;
    case SDL_HAT_DOWN: return 18000;
    case SDL_HAT_LEFTDOWN: return 22500;
    case SDL_HAT_LEFT: return 27000;
    case SDL_HAT_LEFTUP: return 31500;
    default: return 0xFFFFFFFFu;
  }
}

void OpenSdlJoysticks() {
  if (Sys().sdl_joysticks) return;
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0) Sys().sdl_joysticks = true;
}

}  // namespace

void SetKeyDown(int code, bool down) {
  if (code < 0 || code > 255) return;
  InputSystem& s = Sys();
  const uint8_t v = down ? 0x80 : 0x00;
  if (s.keys[code] == v) return;
  s.keys[code] = v;
  ++s.key_sequence;
  BufferKeyEvent(static_cast<uint8_t>(code));
}

void ReleaseAllKeys() {
  for (int i = 0; i < 256; ++i) SetKeyDown(i, false);
}

bool IsKeyDownInTable(int code) {
  return code >= 0 && code <= 255 && (Sys().keys[code] & 0x80) != 0;
}

void GetKeyboardState(uint8_t out[256]) {
  std::memset(out, 0, 256);
  // Left and right Shift, Control and Alt.
  static const struct {
    int code;
    uint32_t sided;
  } kSides[] = {{0x2A, 0xA0}, {0x36, 0xA1}, {0x1D, 0xA2}, {0x9D, 0xA3}, {0x38, 0xA4}, {0xB8, 0xA5}};
  int code = 0;
  uint32_t vk = 0;
  for (int i = 0; KeyRowAt(i, &code, &vk); ++i) {
    if (!IsKeyDownInTable(code) || vk > 255) continue;
    out[vk] = 0x80;
    for (const auto& side : kSides) {
      if (side.code == code) out[side.sided] = 0x80;
    }
  }
}

void EnableInjectedPad(bool enabled) { Sys().injected_enabled = enabled; }
bool IsInjectedPadEnabled() { return Sys().injected_enabled; }

void SetInjectedPadAxis(int axis, int value) {
  if (axis < 0 || axis > 1) return;
  Sys().injected_axes[axis] = std::clamp(value, -32768, 32767);
  ++Sys().pad_sequence;
}

void SetInjectedPadButton(int button, bool down) {
  if (button < 0 || button > 31) return;
  Sys().injected_buttons[button] = down ? 0x80 : 0;
  ++Sys().pad_sequence;
}

Result CreateInputObject() {
  if (Sys().faults.create_object) return kErrFailed;
  Sys().object = true;
  return kOk;
}

Result InitializeInputObject() {
  if (!Sys().object || Sys().faults.initialize_object) return kErrFailed;
  return kOk;
}

void ReleaseInputObject() {
  InputSystem& s = Sys();
  for (auto& d : s.devices) {
    if (d->joystick) SDL_JoystickClose(d->joystick);
  }
  s.devices.clear();
  s.object = false;
  if (s.sdl_joysticks) {
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    s.sdl_joysticks = false;
  }
}

bool InputObjectExists() { return Sys().object; }

Device* CreateKeyboardDevice() {
  if (!Sys().object) return nullptr;
  auto d = std::make_unique<Device>();
  d->keyboard = true;
  d->seen_sequence = Sys().key_sequence;
  Sys().devices.push_back(std::move(d));
  return Sys().devices.back().get();
}

std::vector<PadInfo> EnumerateAttachedPads() {
  std::vector<PadInfo> pads;
  if (!Sys().object) return pads;
  if (Sys().injected_enabled) pads.push_back({"Kesto injected pad", "Kesto injected pad", -1});
  OpenSdlJoysticks();
  if (!Sys().sdl_joysticks) return pads;
  const int n = SDL_NumJoysticks();
  for (int i = 0; i < n; ++i) {
    const char* name = SDL_JoystickNameForIndex(i);
    pads.push_back({name ? name : "joystick", name ? name : "joystick", i});
  }
  return pads;
}

Device* CreatePadDevice(const PadInfo& info) {
  if (!Sys().object) return nullptr;
  auto d = std::make_unique<Device>();
  d->sdl_index = info.sdl_index;
  if (info.sdl_index >= 0) {
    d->joystick = SDL_JoystickOpen(info.sdl_index);
    if (!d->joystick) return nullptr;
  }
  d->seen_sequence = Sys().pad_sequence;
  Sys().devices.push_back(std::move(d));
  return Sys().devices.back().get();
}

void ReleaseDevice(Device* device) {
  if (!Live(device)) return;
  if (device->joystick) SDL_JoystickClose(device->joystick);
  auto& ds = Sys().devices;
  ds.erase(std::remove_if(ds.begin(), ds.end(), [&](const auto& p) { return p.get() == device; }),
           ds.end());
}

Result SetBufferSize(Device* device, int events) {
  if (!Live(device) || events < 0) return kErrFailed;
  device->buffer_size = events;
  return kOk;
}

Result SetAxisRange(Device* device, int axis, int32_t minimum, int32_t maximum) {
  if (!Live(device) || device->keyboard || axis < 0 || axis > 1 || minimum >= maximum) {
    return kErrFailed;
  }
  device->range_min[axis] = minimum;
  device->range_max[axis] = maximum;
  return kOk;
}

Result SetDeadZone(Device* device, int axis, int32_t zone) {
  if (!Live(device) || device->keyboard || axis < 0 || axis > 1 || zone < 0 || zone > 10000) {
    return kErrFailed;
  }
  device->dead_zone[axis] = zone;
  return kOk;
}

Result SetEventNotification(Device* device, bool on) {
  if (!Live(device)) return kErrFailed;
  if (device->keyboard && Sys().faults.keyboard_event && on) return kErrFailed;
  device->notify = on;
  return kOk;
}

Result Acquire(Device* device) {
  if (!Live(device)) return kErrFailed;
  device->acquired = true;
  return kOk;
}

Result Unacquire(Device* device) {
  if (!Live(device)) return kErrFailed;
  device->acquired = false;
  return kOk;
}

Result Poll(Device* device) {
  if (!Live(device)) return kErrFailed;
  if (!device->acquired) return kErrNotAcquired;
  if (device->joystick) SDL_JoystickUpdate();
  return kOk;
}

Result GetDeviceState(Device* device, void* out, size_t size) {
  if (!Live(device) || !out) return kErrFailed;
  if (!device->acquired) return kErrNotAcquired;
  InputSystem& s = Sys();
  if (device->keyboard) {
    if (size != sizeof s.keys) return kErrFailed;
    std::memcpy(out, s.keys, sizeof s.keys);
    return kOk;
  }
  if (size != sizeof(JoyState)) return kErrFailed;
  if (s.faults.pad_reads > 0) {
    --s.faults.pad_reads;
    return kErrInputLost;
  }
  JoyState st{};
  for (uint32_t& p : st.pov) p = 0xFFFFFFFFu;
  if (!device->joystick) {
    st.x = ScaleAxis(*device, 0, s.injected_axes[0]);
    st.y = ScaleAxis(*device, 1, s.injected_axes[1]);
    std::memcpy(st.buttons, s.injected_buttons, sizeof st.buttons);
  } else {
    SDL_Joystick* j = device->joystick;
    const int axes = SDL_JoystickNumAxes(j);
    if (axes > 0) st.x = ScaleAxis(*device, 0, SDL_JoystickGetAxis(j, 0));
    if (axes > 1) st.y = ScaleAxis(*device, 1, SDL_JoystickGetAxis(j, 1));
    int32_t* rest[] = {&st.z, &st.rx, &st.ry, &st.rz, &st.slider[0], &st.slider[1]};
    for (int a = 2; a < axes && a < 8; ++a) *rest[a - 2] = SDL_JoystickGetAxis(j, a);
    const int hats = std::min(SDL_JoystickNumHats(j), 4);
    for (int h = 0; h < hats; ++h) st.pov[h] = PovFromHat(SDL_JoystickGetHat(j, h));
    const int buttons = std::min(SDL_JoystickNumButtons(j), 32);
    for (int b = 0; b < buttons; ++b) st.buttons[b] = SDL_JoystickGetButton(j, b) ? 0x80 : 0;
  }
  std::memcpy(out, &st, sizeof st);
  return kOk;
}

int GetBufferedEvents(Device* device, int max) {
  if (!Live(device) || !device->keyboard || !device->acquired || max < 0) return -1;
  int n = 0;
  while (n < max && !device->buffered.empty()) {
    device->buffered.pop_front();
    ++n;
  }
  return n;
}

bool IsSignalled(Device* device) {
  if (!Live(device) || !device->notify) return false;
  if (device->keyboard) return device->seen_sequence != Sys().key_sequence;
  // SDL pads report through the event queue only when polled, so a pad is
  // treated as always having news.
  if (device->joystick) return true;
  return device->seen_sequence != Sys().pad_sequence;
}

void ResetSignal(Device* device) {
  if (!Live(device)) return;
  device->seen_sequence = device->keyboard ? Sys().key_sequence : Sys().pad_sequence;
}

InputFaults& FaultsForTesting() { return Sys().faults; }

void ResetInputForTesting() {
  ReleaseInputObject();
  InputSystem& s = Sys();
  std::memset(s.keys, 0, sizeof s.keys);
  s.injected_enabled = false;
  s.injected_axes[0] = s.injected_axes[1] = 0;
  std::memset(s.injected_buttons, 0, sizeof s.injected_buttons);
  s.faults = InputFaults{};
}

int OpenDeviceCount() { return static_cast<int>(Sys().devices.size()); }

}  // namespace platform::input
