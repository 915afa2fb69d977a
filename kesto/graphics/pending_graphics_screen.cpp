// Screen, surface, graphic-table and draw-state operations not built yet.
#include "core/entry_bodies.h"

int PackRgbColorBody(int, int, int) { return 0; }
int PresentBackScreenBody() { return -1; }
int ChooseScreenModeBody(int, int, int, int) { return -1; }
int EraseTargetScreenBody() { return 0; }
int ChooseBlendModeBody(int, int) { return 0; }
int ChooseDrawTargetBody(int) { return -1; }
int MakeSubGraphicBody(int, int, int, int, int) { return -1; }
