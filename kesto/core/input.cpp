#include "core/input.h"

#include <cstring>

#include "core/entry_bodies.h"
#include "core/keyboard_table.h"
#include "core/pump.h"
#include "core/startup.h"
#include "core/startup_log.h"
#include "core/window_state.h"
#include "platform/clock.h"
#include "platform/input/input_devices.h"

namespace in = platform::input;

namespace {

constexpr int kMaxJoypads = 8;

struct JoypadRecord {
  in::Device* device;
  in::JoyState state;
  uint32_t read_time;
};

struct InputState {
  bool object;
  in::Device* keyboard;
  uint32_t keyboard_read_time;
  uint8_t keys[256];
  int pad_count;
  JoypadRecord pads[kMaxJoypads + 1];
};

InputState g_input{};
// A setting, so it outlives the clearing of the input state at each start.
int g_no_keyboard_device = 0;

struct KeyBit {
  uint32_t bit;
  uint8_t key1;
  uint8_t key2;
};
constexpr KeyBit kKeyBits[] = {
    {0x1, 0x50, 0xD0},    {0x2, 0x4B, 0xCB},    {0x4, 0x4D, 0xCD},    {0x8, 0x48, 0xC8},
    {0x10, 0x2C, 0},      {0x20, 0x2D, 0},      {0x40, 0x2E, 0},      {0x80, 0x1E, 0},
    {0x100, 0x1F, 0},     {0x200, 0x20, 0},     {0x400, 0x10, 0},     {0x800, 0x11, 0},
    {0x1000, 0x01, 0},    {0x2000, 0x39, 0},
};

bool Held(uint8_t key) { return key != 0 && (g_input.keys[key] & 0x80) != 0; }

void AddJoypad(const in::PadInfo& info) {
  in::Device* d = in::CreatePadDevice(info);
  if (!d) {
    CoreLog("入力装置の取得に失敗しました\n");
    return;
  }
  CoreLog("入力装置を見つけました\n");
  CoreLogFormat("デバイスの登録名:%s", info.instance_name.c_str());
  CoreLogFormat("デバイスの製品登録名:%s", info.product_name.c_str());
  const char* failure = nullptr;
  if (in::SetAxisRange(d, 0, -1000, 1000) != in::kOk) {
    failure = "ジョイパッドデバイスのＸ軸関係の設定に失敗しました\n";
  } else if (in::SetAxisRange(d, 1, -1000, 1000) != in::kOk) {
    failure = "ジョイパッドデバイスのＹ軸関係の設定に失敗しました\n";
  } else if (in::SetDeadZone(d, 0, 2500) != in::kOk) {
    failure = "ジョイパッドデバイスのＸ軸の無効ゾーンの設定に失敗しました\n";
  } else if (in::SetDeadZone(d, 1, 2500) != in::kOk) {
    failure = "ジョイパッドデバイスのＹ軸の無効ゾーンの設定に失敗しました\n";
  } else {
    const in::Result r = in::SetEventNotification(d, true);
    if (r != in::kOk && r != in::kPolledDevice) {
      failure = "ジョイパッドイベントのセットアップが失敗しました\n";
    }
  }
  if (failure) {
    CoreLog(failure);
    in::ReleaseDevice(d);
    return;
  }
  in::Acquire(d);
  JoypadRecord& rec = g_input.pads[g_input.pad_count];
  rec = JoypadRecord{};
  rec.device = d;
  CoreLog("ジョイパッドの追加は正常に終了しました\n");
  ++g_input.pad_count;
}

}  // namespace

int IsInputStarted() { return g_input.object ? 1 : 0; }

int SetNoKeyboardDevice(int flag) {
  g_no_keyboard_device = flag ? 1 : 0;
  return 0;
}
int JoypadCount() { return g_input.pad_count; }

int StartDirectInput() {
  if (g_input.object) return 0;
  g_input = InputState{};
  CoreLog("DirectInput関係初期化処理\n");
  CoreLogIndent(1);
  CoreLog("DirectInputオブジェクトの取得中... ");
  if (in::CreateInputObject() != in::kOk) {
    CoreLog("取得に失敗\n");
    CoreLogIndent(-1);
    return -1;
  }
  CoreLog("成功\n");
  CoreLogIndent(1);
  CoreLog("引き続き初期化処理... ");
  if (in::InitializeInputObject() != in::kOk) {
    CoreLog("初期化に失敗\n");
    in::ReleaseInputObject();
    CoreLogIndent(-2);
    return -1;
  }
  CoreLog("初期化成功\n");
  CoreLogIndent(-1);
  g_input.object = true;

  CoreLog("ジョイパッドの初期化... \n");
  g_input.pad_count = 0;
  for (const in::PadInfo& info : in::EnumerateAttachedPads()) {
    AddJoypad(info);
    if (g_input.pad_count >= kMaxJoypads) break;
  }
  CoreLog("ジョイパッドの初期化は正常に終了しました\n");

  if (g_no_keyboard_device) {
    CoreLogIndent(-1);
    CoreLog("DirectInput 関連の初期化は正常に終了しました\n");
    return 0;
  }
  CoreLog("キーボードデバイスの初期化... ");
  in::Device* kb = in::CreateKeyboardDevice();
  if (!kb) ExitWithError("キーボードデバイスの取得に失敗しました");
  if (in::SetBufferSize(kb, 100) != in::kOk) {
    CoreLog("キーボードのプロパティ設定に失敗しました\n");
  }
  g_input.keyboard = kb;
  const in::Result ev = in::SetEventNotification(kb, true);
  if (ev != in::kOk && ev != in::kPolledDevice) {
    CoreLog("キーボードイベントのセットアップが失敗しました\n");
    CoreLogIndent(-1);
    return 1;
  }
  if (in::Acquire(kb) != in::kOk && in::Acquire(kb) != in::kOk) {
    in::ReleaseDevice(kb);
    g_input.keyboard = nullptr;
    in::ReleaseInputObject();
    g_input.object = false;
    ExitWithError("キーボードデバイスの取得に失敗しました");
  }
  CoreLog("初期化成功\n");
  g_input.keyboard_read_time = platform::TimeGetTime();
  CoreLogIndent(-1);
  CoreLog("DirectInput 関連の初期化は正常に終了しました\n");
  return 0;
}

int StopDirectInput() {
  if (!g_input.object) return 0;
  CoreLog("DirectInput 関連の終了処理... 完了\n");
  for (int i = 0; i < g_input.pad_count; ++i) {
    JoypadRecord& rec = g_input.pads[i];
    in::Unacquire(rec.device);
    in::SetEventNotification(rec.device, false);
    in::ReleaseDevice(rec.device);
    rec = JoypadRecord{};
  }
  g_input.pad_count = 0;
  if (g_input.keyboard) {
    in::Unacquire(g_input.keyboard);
    in::ReleaseDevice(g_input.keyboard);
    g_input.keyboard = nullptr;
  }
  in::ReleaseInputObject();
  g_input.object = false;
  return 0;
}

int UpdateKeyboardState() {
  in::Device* kb = g_input.keyboard;
  if (!kb || g_no_keyboard_device) {
    // Without a keyboard device the keys are read as the system sees them.
    uint8_t virtual_keys[256];
    in::GetKeyboardState(virtual_keys);
    KeyCodesFromVirtualKeys(virtual_keys, g_input.keys);
    return 1;
  }
  const uint32_t now = platform::TimeGetTime();
  const bool signalled = in::IsSignalled(kb);
  if (g_input.keyboard_read_time == now && !signalled) return 0;
  if (in::GetDeviceState(kb, g_input.keys, sizeof g_input.keys) != in::kOk) {
    if (in::Acquire(kb) != in::kOk ||
        in::GetDeviceState(kb, g_input.keys, sizeof g_input.keys) != in::kOk) {
      return 0;
    }
  }
  g_input.keyboard_read_time = now;
  if (signalled) in::ResetSignal(kb);
  return 1;
}

int PollJoypad(int index) {
  if (index < 0 || index >= g_input.pad_count) return 0;
  JoypadRecord* rec = &g_input.pads[index];
  const uint32_t now = platform::TimeGetTime();
  const bool signalled = in::IsSignalled(rec->device);
  if (rec->read_time == now && !signalled) return 0;
  rec->read_time = now;
  in::JoyState st{};
  in::Poll(rec->device);
  if (in::GetDeviceState(rec->device, &st, sizeof st) != in::kOk) {
    // A pump may run the device recovery, which stops input and releases
    // the device: look again after every pump.
    if (PumpFrameMessagesBody() != 0) return -1;
    if (!g_input.object || !rec->device) return 0;
    in::Acquire(rec->device);
    if (PumpFrameMessagesBody() != 0) return -1;
    if (!g_input.object || !rec->device) return 0;
    if (in::GetDeviceState(rec->device, &st, sizeof st) != in::kOk) {
      if (signalled) in::ResetSignal(rec->device);
      return 0;
    }
  }
  rec->state = st;
  if (signalled) in::ResetSignal(rec->device);
  return 0;
}

int DrainKeyboardBuffer() {
  if (!g_input.keyboard) return 0;
  for (;;) {
    const int n = in::GetBufferedEvents(g_input.keyboard, 5);
    if (n < 5) break;
  }
  return 0;
}

// Restarts input after a stop (device recovery stops it); the read then goes
// on normally, so a start-up status is never mistaken for a key state.
static bool EnsureInputStarted() {
  if (g_input.object) return true;
  if (IsClosingRequested()) return false;
  return StartDirectInput() != -1 && g_input.object;
}

int ReadPadBitsBody(int selector) {
  WaitWhileInactive();
  if (!EnsureInputStarted()) return 0;
  const int index = (selector & ~0x1000) - 1;
  if (index < -1 || index > 8) return 0;
  uint32_t bits = 0;
  if (index >= 0 && index < g_input.pad_count && g_input.pads[index].device) {
    PollJoypad(index);
    const in::JoyState& st = g_input.pads[index].state;
    if (st.x < 0) bits |= 0x2;
    if (st.x > 0) bits |= 0x4;
    if (st.y < 0) bits |= 0x8;
    if (st.y > 0) bits |= 0x1;
    for (int n = 0; n < 24; ++n) {
      if (st.buttons[n] & 0x80) bits |= 0x10u << n;
    }
  }
  if (selector & 0x1000) {
    UpdateKeyboardState();
    for (const KeyBit& k : kKeyBits) {
      if (Held(k.key1) || Held(k.key2)) bits |= k.bit;
    }
  }
  return static_cast<int>(bits);
}

int IsKeyHeldBody(int key) {
  WaitWhileInactive();
  if (!EnsureInputStarted()) return 0;
  UpdateKeyboardState();
  if (key < 0 || key > 255) return 0;
  return Held(static_cast<uint8_t>(key)) ? 1 : 0;
}
