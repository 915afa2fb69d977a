#include "version.h"

const char* GeneratorStamp() { return ASSETGEN_STAMP; }
