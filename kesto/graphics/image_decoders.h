// The built-in image loaders, tried in this order on every image: BMP,
// JPEG, PNG, raw BGRA, TGA, DDS. Each recognises its format by content and
// returns 0 with the record filled (pixels in tracked memory, owned by the
// record), or -1 with everything it allocated freed. The stream is at its
// start when a loader is called.
#pragma once

#include "graphics/image_stream.h"
#include "graphics/surface_upload.h"

using ImageLoader = int (*)(ImageStream& stream, ImageRecord* image);

int LoadBmpImage(ImageStream& stream, ImageRecord* image);
int LoadJpegImage(ImageStream& stream, ImageRecord* image);
int LoadPngImage(ImageStream& stream, ImageRecord* image);
int LoadBgraImage(ImageStream& stream, ImageRecord* image);
int LoadTgaImage(ImageStream& stream, ImageRecord* image);
int LoadDdsImage(ImageStream& stream, ImageRecord* image);

// The loaders in their order, ended by a null entry.
extern const ImageLoader kImageLoaderTable[7];
