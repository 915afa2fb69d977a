// Software draws not built yet: every draw fails.
#include "graphics/software_draw_services.h"

int G_DDraw_DrawRotaGraph(int, int, double, double, GraphicRecord*, int, int) { return -1; }
