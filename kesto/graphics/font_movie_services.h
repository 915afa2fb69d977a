// Fonts and movies as graphics start-up, end and recovery call them.
#pragma once

int InitFontSystem();
int RefreshDefaultFont();
int GetDefaultFontHandle();
int DestroyFont(int font);
int RecreateAllFonts();
int CloseMovieOfGraphic(int graphic);
int ReopenAllMovies();
