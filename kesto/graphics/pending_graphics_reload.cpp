// Reloading graphics from their files is not built yet: flagged graphics
// keep their recreated (empty) surfaces.
#include "graphics/graphics_manager.h"

void ReloadGraphicsFromFiles() {}
