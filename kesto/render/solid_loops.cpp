#include "render/solid_loops.h"

#include <algorithm>
#include <type_traits>

namespace render {

namespace {

template <class Px, class Op>
void Rows(uint8_t* dst, int dst_pitch, const uint8_t* read, int read_pitch, int width,
          int height, Op op) {
  for (int y = 0; y < height; ++y) {
    Px* o = reinterpret_cast<Px*>(dst);
    const Px* r = reinterpret_cast<const Px*>(read);
    for (int x = 0; x < width; ++x) o[x] = static_cast<Px>(op(static_cast<uint32_t>(r[x])));
    dst += dst_pitch;
    read += read_pitch;
  }
}

template <class Px, class Op>
void Walk(uint8_t* dst, const uint8_t* read, const LineWalk& w, Op op) {
  int error = 0;
  for (int k = 0; k < w.count; ++k) {
    *reinterpret_cast<Px*>(dst) =
        static_cast<Px>(op(static_cast<uint32_t>(*reinterpret_cast<const Px*>(read))));
    dst += w.dst_major;
    read += w.read_major;
    error += w.minor;
    if (error >= w.major) {
      dst += w.dst_minor;
      read += w.read_minor;
      error -= w.major;
    }
  }
}

// Per-channel forms of the box on other 16-bit layouts.
struct OtherBox {
  FmtOther f;
  uint32_t p;
  uint32_t fr, fg, fb;  // c' channels
  uint32_t Blend(uint32_t d) const {
    return f.Pack((f.R(d) * (255 - p) + fr * p) >> 8, (f.G(d) * (255 - p) + fg * p) >> 8,
                  (f.B(d) * (255 - p) + fb * p) >> 8);
  }
  static uint32_t AddChannel(uint32_t d, uint32_t c, uint32_t p, uint32_t max) {
    return std::min(max, ((d << 8) + c * p) >> 8);
  }
  static uint32_t SubChannel(uint32_t d, uint32_t c, uint32_t p) {
    const uint32_t v = ((d << 8) - c * p) >> 8;
    return (v & (1u << 23)) ? 0 : v;
  }
  uint32_t Add(uint32_t d) const {
    return f.Pack(AddChannel(f.R(d), fr, p, f.RMax()), AddChannel(f.G(d), fg, p, f.GMax()),
                  AddChannel(f.B(d), fb, p, f.BMax()));
  }
  uint32_t Sub(uint32_t d) const {
    return f.Pack(SubChannel(f.R(d), fr, p), SubChannel(f.G(d), fg, p),
                  SubChannel(f.B(d), fb, p));
  }
};

// Calls run(op) with the pixel rule; false when nothing is drawn.
template <class F, class Run>
bool Choose(SolidKind kind, const F& f, const SolidChoice& c, Run&& run) {
  const uint32_t p = static_cast<uint32_t>(c.param) & 255;
  const uint32_t fill = c.fill;
  switch (c.mode) {
    case 0:
      run([fill](uint32_t) { return fill; });
      return true;
    case 1: {
      if (p == 0) return false;
      if (p == 255) {
        run([fill](uint32_t) { return fill; });
        return true;
      }
      if constexpr (std::is_same_v<F, FmtOther>) {
        if (kind == SolidKind::kBox) {
          const OtherBox ob{f, p, f.R(fill), f.G(fill), f.B(fill)};
          run([ob](uint32_t d) { return ob.Blend(d); });
          return true;
        }
      }
      // T[p][c'] once per call, T[255 - p][d] per pixel.
      const uint32_t tr = T(p, f.R(fill)), tg = T(p, f.G(fill)), tb = T(p, f.B(fill));
      const uint32_t q = 255 - p;
      run([f, tr, tg, tb, q](uint32_t d) {
        return f.Pack(tr + T(q, f.R(d)), tg + T(q, f.G(d)), tb + T(q, f.B(d)));
      });
      return true;
    }
    case 2:
    case 3: {
      if (p == 0) return false;
      if constexpr (std::is_same_v<F, FmtOther>) {
        if (kind == SolidKind::kBox) {
          const OtherBox ob{f, p, f.R(fill), f.G(fill), f.B(fill)};
          if (c.mode == 2) {
            run([ob](uint32_t d) { return ob.Add(d); });
          } else {
            run([ob](uint32_t d) { return ob.Sub(d); });
          }
          return true;
        }
      }
      const uint32_t term = Scale(f, fill, p);
      if (c.mode == 2) {
        run([f, term](uint32_t d) { return AddPacked(f, d, term); });
      } else {
        run([f, term](uint32_t d) { return SubPacked(f, d, term); });
      }
      return true;
    }
    case 4: {
      // The box multiplies by c' on other layouts only; the line by c everywhere.
      const bool by_fill = std::is_same_v<F, FmtOther> && kind == SolidKind::kBox;
      const uint32_t x = by_fill ? fill : c.color;
      run([f, x](uint32_t d) { return Multiply(f, d, x); });
      return true;
    }
    default:
      return false;
  }
}

template <class Run>
bool ByLayout(SolidKind kind, int bits, const Layout& layout, const SolidChoice& c, Run&& run) {
  if (bits == 32) return Choose(kind, Fmt8888{}, c, [&](auto op) { run(uint32_t{}, op); });
  if (bits != 16) return false;
  auto run16 = [&](auto op) { run(uint16_t{}, op); };
  switch (layout.format_class) {
    case 0:
      return Choose(kind, Fmt565{}, c, run16);
    case 1:
      return Choose(kind, Fmt555{}, c, run16);
    default:
      return Choose(kind, FmtOther{layout}, c, run16);
  }
}

}  // namespace

bool BlendSolidRows(SolidKind kind, int bits, const Layout& layout, const SolidChoice& c,
                    uint8_t* dst, int dst_pitch, const uint8_t* read, int read_pitch, int width,
                    int height) {
  return ByLayout(kind, bits, layout, c, [&](auto px, auto op) {
    Rows<decltype(px)>(dst, dst_pitch, read, read_pitch, width, height, op);
  });
}

bool BlendSolidLine(int bits, const Layout& layout, const SolidChoice& c, uint8_t* dst,
                    const uint8_t* read, const LineWalk& walk) {
  if (bits == 8) {
    const uint32_t fill = c.fill;
    Walk<uint8_t>(dst, read, walk, [fill](uint32_t) { return fill; });
    return true;
  }
  return ByLayout(SolidKind::kLine, bits, layout, c, [&](auto px, auto op) {
    Walk<decltype(px)>(dst, read, walk, op);
  });
}

}  // namespace render
