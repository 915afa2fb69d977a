// Program entry, boot loads and the scene loop.
#pragma once

// The whole program: -1 when Kesto cannot start, else 0 after the scene loop
// ended and Kesto was shut down.
int RunProgram();
int LoadBootData();
// One pass of the scene loop for the current scene.
int RunCurrentScene();
int RunSceneLoop();
// The reset at scene 0 (and after a saved replay), and at the end of a game.
int ResetGameObjects();
int ResetPlayObjects();
// Makes the folders the saved files live in; false when one cannot be made.
bool EnsureSaveFolders();
