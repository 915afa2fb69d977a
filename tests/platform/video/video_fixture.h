// A fresh simulated display on a manual clock for each test.
#pragma once

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/video/direct_draw.h"
#include "platform/video/presenter.h"

namespace platform::video {

class VideoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDisplayForTesting();
    SetClockForTesting(&clock_);
    // Each poll of the beam takes 50 microseconds.
    clock_.on_sleep = [this](uint64_t ns) {
      if (ns == 0) clock_.Advance(50000);
    };
    auto presenter = std::make_unique<NullPresenter>();
    presenter_ = presenter.get();
    SetPresenter(std::move(presenter));
    ASSERT_EQ(CreateDirectDraw(&dd_), kOk);
    ASSERT_EQ(dd_->Initialize(), kOk);
  }
  void TearDown() override {
    if (dd_) dd_->Release();
    SetPresenter(nullptr);
    SetClockForTesting(nullptr);
    ResetDisplayForTesting();
  }
  Surface* Plain(int w, int h, const PixelFormat& f, uint32_t memory = kCapsSystemMemory) {
    SurfaceDesc d;
    d.caps = kCapsOffscreenPlain | memory;
    d.width = w;
    d.height = h;
    d.has_format = true;
    d.format = f;
    Surface* s = nullptr;
    EXPECT_EQ(dd_->CreateSurface(d, &s), kOk);
    return s;
  }
  ManualClock clock_{1000000000ull};
  NullPresenter* presenter_ = nullptr;
  DirectDraw* dd_ = nullptr;
  int window_tag_ = 0;
  WindowId window() { return &window_tag_; }
};

}  // namespace platform::video
