// Every test program runs headless, whether started by ctest or by hand, and
// knows where the source tree is. Values already set in the environment win.
#include <cstdlib>

namespace {
struct HeadlessEnvironment {
  HeadlessEnvironment() {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("KESTO_SOURCE_DIR", KESTO_SOURCE_DIR_PATH, 0);
  }
};
const HeadlessEnvironment g_headless_environment;
}  // namespace
