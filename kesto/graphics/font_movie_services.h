// Fonts and movies as graphics start-up, end and recovery call them.
#pragma once

#include "graphics/movies.h"

int InitFontSystem();
int RefreshDefaultFont();
int GetDefaultFontHandle();
int DestroyFont(int font);
int RecreateAllFonts();
