// Font operations not built yet: no font ever exists.
#include "graphics/font_movie_services.h"

int InitFontSystem() { return 0; }
int RefreshDefaultFont() { return -1; }
int GetDefaultFontHandle() { return -1; }
int DestroyFont(int) { return -1; }
int RecreateAllFonts() { return 0; }
