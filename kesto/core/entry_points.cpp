// The public entry points: each takes the call lock, runs its body and
// returns the body's result unchanged.
#include <cstdarg>
#include <cstdio>

#include "core/api_lock.h"
#include "core/entry_bodies.h"
#include "core/text_helpers.h"
#include "kesto/kesto.h"

namespace {

template <typename F>
int Locked(F&& body) {
  AcquireApiLock();
  const int result = body();
  ReleaseApiLock();
  return result;
}

}  // namespace

int StartLibrary() { return Locked([] { return StartLibraryBody(); }); }
int StopLibrary() { return Locked([] { return StopLibraryBody(); }); }
int PumpFrameMessages() { return Locked([] { return PumpFrameMessagesBody(); }); }
int ChangeWindowMode(int f) { return Locked([&] { return ChangeWindowModeBody(f); }); }
int SetWindowCaption(const char* c) { return Locked([&] { return SetWindowCaptionBody(c); }); }

// Takes no lock: its body calls the clock and the pump entry points, which lock.
int SleepWithPump(int ms) { return SleepWithPumpBody(ms); }
int ReadMillisecondClock(int c) { return Locked([&] { return ReadMillisecondClockBody(c); }); }
int ReadLocalClock(int* d) { return Locked([&] { return ReadLocalClockBody(d); }); }
// Takes no lock: it sleeps, and reads the clock through its entry point.
int WaitForMillisecondClock(int c, int since, int ms) {
  return WaitForMillisecondClockBody(c, since, ms);
}

int IsKeyHeld(int k) { return Locked([&] { return IsKeyHeldBody(k); }); }
int ReadPadBits(int s) { return Locked([&] { return ReadPadBitsBody(s); }); }

int PackRgbColor(int r, int g, int b) { return Locked([&] { return PackRgbColorBody(r, g, b); }); }
int PresentBackScreen() { return Locked([] { return PresentBackScreenBody(); }); }
int ChooseScreenMode(int w, int h, int bits, int rate) {
  return Locked([&] { return ChooseScreenModeBody(w, h, bits, rate); });
}
int LoadImageFileToGraphic(const char* p) {
  return Locked([&] { return LoadImageFileToGraphicBody(p); });
}
int EraseTargetScreen() { return Locked([] { return EraseTargetScreenBody(); }); }
int BlitGraphicAt(int x, int y, int g, int t) {
  return Locked([&] { return BlitGraphicAtBody(x, y, g, t); });
}
int BlitGraphicScaledRotated(int cx, int cy, double scale, double angle, int g, int t, int turn) {
  return Locked([&] { return BlitGraphicScaledRotatedBody(cx, cy, scale, angle, g, t, turn); });
}
int BlitGraphicToQuad(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4, int g,
                      int t) {
  return Locked([&] { return BlitGraphicToQuadBody(x1, y1, x2, y2, x3, y3, x4, y4, g, t); });
}
int BlitGraphicPart(int dx, int dy, int sx, int sy, int w, int h, int g, int t, int turn) {
  return Locked([&] { return BlitGraphicPartBody(dx, dy, sx, sy, w, h, g, t, turn); });
}
int PaintRectangle(int x1, int y1, int x2, int y2, int color, int fill) {
  return Locked([&] { return PaintRectangleBody(x1, y1, x2, y2, color, fill); });
}
int PrintTextFormatted(int x, int y, int color, const char* format, ...) {
  // Formatted before the lock is taken, into 1024 bytes, cut at 1023; a
  // format that cannot be formatted draws nothing.
  char text[1024] = "";
  if (format) {
    va_list args;
    va_start(args, format);
    FormatTextArgs(text, sizeof text, format, args);
    va_end(args);
  }
  TrimDanglingLeadByte(text);
  return Locked([&] { return PrintTextBody(x, y, text, color); });
}
int ChooseBlendMode(int m, int p) { return Locked([&] { return ChooseBlendModeBody(m, p); }); }
int ChooseDrawTarget(int t) { return Locked([&] { return ChooseDrawTargetBody(t); }); }
int MakeSubGraphic(int x, int y, int w, int h, int parent) {
  return Locked([&] { return MakeSubGraphicBody(x, y, w, h, parent); });
}

int LoadSoundFileToHandle(const char* p) {
  return Locked([&] { return LoadSoundFileToHandleBody(p); });
}
int StartSoundHandle(int s, int type, int restart) {
  return Locked([&] { return StartSoundHandleBody(s, type, restart); });
}
int AdjustSoundHandleVolume(int v, int s) {
  return Locked([&] { return AdjustSoundHandleVolumeBody(v, s); });
}
int StartMusicFile(const char* p, int type) {
  return Locked([&] { return StartMusicFileBody(p, type); });
}
int HaltMusic() { return Locked([] { return HaltMusicBody(); }); }
int IsMusicRunning() { return Locked([] { return IsMusicRunningBody(); }); }
int ChooseMusicEngine(int e) { return Locked([&] { return ChooseMusicEngineBody(e); }); }
