#include "render/plain_loops.h"

#include <type_traits>

namespace render {

namespace {

using Yes = std::true_type;
using No = std::false_type;

// One row. Skipped pixels keep what they hold through a select rather than a
// branch, so the loop vectorises and keyed texels cost no mispredictions;
// `InPlace` rows read the pixels they write (no separate read pointer, so no
// overlap check stands in the way).
template <class Px, bool Keyed, bool Alpha, bool InPlace, class Op>
KESTO_PIXEL_LOOP void RunRow(Px* o, const Px* r, const Px* s, const uint8_t* al, int width,
                             uint32_t key, Op op) {
  for (int x = 0; x < width; ++x) {
    const uint32_t sv = s[x];
    const uint32_t dv = InPlace ? o[x] : r[x];
    uint32_t a = 255;
    if constexpr (Alpha) a = al[x];
    bool keep = false;
    if constexpr (Keyed) keep = sv == key;
    if constexpr (Alpha) keep = keep || a == 0;
    const Px out = static_cast<Px>(op(sv, dv, a));
    o[x] = KeepOr(keep, o[x], out);
  }
}

template <class Px, bool Keyed, bool Alpha, bool InPlace, class Op>
void RunRows(const RectRows& g, uint32_t key, Op op) {
  uint8_t* dst = g.dst;
  const uint8_t* rd = g.read;
  const uint8_t* src = g.src;
  const uint8_t* al = g.alpha;
  for (int y = 0; y < g.height; ++y) {
    RunRow<Px, Keyed, Alpha, InPlace>(reinterpret_cast<Px*>(dst), reinterpret_cast<const Px*>(rd),
                                      reinterpret_cast<const Px*>(src), al, g.width, key, op);
    dst += g.dst_pitch;
    rd += g.read_pitch;
    src += g.src_pitch;
    if constexpr (Alpha) al += g.alpha_pitch;
  }
}

template <class Px, bool Keyed, bool Alpha, class Op>
void RunRect(const RectRows& g, uint32_t key, Op op) {
  if (g.read == g.dst && g.read_pitch == g.dst_pitch) {
    RunRows<Px, Keyed, Alpha, true>(g, key, op);
  } else {
    RunRows<Px, Keyed, Alpha, false>(g, key, op);
  }
}

template <class F>
Pick Pixels(const F& f, const RectRows& g, const PlainChoice& c) {
  using Px = typename F::Px;
  constexpr bool k32 = sizeof(Px) == 4;
  const bool has_b = c.brightness != -1;
  const Bright b = Bright::From(c.brightness);
  // Narrow types tell the vectoriser the products fit 16-bit lanes.
  const uint8_t p = static_cast<uint8_t>(c.param & 255);
  // The destination weight of the table blend: 256 - p at 32 bits (read
  // only where p >= 1, so it fits a byte).
  const uint8_t wd = static_cast<uint8_t>(k32 ? 256 - p : 255 - p);
  auto run = [&](auto alpha, auto op) {
    constexpr bool A = decltype(alpha)::value;
    if (c.keyed) {
      RunRect<Px, true, A>(g, c.key, op);
    } else {
      RunRect<Px, false, A>(g, c.key, op);
    }
    return Pick::kDrawn;
  };
  auto unkeyed = [&](auto op) {
    RunRect<Px, false, false>(g, 0, op);
    return Pick::kDrawn;
  };
  auto mode0_bright = [&] {
    return run(No{}, [f, b](uint32_t s, uint32_t, uint32_t) { return ApplyBright(f, s, b); });
  };
  auto mode0_alpha = [&] {
    if (has_b) {
      return run(Yes{}, [f, b](uint32_t s, uint32_t d, uint32_t a) {
        const uint32_t sb = ApplyBright(f, s, b);
        return a == 255 ? sb : Lerp(f, sb, d, a);
      });
    }
    return run(Yes{}, [f](uint32_t s, uint32_t d, uint32_t a) {
      return a == 255 ? s : Inplace(f, s, d, a);
    });
  };
  auto term_op = [&](auto combine) {
    // Modes 2 and 3: the packed term added to or subtracted from d.
    if (!c.alpha) {
      if (has_b) {
        return run(No{}, [f, b, p, combine](uint32_t s, uint32_t d, uint32_t) {
          return combine(d, Scale(f, ApplyBright(f, s, b), p));
        });
      }
      return run(No{}, [f, p, combine](uint32_t s, uint32_t d, uint32_t) {
        return combine(d, Scale(f, s, p));
      });
    }
    if (has_b) {
      return run(Yes{}, [f, b, p, combine](uint32_t s, uint32_t d, uint32_t a) {
        return combine(d, Scale(f, ApplyBright(f, s, b), (a * p) >> 8));
      });
    }
    return run(Yes{}, [f, p, combine](uint32_t s, uint32_t d, uint32_t a) {
      return combine(d, a == 255 ? Scale(f, s, p) : Scale(f, s, (a * p) >> 8));
    });
  };
  auto add = [f](uint32_t d, uint32_t s) { return AddPacked(f, d, s); };
  auto sub = [f](uint32_t d, uint32_t s) { return SubPacked(f, d, s); };

  if constexpr (std::is_same_v<F, FmtOther>) {
    // Other 16-bit layouts: no brightness, no alpha plane.
    switch (c.mode) {
      case 0:
        return Pick::kFastPath;
      case 1:
        if (p == 0) return Pick::kNothing;
        if (p == 255) return Pick::kFastPath;
        return run(
            No{}, [f, p](uint32_t s, uint32_t d, uint32_t) { return Table2(f, s, d, p, 255 - p); });
      case 2:
      case 3:
        if (p == 0) return Pick::kNothing;
        if (c.mode == 2) {
          return run(No{}, [f, p](uint32_t s, uint32_t d, uint32_t) {
            return AddPacked(f, d, Scale(f, s, p));
          });
        }
        return run(No{}, [f, p](uint32_t s, uint32_t d, uint32_t) {
          return SubPacked(f, d, Scale(f, s, p));
        });
      case 4:
        return unkeyed([f](uint32_t s, uint32_t d, uint32_t) { return Multiply(f, d, s); });
      case 6:
        return run(No{}, [](uint32_t s, uint32_t d, uint32_t) { return d ^ s; });
      default:
        return Pick::kNothing;
    }
  } else {
    switch (c.mode) {
      case 0:
        if (c.alpha) return mode0_alpha();
        if (!has_b) return Pick::kFastPath;
        return mode0_bright();
      case 1:
        if (p == 0) return Pick::kNothing;
        if (!c.alpha) {
          if (p == 255) return has_b ? mode0_bright() : Pick::kFastPath;
          if (!has_b && c.packed) {
            if constexpr (k32) {
              return run(No{},
                         [p](uint32_t s, uint32_t d, uint32_t) { return MmxBlend32(s, d, p); });
            } else {
              return run(No{}, [f, p](uint32_t s, uint32_t d, uint32_t) {
                return Mix(f, s, d, p, 255 - p);
              });
            }
          }
          if (has_b) {
            return run(No{}, [f, b, p, wd](uint32_t s, uint32_t d, uint32_t) {
              return Table2(f, ApplyBright(f, s, b), d, p, wd);
            });
          }
          return run(No{}, [f, p, wd](uint32_t s, uint32_t d, uint32_t) {
            return Table2(f, s, d, p, wd);
          });
        }
        if (p == 255) return mode0_alpha();
        if (has_b) {
          return run(Yes{}, [f, b, p](uint32_t s, uint32_t d, uint32_t a) {
            const uint32_t k = (a * p) >> 8;
            return Mix(f, ApplyBright(f, s, b), d, k, 255 - k);
          });
        }
        return run(Yes{}, [f, p, wd](uint32_t s, uint32_t d, uint32_t a) {
          return a == 255 ? Table2(f, s, d, p, wd) : Inplace(f, s, d, (a * p) >> 8);
        });
      case 2:
        if (p == 0) return Pick::kNothing;
        if (!c.alpha && !has_b && c.packed) {
          if constexpr (k32) {
            return run(No{}, [p](uint32_t s, uint32_t d, uint32_t) { return MmxAdd32(s, d, p); });
          } else {
            return run(No{},
                       [f, p](uint32_t s, uint32_t d, uint32_t) { return MmxAdd16(f, s, d, p); });
          }
        }
        return term_op(add);
      case 3:
        if (p == 0) return Pick::kNothing;
        return term_op(sub);
      case 4:
        if (has_b) {
          return unkeyed([f, b](uint32_t s, uint32_t d, uint32_t) {
            return Multiply(f, d, ApplyBright(f, s, b));
          });
        }
        return unkeyed([f](uint32_t s, uint32_t d, uint32_t) { return Multiply(f, d, s); });
      case 6:
        if constexpr (k32) {
          return Pick::kNothing;
        } else {
          return run(No{}, [](uint32_t s, uint32_t d, uint32_t) { return d ^ s; });
        }
      default:
        return Pick::kNothing;
    }
  }
}

}  // namespace

Pick DrawPlainPixels(int bits, const Layout& layout, const RectRows& rows, const PlainChoice& c) {
  if (rows.width <= 0 || rows.height <= 0) return Pick::kDrawn;
  if (bits == 32) return Pixels(Fmt8888{}, rows, c);
  if (bits != 16) return Pick::kNothing;
  switch (layout.format_class) {
    case 0:
      return Pixels(Fmt565{}, rows, c);
    case 1:
      return Pixels(Fmt555{}, rows, c);
    default:
      return Pixels(FmtOther{layout}, rows, c);
  }
}

}  // namespace render
