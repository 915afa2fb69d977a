// Runs one test case again inside xvfb-run, on a real X11 display, and
// checks that it passed there. Inside, KESTO_INSIDE_XVFB is set and the
// test does its work; without xvfb-run the test is skipped.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/scoped_temp_dir.h"

inline bool InsideXvfb() { return std::getenv("KESTO_INSIDE_XVFB") != nullptr; }

// Call from the test when not InsideXvfb(); `filter` names the test case.
inline void RerunInsideXvfb(const std::string& filter) {
  if (access("/usr/bin/xvfb-run", X_OK) != 0) GTEST_SKIP() << "xvfb-run not installed";
  char self[4096] = {};
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  ASSERT_GT(n, 0);
  // The X11 side of SDL keeps a D-Bus connection that is never freed.
  ScopedTempDir dir;
  const std::string suppressions = dir.file("lsan.supp");
  if (FILE* f = std::fopen(suppressions.c_str(), "w")) {
    std::fputs("leak:libdbus-1.so\n", f);
    std::fclose(f);
  }
  const std::string command =
      "xvfb-run -a -s '-screen 0 1024x768x24' env KESTO_INSIDE_XVFB=1 SDL_VIDEODRIVER=x11 "
      "SDL_AUDIODRIVER=dummy LSAN_OPTIONS=suppressions=" +
      suppressions + ":print_suppressions=0 '" + std::string(self) + "' --gtest_filter=" + filter +
      " 2>&1";
  FILE* p = popen(command.c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string output;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, p)) output += buffer;
  const int status = pclose(p);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
  EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
}
