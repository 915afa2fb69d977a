// The graphics manager: handles and draw state on top of the screen; its
// start with defaults after every mode switch, its end before every
// teardown, and the rebuild of the whole device after a lost display.
#pragma once

using GraphicsRestoreCallback = void (*)();

struct GraphicsManagerState {
  int started;
  int usable_3d;
  GraphicsRestoreCallback restore_callback;
};

GraphicsManagerState& GraphicsManager();

int StartGraphicsManager();
int EndGraphicsManager();
int SetGraphicsRestoreCallback(GraphicsRestoreCallback callback);
int RecoverGraphicsDevice();
int FlagGraphicsForRestore();
int RestoreLostScreenSurfaces();
int ReleaseDirectDrawForRecovery();
int RecreateDirectDrawAfterLoss();
int ReapplyScreenMode();
int ReleaseWindowClipper();
int RecreateWindowClipper();
int RefreshScreenPalette();
int ReleaseAll2DSurfaceSurfaces();
int RecreateAll2DSurfaceSurfaces();

// Image loading's reload of every graphic flagged for restore: the default
// restore callback.
void ReloadGraphicsFromFiles();
