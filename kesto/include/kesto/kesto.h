// Kesto: the public entry points, the only part of the library the game calls.
// Every entry point returns 0 or a handle on success and -1 on failure or a
// bad handle. All but SleepWithPump and WaitForMillisecondClock run under the
// library's call lock.
#pragma once

#include <cstdint>

#include "kesto/handle_kinds.h"

// Draw targets for ChooseDrawTarget besides graphic handles.
constexpr int KESTO_BACK_SCREEN = -2;
constexpr int KESTO_FRONT_SCREEN = -4;

// Start-up and shutdown.
int StartLibrary();
int StopLibrary();
int PumpFrameMessages();
int ChangeWindowMode(int window_flag);
int SetWindowCaption(const char* caption);

// Time.
int SleepWithPump(int milliseconds);
int ReadMillisecondClock(int clock_choice);
int ReadLocalClock(int* date_six_ints);
// Returns once ReadMillisecondClock(clock_choice) - since, as a signed 32-bit
// difference, is `milliseconds` or more: asleep while the end is far, then
// in short sleeps, so the end is met on its millisecond without spinning.
// Pumps no messages and takes no call lock while it sleeps.
int WaitForMillisecondClock(int clock_choice, int since, int milliseconds);

// Input.
int IsKeyHeld(int key_code);
int ReadPadBits(int input_selector);

// Graphics.
int PackRgbColor(int red, int green, int blue);
int PresentBackScreen();
int ChooseScreenMode(int width, int height, int color_bits, int refresh_rate);
int LoadImageFileToGraphic(const char* path);
int EraseTargetScreen();
int BlitGraphicAt(int x, int y, int graphic, int transparent);
int BlitGraphicScaledRotated(int center_x, int center_y, double scale, double angle,
                             int graphic, int transparent, int turn);
int BlitGraphicToQuad(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4,
                      int graphic, int transparent);
int BlitGraphicPart(int dest_x, int dest_y, int src_x, int src_y, int width, int height,
                    int graphic, int transparent, int turn);
int PaintRectangle(int x1, int y1, int x2, int y2, int color, int fill);
int PrintTextFormatted(int x, int y, int color, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
int ChooseBlendMode(int blend_mode, int blend_param);
int ChooseDrawTarget(int target);
int MakeSubGraphic(int x, int y, int width, int height, int parent_graphic);

// Sound and music.
int LoadSoundFileToHandle(const char* path);
int StartSoundHandle(int sound, int play_type, int restart_from_start);
int AdjustSoundHandleVolume(int volume, int sound);
int StartMusicFile(const char* path, int play_type);
int HaltMusic();
int IsMusicRunning();
int ChooseMusicEngine(int engine);
