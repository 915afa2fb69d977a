// Software draws not built yet: every draw fails.
#include "graphics/software_draw_services.h"

int G_DDraw_DrawRotaGraph(int, int, double, double, GraphicRecord*, int, int) { return -1; }
int G_DDraw_DrawModiGraph(int, int, int, int, int, int, int, int, GraphicRecord*, int) {
  return -1;
}
int G_DDraw_DrawModiGraphFloat(float, float, float, float, float, float, float, float,
                               GraphicRecord*, int) {
  return -1;
}
