// A main window of the library on the message queue alone (no SDL, no
// graphics), a manual clock, and a count of the messages the window
// procedure sees.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "core/pump.h"
#include "core/window_main.h"
#include "core/window_state.h"
#include "platform/clock.h"
#include "platform/input/input_devices.h"
#include "platform/window/automation.h"
#include "platform/window/cursor.h"
#include "platform/window/message_queue.h"

namespace pw = platform::window;

inline std::vector<uint32_t>& SeenMessages() {
  static std::vector<uint32_t> seen;
  return seen;
}

inline void RecordMessage(pw::WindowHandle, uint32_t id, uintptr_t, intptr_t) {
  SeenMessages().push_back(id);
}

class CoreWindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    pw::ResetWindowSystemForTesting();
    pw::ResetAutomationForTesting();
    pw::ResetCursorForTesting();
    platform::input::ResetInputForTesting();
    ResetCoreStateForTesting();
    platform::SetClockForTesting(&clock_);
    SeenMessages().clear();
    ASSERT_TRUE(pw::RegisterWindowClass(kWindowClassName, MainWindowProc));
    pw::WindowParams p;
    p.client = {100, 50, 640, 480};
    window_ = pw::CreateWindow(kWindowClassName, p);
    ASSERT_NE(window_, nullptr);
    WindowCoreState& s = CoreState();
    s.main_window = window_;
    s.active = 1;
    s.kept.window_mode = 1;
    s.kept.message_hook = RecordMessage;
    SeenMessages().clear();
  }
  void TearDown() override {
    platform::SetClockForTesting(nullptr);
    platform::input::ResetInputForTesting();
    pw::ResetWindowSystemForTesting();
    ResetCoreStateForTesting();
  }

  void Post(uint32_t id, uintptr_t wparam = 0, intptr_t lparam = 0) {
    pw::PostMessage(window_, id, wparam, lparam);
  }

  platform::ManualClock clock_{1000000000ull};
  pw::WindowHandle window_ = nullptr;
};
