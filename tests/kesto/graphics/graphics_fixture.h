// A headless display on a manual clock, with fatal exits turned into
// exceptions so a test can see the message.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "graphics/graphics_host.h"
#include "graphics/screen.h"
#include "platform/clock.h"
#include "platform/video/display.h"
#include "platform/video/presenter.h"
#include "platform/video3d/direct3d.h"

struct FatalExit : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class GraphicsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::video::ResetDisplayForTesting();
    // Graphics are 2D surfaces unless a test starts with Direct3D.
    platform::video3d::Reset3DForTesting();
    platform::video3d::Config3D().available = false;
    ResetGraphicsHost();
    platform::SetClockForTesting(&clock_);
    // Each poll of the display takes 50 microseconds.
    clock_.on_sleep = [this](uint64_t ns) {
      if (ns == 0) clock_.Advance(50000);
    };
    auto presenter = std::make_unique<platform::video::NullPresenter>();
    presenter_ = presenter.get();
    platform::video::SetPresenter(std::move(presenter));
    Host().window = &window_tag_;
    Host().fatal = [](const char* message) { throw FatalExit(message); };
    Host().client_rect = [this] { return client_; };
    platform::video::SetClientRectProvider([this](platform::video::WindowId, platform::video::Rect* r) {
      *r = client_;
      return true;
    });
  }
  void TearDown() override {
    StopDirectDraw();
    platform::video::SetPresenter(nullptr);
    platform::SetClockForTesting(nullptr);
    platform::video::ResetDisplayForTesting();
    platform::video3d::Reset3DForTesting();
  }
  // Starts the screen in a window (or full screen) with the given mode.
  void Start(bool windowed, int width = 640, int height = 480, int bits = 16) {
    Host().windowed = windowed;
    Screen().width = width;
    Screen().height = height;
    Screen().color_bits = bits;
    StartDirectDraw(Host().window);
  }
  // The same with the Direct3D device up, as the game runs.
  void StartWith3D(bool windowed, int width = 640, int height = 480, int bits = 16) {
    platform::video3d::Config3D().available = true;
    Start(windowed, width, height, bits);
  }
  bool Logged(const std::string& text) const {
    const auto& lines = GfxLogLines();
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.find(text) != std::string::npos; });
  }

  platform::ManualClock clock_{5000000000ull};
  platform::video::NullPresenter* presenter_ = nullptr;
  int window_tag_ = 0;
  platform::video::Rect client_{100, 50, 740, 530};
};
