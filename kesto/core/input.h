// Keyboard and joypads: start and stop, the key and pad reads behind the
// public input entry points, and the per-pump drain of buffered keys.
#pragma once

#include <cstdint>

// 0 started (or already running); -1 no input object; 1 the keyboard's
// event could not be set up.
int StartDirectInput();
int StopDirectInput();
int IsInputStarted();
// 1: no keyboard device is made; keys are read from the system's key state.
int SetNoKeyboardDevice(int flag);
int UpdateKeyboardState();
int PollJoypad(int index);
int DrainKeyboardBuffer();
int JoypadCount();
