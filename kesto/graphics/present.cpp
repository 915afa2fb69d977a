#include "graphics/present.h"

#include <cmath>

#include "core/entry_bodies.h"
#include "core/screen_log.h"
#include "graphics/device3d_services.h"
#include "graphics/draw_state.h"
#include "graphics/graphics_host.h"
#include "graphics/screen.h"
#include "platform/clock.h"

using namespace platform::video;

namespace {

PresentState g_present = {false, false, -1, -1, 0, 0, 0};

// A poll of the beam that never sees the expected state (a stopped clock, a
// broken display) must not hang the program.
constexpr int kMaxPolls = 200000;

int NowMs() { return static_cast<int>(platform::TimeGetTime()); }

// Adds the time from its making to its end to the present work.
struct PresentWorkTimer {
  uint64_t start = platform::CurrentClock().NowNanoseconds();
  ~PresentWorkTimer() {
    g_present.present_work_ns += platform::CurrentClock().NowNanoseconds() - start;
  }
};

double NowMicroseconds() {
  return static_cast<double>(platform::QueryPerformanceCounter()) * 1e6 /
         static_cast<double>(platform::QueryPerformanceFrequency());
}

bool InBlank(DirectDraw* dd) {
  bool blank = false;
  dd->GetVerticalBlankStatus(&blank);
  return blank;
}

int ScanLine(DirectDraw* dd) {
  int line = 0;
  dd->GetScanLine(&line);
  return line;
}

// Waits until the beam wraps (a lower scan line) or a blank is seen.
void WaitForBeamWrap(DirectDraw* dd) {
  const int s0 = ScanLine(dd);
  for (int i = 0; i < kMaxPolls; ++i) {
    const bool blank = InBlank(dd);
    const int s = ScanLine(dd);
    if (s < s0 || blank) return;
  }
}

void WaitOutOfBlank(DirectDraw* dd) {
  for (int i = 0; i < kMaxPolls && InBlank(dd); ++i) {
  }
}

// The on-screen log over the whole screen, unblended; the caller's area and
// blend stay.
void DrawScreenLogOverFrame() {
  if (!IsScreenLogEnabled()) return;
  DrawState& s = GetDrawState();
  const Rect area = s.area;
  const int mode = s.blend_mode, param = s.blend_param;
  int w = 0, h = 0;
  GetScreenResolution(&w, &h);
  ApplyDrawArea(0, 0, w, h);
  SelectBlendMode(0, 0);
  DrawScreenLog();
  ApplyDrawArea(area.left, area.top, area.right, area.bottom);
  SelectBlendMode(mode, param);
}

}  // namespace

PresentState& GetPresentState() { return g_present; }
uint64_t GetPresentCount() { return g_present.present_count; }
void ResetPresentCount() { g_present.present_count = 0; }

int SetFlipVsyncFlag(int flag) {
  g_present.flip_vsync = flag != 0;
  return 0;
}

int PresentFrame() {
  DirectDraw* dd = GetDirectDrawObject();
  if (!dd) return -1;
  WaitWhileWindowInactive();
  if (IsSystemMemoryOnly() || Host().windowed || Host().has_menu) return PresentByCopy();
  DrawScreenLogOverFrame();
  if (GetDrawTarget() == -4 && g_present.flip_vsync) {
    ++g_present.present_count;
    WaitVerticalBlankFrames(1);
    return 0;
  }
  FlushCurrentVertexBatch();
  EndSceneIfBegun();
  if (Surface* primary = GetPrimarySurface()) {
    // With flip vsync the flip's own wait for the blank is in the time.
    const PresentWorkTimer timer;
    primary->Flip(g_present.flip_vsync ? kFlipWait : (kFlipWait | kFlipNoVsync));
  }
  ++g_present.present_count;
  return 0;
}

int PresentByCopy() {
  DirectDraw* dd = GetDirectDrawObject();
  if (!dd) return -1;
  DrawScreenLogOverFrame();
  if (GetDrawTarget() == -4) {
    ++g_present.present_count;
    return WaitVerticalBlankFrames(1);
  }
  FlushCurrentVertexBatch();
  EndSceneIfBegun();
  Surface* primary = GetPrimarySurface();
  Surface* back = GetBackSurface();
  int w = 0, h = 0;
  GetScreenResolution(&w, &h);
  if (primary && back) {
    if (Host().windowed) {
      double s = Host().window_scale;
      if (!(s > 0.0 && s <= 64.0)) s = 1.0;  // a broken setting must not overflow the rectangle
      const Rect client = ClientRectInDesktop();
      const Rect src{0, 0, w, h};
      const Rect dst{client.left, client.top, client.left + static_cast<int>(std::lround(s * w)),
                     client.top + static_cast<int>(std::lround(s * h))};
      if (g_present.flip_vsync) WaitVerticalBlankPaced();
      const PresentWorkTimer timer;
      primary->Blt(&dst, back, &src, kBltWait, 0);
    } else if (Host().has_menu) {
      if (g_present.flip_vsync) WaitVerticalBlankPaced();
      const PresentWorkTimer timer;
      primary->Blt(nullptr, back, nullptr, kBltWait, 0);
    } else {
      if (g_present.flip_vsync) WaitVerticalBlankPaced();
      const PresentWorkTimer timer;
      const Rect src{0, 0, w, h};
      primary->BltFast(0, 0, back, &src, kBltFastWait);
    }
  }
  ++g_present.present_count;
  return 0;
}

void WaitVerticalBlankPaced() {
  DirectDraw* dd = GetDirectDrawObject();
  if (!dd) return;
  const int elapsed = NowMs() - g_present.last_blank_wait_ms;
  if (g_present.pacing_interval_ms == -1 || elapsed >= g_present.pacing_interval_ms) {
    if (!InBlank(dd)) dd->WaitForVerticalBlank();
  } else {
    while (NowMs() - g_present.last_blank_wait_ms < g_present.pacing_interval_ms) {
      platform::Sleep(1);
    }
    dd->WaitForVerticalBlank();
  }
  g_present.last_blank_wait_ms = NowMs();
}

int WaitVerticalBlankFrames(int count) {
  DirectDraw* dd = GetDirectDrawObject();
  if (!dd) return -1;
  if (GetDrawState().suspended) return 0;
  WaitWhileWindowInactive();
  if (count <= 0) {
    if (PumpOnce() != 0) return 0;
    for (int i = 0; i < kMaxPolls; ++i) {
      const bool blank = InBlank(dd);
      if (PumpOnce() != 0 || blank) break;
    }
    return 0;
  }
  for (int frame = 0; frame < count; ++frame) {
    int pumped = 0;
    for (int i = 0; i < kMaxPolls; ++i) {
      const bool blank = InBlank(dd);
      pumped = PumpOnce();
      if (!blank || pumped != 0) break;
    }
    if (pumped == 0) {
      for (int i = 0; i < kMaxPolls; ++i) {
        const bool blank = InBlank(dd);
        pumped = PumpOnce();
        if (blank || pumped != 0) break;
        // Asleep until the blank begins instead of polling the beam through
        // the frame; the poll after it sees the blank.
        dd->WaitForVerticalBlank();
      }
    }
    if (pumped < 0) return -1;
  }
  return 0;
}

void MeasureCopyMethod() {
  Surface* work = GetWorkSurface(1);
  Surface* primary = GetPrimarySurface();
  if (!work || !primary) return;
  int w = 0, h = 0;
  GetScreenResolution(&w, &h);
  const Rect r{0, 0, w, h};
  double start = NowMicroseconds();
  for (int i = 0; i < 8; ++i) work->BltFast(0, 0, primary, &r, kBltFastNoColorKey);
  const double bltfast = NowMicroseconds() - start;
  start = NowMicroseconds();
  for (int i = 0; i < 8; ++i) GdiCopy(work, 0, 0, w, h, primary, 0, 0);
  const double bitblt = NowMicroseconds() - start;
  g_present.bitblt_preferred = bitblt <= bltfast;
  GfxLog("サーフェス間転送には %s を使用します", g_present.bitblt_preferred ? "BitBlt" : "BltFast");
  GfxLog("BitBlt:%.0lfμs   BltFast:%.0lfμs", bitblt, bltfast);
}

int FrameTimeFromTrials(const int trials[4]) {
  for (int i = 0; i < 4; ++i)
    for (int j = i + 1; j < 4; ++j)
      if (trials[i] == trials[j]) return trials[i];
  return -1;
}

void MeasureFrameTime() {
  DirectDraw* dd = GetDirectDrawObject();
  if (!dd) return;
  for (int i = 0; i < 3; ++i) {
    WaitForBeamWrap(dd);
    WaitOutOfBlank(dd);
  }
  WaitForBeamWrap(dd);
  int frame_time = -1;
  int trials[4] = {0, 0, 0, 0};
  for (int series = 1; series <= 5; ++series) {
    for (int& t : trials) {
      const int start = NowMs();
      WaitOutOfBlank(dd);
      WaitForBeamWrap(dd);
      t = NowMs() - start;
    }
    if (series <= 4) {
      frame_time = FrameTimeFromTrials(trials);
      if (frame_time != -1) break;
    }
  }
  if (frame_time != -1) {
    GfxLog("１フレーム当たりの時間は %d msecです", frame_time);
  } else {
    GfxLog("１フレームの時間を正常に取得できませんでした\n");
  }
  for (int i = 0; i < 4; ++i) GfxLog("\tTri%02d:%d msec", i, trials[i]);
  g_present.frame_time_ms = frame_time;
  g_present.pacing_interval_ms = frame_time == -1 ? -1 : (2 * frame_time - 4) / 3;
}

int PresentBackScreenBody() {
  if (!GetDrawState().started) return -1;
  return PresentFrame();
}
