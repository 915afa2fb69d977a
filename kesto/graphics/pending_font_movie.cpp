// Font and movie operations not built yet: no font or movie ever exists.
#include "graphics/font_movie_services.h"

int InitFontSystem() { return 0; }
int RefreshDefaultFont() { return -1; }
int GetDefaultFontHandle() { return -1; }
int DestroyFont(int) { return -1; }
int RecreateAllFonts() { return 0; }
int CloseMovieOfGraphic(int) { return 0; }
int ReopenAllMovies() { return 0; }
