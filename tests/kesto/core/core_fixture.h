// A log folder of its own and a clock that stands still unless moved, so the
// log's bytes (time stamps included) are exact.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "core/app_log.h"
#include "platform/clock.h"
#include "support/scoped_temp_dir.h"

class LogFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetClockForTesting(&clock_);
    SetLogFolderPath(dir_.path().c_str());
    InitAppLog();
  }
  void TearDown() override {
    SetLogFolderPath("");
    platform::SetClockForTesting(nullptr);
  }

  std::string LogBytes() const {
    std::ifstream in(dir_.file("AppLog.txt"), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  platform::ManualClock clock_{1000000000ull};
  ScopedTempDir dir_;
};
