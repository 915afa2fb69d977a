// Movie operations not built yet: no movie ever exists.
#include "graphics/font_movie_services.h"

int CloseMovieOfGraphic(int) { return 0; }
int ReopenAllMovies() { return 0; }
