// The bitmap services' packed-bitmap drawing over arbitrary bytes: read,
// decode, and draw stretched and mirrored into a small section.
#include <vector>

#include "platform/gdi/dib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::gdi::PackedDib dib;
  if (!platform::gdi::ReadPackedDib(data, size, &dib)) return 0;
  std::vector<uint32_t> pixels;
  if (!platform::gdi::DecodePackedDib(dib, &pixels)) return 0;
  auto section = platform::gdi::DibSection::Create(7, -5, 24, nullptr);
  const int w = dib.header.width;
  const int h = dib.header.height < 0 ? -dib.header.height : dib.header.height;
  platform::gdi::StretchDibToSection(section.get(), -1, 1, -9, 4, 0, 0, w, h, dib);
  return 0;
}
