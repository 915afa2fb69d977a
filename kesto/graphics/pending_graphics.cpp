// Graphics operations not built yet: each reports failure until its code lands.
#include "core/entry_bodies.h"

int PackRgbColorBody(int, int, int) { return 0; }
int PresentBackScreenBody() { return -1; }
int ChooseScreenModeBody(int, int, int, int) { return -1; }
int LoadImageFileToGraphicBody(const char*) { return -1; }
int EraseTargetScreenBody() { return 0; }
int BlitGraphicAtBody(int, int, int, int) { return -1; }
int BlitGraphicScaledRotatedBody(int, int, double, double, int, int, int) { return -1; }
int BlitGraphicToQuadBody(int, int, int, int, int, int, int, int, int, int) { return -1; }
int BlitGraphicPartBody(int, int, int, int, int, int, int, int, int) { return -1; }
int PaintRectangleBody(int, int, int, int, int, int) { return -1; }
int PrintTextBody(int, int, const char*, int) { return -1; }
int ChooseBlendModeBody(int, int) { return 0; }
int ChooseDrawTargetBody(int) { return -1; }
int MakeSubGraphicBody(int, int, int, int, int) { return -1; }
