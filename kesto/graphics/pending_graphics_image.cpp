// Image loading not built yet.
#include "core/entry_bodies.h"

int LoadImageFileToGraphicBody(const char*) { return -1; }
