#include "graphics/font_glyph_copy.h"

#include <cstddef>

using platform::video::Rect;

namespace {

template <int Bytes>
inline void Store(uint8_t* p, uint32_t v) {
  if constexpr (Bytes == 1) {
    *p = static_cast<uint8_t>(v);
  } else if constexpr (Bytes == 2) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
  } else {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
  }
}

struct Channels {
  int shift[3];
  int max[3];
};

constexpr Channels k565{{11, 5, 0}, {31, 63, 31}};
constexpr Channels k555{{10, 5, 0}, {31, 31, 31}};
constexpr Channels k888{{16, 8, 0}, {255, 255, 255}};

// The body colour over the edge colour by t (0..256), channel by channel.
inline uint32_t Mix(const Channels& ch, uint32_t color, uint32_t edge, int t) {
  uint32_t out = 0;
  for (int i = 0; i < 3; ++i) {
    const int c = static_cast<int>((color >> ch.shift[i]) & static_cast<uint32_t>(ch.max[i]));
    const int e = static_cast<int>((edge >> ch.shift[i]) & static_cast<uint32_t>(ch.max[i]));
    const int v = e + (((c - e) * t) >> 8);
    out |= static_cast<uint32_t>(v & ch.max[i]) << ch.shift[i];
  }
  return out;
}

// What one cell value becomes: false for a pixel the glyph leaves alone.
template <int Type>
inline bool Shade(const uint8_t* row, int sx, const GlyphCopyColors& c, const Channels& ch,
                  uint32_t* value, int* alpha) {
  if constexpr (Type == 0) {
    if (!((row[sx >> 3] >> (7 - (sx & 7))) & 1)) return false;
    *value = c.color;
    *alpha = 255;
  } else if constexpr (Type == 1) {
    // Body pixels carry bit 1 at every depth: the cache holds the index the
    // text was written with, not a colour.
    const uint8_t v = row[sx];
    if (!v) return false;
    *value = (v & 2) ? c.color : c.edge;
    *alpha = 255;
  } else if constexpr (Type == 2) {
    *alpha = row[sx];
    *value = c.color;
    return *alpha > 0;
  } else {
    const int b = row[2 * sx], e = row[2 * sx + 1];
    if (b == 0 && e == 0) return false;
    if (b == 0) {
      *value = c.edge;
      *alpha = e;
    } else if (b == 255) {
      *value = c.color;
      *alpha = 255;
    } else {
      *alpha = b + (((256 - b) * e) >> 8);
      *value = Mix(ch, c.color, c.edge, (b << 8) / *alpha);
    }
  }
  return true;
}

template <int Bytes, int Type, bool Vertical>
void CopyLoop(const GlyphCopyTarget& t, const GlyphCopySource& s, const GlyphCopyColors& c,
              int cell_x, int cell_y, const Rect& box, const Rect& r) {
  const Channels& ch = Bytes == 4 ? k888 : t.layout16 == 1 ? k555 : k565;
  for (int dy = r.top; dy < r.bottom; ++dy) {
    uint8_t* out = t.pixels + static_cast<ptrdiff_t>(dy) * t.pitch;
    uint8_t* alpha = t.alpha ? t.alpha + static_cast<ptrdiff_t>(dy) * t.alpha_pitch : nullptr;
    // Across, a target row reads one cell row; down, one cell column.
    const uint8_t* across = s.bits + static_cast<ptrdiff_t>(cell_y + (dy - box.top)) * s.pitch;
    for (int dx = r.left; dx < r.right; ++dx) {
      int sx;
      const uint8_t* row;
      if constexpr (Vertical) {
        sx = cell_x + (dy - box.top);
        row = s.bits + static_cast<ptrdiff_t>(cell_y + (box.right - 1 - dx)) * s.pitch;
      } else {
        sx = cell_x + (dx - box.left);
        row = across;
        // Blank runs of a one-bit cell are passed over a byte at a time.
        if constexpr (Type == 0) {
          if (c.transparent && (sx & 7) == 0 && dx + 8 <= r.right && row[sx >> 3] == 0) {
            dx += 7;
            continue;
          }
        }
      }
      uint32_t value = 0;
      int a = 0;
      if (!Shade<Type>(row, sx, c, ch, &value, &a)) {
        if (c.transparent) continue;
        value = 0;
        a = 0;
      }
      Store<Bytes>(out + static_cast<ptrdiff_t>(dx) * Bytes, value);
      if (alpha) alpha[dx] = static_cast<uint8_t>(a);
    }
  }
}

template <int Bytes, int Type>
void Dispatch(bool vertical, const GlyphCopyTarget& t, const GlyphCopySource& s,
              const GlyphCopyColors& c, int cx, int cy, const Rect& box, const Rect& r) {
  if (vertical) {
    CopyLoop<Bytes, Type, true>(t, s, c, cx, cy, box, r);
  } else {
    CopyLoop<Bytes, Type, false>(t, s, c, cx, cy, box, r);
  }
}

template <int Bytes>
void ByType(bool vertical, const GlyphCopyTarget& t, const GlyphCopySource& s,
            const GlyphCopyColors& c, int cx, int cy, const Rect& box, const Rect& r) {
  switch (s.type) {
    case 0: Dispatch<Bytes, 0>(vertical, t, s, c, cx, cy, box, r); break;
    case 1: Dispatch<Bytes, 1>(vertical, t, s, c, cx, cy, box, r); break;
    case 2: Dispatch<Bytes, 2>(vertical, t, s, c, cx, cy, box, r); break;
    default: Dispatch<Bytes, 3>(vertical, t, s, c, cx, cy, box, r); break;
  }
}

}  // namespace

void CopyGlyphCell(const GlyphCopyTarget& target, const GlyphCopySource& source,
                   const GlyphCopyColors& colors, int cell_x, int cell_y, const Rect& box,
                   const Rect& clipped, bool vertical) {
  if (clipped.Empty()) return;
  switch (target.bits) {
    case 8:
      // Antialiased text has no 8-bit form: it needs the alpha of a deeper
      // target.
      if (source.type >= 2) return;
      ByType<1>(vertical, target, source, colors, cell_x, cell_y, box, clipped);
      break;
    case 16:
      if (source.type == 3 && target.layout16 < 0) return;
      ByType<2>(vertical, target, source, colors, cell_x, cell_y, box, clipped);
      break;
    case 32: ByType<4>(vertical, target, source, colors, cell_x, cell_y, box, clipped); break;
    default: break;
  }
}
