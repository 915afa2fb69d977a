// The operations behind the public entry points. Each runs with the call lock
// already held, so none of them may call a public entry point; library code
// that needs one of these services calls the body directly.
#pragma once

int StartLibraryBody();
int StopLibraryBody();
int PumpFrameMessagesBody();
int ChangeWindowModeBody(int window_flag);
int SetWindowCaptionBody(const char* caption);

int SleepWithPumpBody(int milliseconds);
int ReadMillisecondClockBody(int clock_choice);
int ReadLocalClockBody(int* date_six_ints);
int WaitForMillisecondClockBody(int clock_choice, int since, int milliseconds);

int IsKeyHeldBody(int key_code);
int ReadPadBitsBody(int input_selector);

int PackRgbColorBody(int red, int green, int blue);
int PresentBackScreenBody();
int ChooseScreenModeBody(int width, int height, int color_bits, int refresh_rate);
int LoadImageFileToGraphicBody(const char* path);
int EraseTargetScreenBody();
int BlitGraphicAtBody(int x, int y, int graphic, int transparent);
int BlitGraphicScaledRotatedBody(int center_x, int center_y, double scale, double angle,
                                 int graphic, int transparent, int turn);
int BlitGraphicToQuadBody(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4,
                          int graphic, int transparent);
int BlitGraphicPartBody(int dest_x, int dest_y, int src_x, int src_y, int width, int height,
                        int graphic, int transparent, int turn);
int PaintRectangleBody(int x1, int y1, int x2, int y2, int color, int fill);
// Draws an already formatted text with the default font.
int PrintTextBody(int x, int y, const char* text, int color);
int ChooseBlendModeBody(int blend_mode, int blend_param);
int ChooseDrawTargetBody(int target);
int MakeSubGraphicBody(int x, int y, int width, int height, int parent_graphic);

int LoadSoundFileToHandleBody(const char* path);
int StartSoundHandleBody(int sound, int play_type, int restart_from_start);
int AdjustSoundHandleVolumeBody(int volume, int sound);
int StartMusicFileBody(const char* path, int play_type);
int HaltMusicBody();
int IsMusicRunningBody();
int ChooseMusicEngineBody(int engine);
