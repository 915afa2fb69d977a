// Keyboard and joypads as the library's input layer expects them: one input
// object, a keyboard device over a 256-entry key table, and joypad devices
// over SDL joysticks (plus one injected pad for tests and input scripts),
// each acquired before it can be read and signalling new data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform::input {

using Result = int32_t;
constexpr Result kOk = 0;
// Success, but the device must be polled (event notification accepted).
constexpr Result kPolledDevice = 1;
constexpr Result kErrFailed = static_cast<Result>(0x80004005u);
constexpr Result kErrNotAcquired = static_cast<Result>(0x8007000Cu);
constexpr Result kErrInputLost = static_cast<Result>(0x8007001Eu);

// The joystick state in the classic fixed layout.
struct JoyState {
  int32_t x, y, z;
  int32_t rx, ry, rz;
  int32_t slider[2];
  uint32_t pov[4];  // hundredths of degrees clockwise from up; 0xFFFFFFFF centred
  uint8_t buttons[32];  // 0x80 when pressed
};

// --- the key table, fed by the SDL adapter, the input script and tests ---
// Sets or clears a key (code 0-255), records a buffered event and signals
// the keyboard device.
void SetKeyDown(int code, bool down);
// Releases every key (on focus loss the system reports no key-ups).
void ReleaseAllKeys();
bool IsKeyDownInTable(int code);
// The key state as the system reports it by virtual key (256 bytes, 0x80
// down): a modifier sets both its plain and its sided virtual key.
void GetKeyboardState(uint8_t out[256]);

// --- the injected pad (input scripts, tests): listed before SDL's pads ---
void EnableInjectedPad(bool enabled);
bool IsInjectedPadEnabled();
// Raw axis values as SDL reports them (-32768..32767); axis 0 X, 1 Y.
void SetInjectedPadAxis(int axis, int value);
void SetInjectedPadButton(int button, bool down);

// --- the input object ---
Result CreateInputObject();
Result InitializeInputObject();
// Releases every device still open and closes SDL's joystick subsystem,
// so the next start sees pads plugged in meanwhile.
void ReleaseInputObject();
bool InputObjectExists();

// --- devices ---
struct Device;
struct PadInfo {
  std::string instance_name;
  std::string product_name;
  int sdl_index = -1;  // -1: the injected pad
};

Device* CreateKeyboardDevice();
std::vector<PadInfo> EnumerateAttachedPads();
Device* CreatePadDevice(const PadInfo& info);
void ReleaseDevice(Device* device);

Result SetBufferSize(Device* device, int events);
Result SetAxisRange(Device* device, int axis, int32_t minimum, int32_t maximum);
// Dead zone in ten-thousandths of the axis' half range.
Result SetDeadZone(Device* device, int axis, int32_t zone);
Result SetEventNotification(Device* device, bool on);
Result Acquire(Device* device);
Result Unacquire(Device* device);
Result Poll(Device* device);
// The keyboard: 256 bytes. A pad: a JoyState.
Result GetDeviceState(Device* device, void* out, size_t size);
// Takes up to max buffered key events; the count taken, or -1.
int GetBufferedEvents(Device* device, int max);
// New data since the last reset.
bool IsSignalled(Device* device);
void ResetSignal(Device* device);

// Failures to inject (tests).
struct InputFaults {
  bool create_object = false;
  bool initialize_object = false;
  bool keyboard_event = false;
  int pad_reads = 0;  // the next this many pad reads fail
};
InputFaults& FaultsForTesting();
// Clears keys, the injected pad and faults (tests).
void ResetInputForTesting();
int OpenDeviceCount();

}  // namespace platform::input
