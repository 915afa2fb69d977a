// The picture shown in the window while the program is inactive.
#pragma once

// Copies the pause picture, unscaled, into the middle of the window's
// visible area. 0; nothing without a picture or a display.
int DrawPauseGraphic();
// The window's end: the picture is deleted.
int DeletePauseGraphic();
