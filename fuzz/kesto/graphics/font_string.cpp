// Arbitrary bytes as text, drawn and measured with every kind of font: the
// first byte picks the font, the second how it is drawn, the rest is the
// text, handed over without a terminator. Nothing may read past it.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "core/entry_bodies.h"
#include "graphics/draw_state.h"
#include "graphics/font_draw.h"
#include "graphics/font_handles.h"
#include "graphics/graphics_host.h"
#include "graphics/screen.h"
#include "platform/clock.h"
#include "platform/video/display.h"
#include "platform/video/presenter.h"
#include "platform/video3d/direct3d.h"

namespace {

struct World {
  platform::ManualClock clock{1000000000ull};
  int window = 0;
  // Texture fonts of the four types, then bitmap fonts of the four types.
  int fonts[8] = {};
  World() {
    platform::video::ResetDisplayForTesting();
    platform::video3d::Reset3DForTesting();
    ResetGraphicsHost();
    platform::SetClockForTesting(&clock);
    clock.on_sleep = [this](uint64_t ns) { clock.Advance(ns ? ns : 50000); };
    platform::video::SetPresenter(std::make_unique<platform::video::NullPresenter>());
    Host().window = &window;
    Host().windowed = false;
    Host().fatal = [](const char*) { std::abort(); };
    Screen().width = 320;
    Screen().height = 240;
    Screen().color_bits = 16;
    StartDirectDraw(Host().window);
    ChooseDrawTargetBody(-2);
    for (int i = 0; i < 8; ++i) {
      // Bitmap caches are what fonts get where graphics do not draw
      // through Direct3D.
      SetUse3DFlag(i < 4 ? 1 : 0);
      fonts[i] = CreateFontToHandle(nullptr, 12 + 2 * (i & 3), -1, i & 3, -1, (i & 1) ? 2 : -1,
                                    -1, -1);
    }
    SetUse3DFlag(1);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static World world;
  if (size < 2) return 0;
  ClearGfxLogLines();
  const int font = world.fonts[data[0] & 7];
  const int how = data[1];
  const int vertical = how & 1;
  static const int kModes[4] = {0, 1, 2, 3};
  SelectBlendMode(kModes[(how >> 1) & 3], 128);
  const int x = (how >> 3) & 1 ? -7 : 40, y = (how >> 4) & 1 ? 230 : 30;
  // Exactly the text's bytes, so a read past them is caught.
  const size_t n = size - 2;
  std::unique_ptr<char[]> text(new char[n ? n : 1]);
  if (n) std::memcpy(text.get(), data + 2, n);
  const int length = static_cast<int>(n);
  int measured[2] = {0, 0};
  FontCacheStringDraw(0, 0, 0, n ? text.get() : "", 0, nullptr, nullptr, 0,
                      platform::video::Rect{}, 16, 1, font, 0, length, vertical, measured);
  const FontRecord* f = GetFontRecord(font);
  if (f && !f->texture_cache) {
    FontCacheStringDraw(1, x, y, n ? text.get() : "", PackRgbColorBody(255, 255, 255),
                        GetBackSurface(), nullptr, 0, platform::video::Rect{0, 0, 320, 240}, 16,
                        1, font, 0, length, vertical, nullptr);
  }
  // The string entry takes a terminated copy.
  std::unique_ptr<char[]> terminated(new char[n + 1]);
  if (n) std::memcpy(terminated.get(), data + 2, n);
  terminated[n] = 0;
  PrintStringWithFont(x, y, terminated.get(), PackRgbColorBody(255, 255, 0), font,
                      PackRgbColorBody(0, 0, 255), vertical);
  SelectBlendMode(0, 0);
  return 0;
}
