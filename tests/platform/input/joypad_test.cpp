#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/input/input_devices.h"
#include "platform/input/key_codes.h"

namespace in = platform::input;

namespace {

class JoypadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    in::ResetInputForTesting();
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
  }
  void TearDown() override {
    in::ResetInputForTesting();
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  }
  // A virtual pad: 2 axes, 32 buttons, 1 hat. Its device index.
  static int AttachPad() {
    return SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 32, 1);
  }
  static in::Device* OpenLikeTheLibrary(const in::PadInfo& info) {
    in::Device* d = in::CreatePadDevice(info);
    if (!d) return nullptr;
    in::SetAxisRange(d, 0, -1000, 1000);
    in::SetAxisRange(d, 1, -1000, 1000);
    in::SetDeadZone(d, 0, 2500);
    in::SetDeadZone(d, 1, 2500);
    in::Acquire(d);
    return d;
  }
};

TEST_F(JoypadTest, SdlPadAxesAreScaledWithADeadZoneAndButtonsAndHatsRead) {
  const int index = AttachPad();
  ASSERT_GE(index, 0) << SDL_GetError();
  ASSERT_EQ(in::CreateInputObject(), in::kOk);
  const auto pads = in::EnumerateAttachedPads();
  ASSERT_EQ(pads.size(), 1u);
  in::Device* d = OpenLikeTheLibrary(pads[0]);
  ASSERT_NE(d, nullptr);
  SDL_Joystick* j = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(index));
  ASSERT_NE(j, nullptr);

  struct Case {
    int raw;
    int32_t scaled;
  };
  // A quarter of the travel is dead; the rest is stretched to +-1000.
  const Case cases[] = {{0, 0},          {8191, 0},       {-8192, 0},   {16384, 333},
                        {-16384, -333},  {32767, 1000},   {-32768, -1000}};
  for (const Case& c : cases) {
    SDL_JoystickSetVirtualAxis(j, 0, static_cast<Sint16>(c.raw));
    SDL_JoystickSetVirtualAxis(j, 1, static_cast<Sint16>(-c.raw < 32767 ? -c.raw : 32767));
    ASSERT_EQ(in::Poll(d), in::kOk);
    in::JoyState st{};
    ASSERT_EQ(in::GetDeviceState(d, &st, sizeof st), in::kOk);
    EXPECT_EQ(st.x, c.scaled) << c.raw;
    EXPECT_NEAR(st.y, -c.scaled, 1) << c.raw;
  }
  SDL_JoystickSetVirtualButton(j, 0, 1);
  SDL_JoystickSetVirtualButton(j, 31, 1);
  SDL_JoystickSetVirtualHat(j, 0, SDL_HAT_LEFT);
  in::Poll(d);
  in::JoyState st{};
  in::GetDeviceState(d, &st, sizeof st);
  EXPECT_EQ(st.buttons[0], 0x80);
  EXPECT_EQ(st.buttons[1], 0);
  EXPECT_EQ(st.buttons[31], 0x80);
  EXPECT_EQ(st.pov[0], 27000u);
  EXPECT_EQ(st.pov[1], 0xFFFFFFFFu);
  in::ReleaseInputObject();
  SDL_JoystickDetachVirtual(index);
}

TEST_F(JoypadTest, APadPluggedInLaterIsSeenAfterTheNextStart) {
  ASSERT_EQ(in::CreateInputObject(), in::kOk);
  const size_t before = in::EnumerateAttachedPads().size();
  in::ReleaseInputObject();
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
  const int index = AttachPad();
  ASSERT_GE(index, 0);
  ASSERT_EQ(in::CreateInputObject(), in::kOk);
  EXPECT_EQ(in::EnumerateAttachedPads().size(), before + 1);
  in::ReleaseInputObject();
  SDL_JoystickDetachVirtual(index);
}

TEST_F(JoypadTest, AReleasedOrUnacquiredDeviceRefusesEveryOperation) {
  ASSERT_EQ(in::CreateInputObject(), in::kOk);
  in::Device* kb = in::CreateKeyboardDevice();
  uint8_t keys[256];
  EXPECT_EQ(in::GetDeviceState(kb, keys, sizeof keys), in::kErrNotAcquired);
  EXPECT_EQ(in::Acquire(kb), in::kOk);
  EXPECT_EQ(in::GetDeviceState(kb, keys, sizeof keys), in::kOk);
  in::ReleaseDevice(kb);
  EXPECT_NE(in::Acquire(kb), in::kOk);
  EXPECT_NE(in::GetDeviceState(kb, keys, sizeof keys), in::kOk);
  EXPECT_EQ(in::GetBufferedEvents(kb, 5), -1);
  EXPECT_FALSE(in::IsSignalled(kb));
}

TEST_F(JoypadTest, KeyboardBuffersUpToItsSizeAndSignalsNewKeys) {
  ASSERT_EQ(in::CreateInputObject(), in::kOk);
  in::Device* kb = in::CreateKeyboardDevice();
  in::SetBufferSize(kb, 3);
  in::SetEventNotification(kb, true);
  in::Acquire(kb);
  EXPECT_FALSE(in::IsSignalled(kb));
  for (int i = 0; i < 5; ++i) in::SetKeyDown(in::kKeyZ, i % 2 == 0);
  EXPECT_TRUE(in::IsSignalled(kb));
  in::ResetSignal(kb);
  EXPECT_FALSE(in::IsSignalled(kb));
  EXPECT_EQ(in::GetBufferedEvents(kb, 5), 3);
  EXPECT_EQ(in::GetBufferedEvents(kb, 5), 0);
  in::SetKeyDown(in::kKeyZ, true);  // unchanged: no event
  in::SetKeyDown(300, true);        // no such key
  EXPECT_FALSE(in::IsSignalled(kb));
}

TEST(KeyCodesTest, ScancodesAndNamesMapToTheKeyTable) {
  struct Case {
    SDL_Scancode scancode;
    const char* name;
    int code;
  };
  const Case cases[] = {
      {SDL_SCANCODE_ESCAPE, "escape", 0x01}, {SDL_SCANCODE_Z, "Z", 0x2C},
      {SDL_SCANCODE_SPACE, "SPACE", 0x39},   {SDL_SCANCODE_KP_2, "NUMPAD2", 0x50},
      {SDL_SCANCODE_UP, "UP", 0xC8},         {SDL_SCANCODE_DOWN, "DOWN", 0xD0},
      {SDL_SCANCODE_RETURN, "RETURN", 0x1C}, {SDL_SCANCODE_KP_ENTER, "NUMPADENTER", 0x9C},
      {SDL_SCANCODE_DELETE, "DELETE", 0xD3}, {SDL_SCANCODE_F12, "F12", 0x58},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(in::KeyCodeFromScancode(c.scancode), c.code) << c.name;
    EXPECT_EQ(in::KeyCodeFromName(c.name), c.code) << c.name;
  }
  EXPECT_EQ(in::KeyCodeFromScancode(SDL_SCANCODE_UNKNOWN), 0);
  EXPECT_EQ(in::KeyCodeFromName("NOPE"), -1);
}

}  // namespace
