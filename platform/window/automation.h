// Unattended runs: KESTO_QUIT_AFTER_FRAMES=N posts the main window's close
// message after the N-th frame (the N-th pump while nothing has been
// presented yet), and KESTO_INPUT_SCRIPT=file replays key and pad presses
// at given frames. Frames count presents; once more than 16 frame pumps
// in a row pass without one, each further frame pump counts as a frame. Script lines are "frame name down|up"; names are key
// names (Z, X, ESCAPE, SPACE, RETURN, UP, NUMPAD2, F1, ...) or PAD_UP,
// PAD_DOWN, PAD_LEFT, PAD_RIGHT, PAD_BUTTON0 ... PAD_BUTTON31 of an
// injected joypad; "#" starts a comment.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/window/message_queue.h"

namespace platform::window {

struct ScriptEvent {
  uint64_t frame = 0;
  enum Kind { kKey, kPadAxis, kPadButton } kind = kKey;
  int code = 0;   // key code, axis (0 X, 1 Y) or button
  int value = 0;  // key/button: 1 down, 0 up; axis: raw value
  int line = 0;
};

// Parses a script; bad lines are skipped and described in errors.
std::vector<ScriptEvent> ParseInputScript(const std::string& text,
                                          std::vector<std::string>* errors);

// Reads and parses a script file (a regular file only); what cannot be read
// or parsed is said on stderr and left out.
std::vector<ScriptEvent> LoadInputScript(const char* path);

// The window that receives the close message.
void SetAutomationWindow(WindowHandle window);
// Called at the start of every pump: applies due script events and posts
// the close message when the frame limit is reached. Only pumps marked as
// frame pumps (the program's own, once started) count while nothing has
// been presented, and only they post the close message.
void NoteFramePump(bool frame_pump);
// Reads the two variables (done on first use).
void ConfigureAutomationFromEnvironment();
// Test setters; a limit of 0 disables quitting.
void SetQuitAfterFrames(uint64_t frames);
void SetInputScript(std::vector<ScriptEvent> events);
void ResetAutomationForTesting();

}  // namespace platform::window
