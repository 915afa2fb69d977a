#include "model_compare.h"

#include <gtest/gtest.h>

#include <cstring>

#include "reference_rasterizer.h"

namespace platform::video3d {

void ExpectSameAsModel(RasterState st, const TLVertex* const first[3],
                       const TLVertex* const second[3], uint32_t first_color, uint32_t second_color,
                       video::Surface* fast, video::Surface* model, const char* what) {
  for (int y = 0; y < fast->height(); ++y)
    std::memcpy(model->Row(y), fast->Row(y), static_cast<size_t>(fast->pitch()));
  st.target = model;
  uint64_t model_written =
      reference::ReferenceDrawTriangle(st, *first[0], *first[1], *first[2], first_color);
  if (second) {
    model_written +=
        reference::ReferenceDrawTriangle(st, *second[0], *second[1], *second[2], second_color);
  }
  st.target = fast;
  const uint64_t fast_written =
      second ? DrawTrianglePair(st, first, second, first_color, second_color)
             : DrawTriangle(st, *first[0], *first[1], *first[2], first_color);
  ASSERT_EQ(fast_written, model_written) << what;
  for (int y = 0; y < fast->height(); ++y) {
    ASSERT_EQ(std::memcmp(model->Row(y), fast->Row(y), static_cast<size_t>(fast->pitch())), 0)
        << what << ": row " << y;
  }
}

}  // namespace platform::video3d
