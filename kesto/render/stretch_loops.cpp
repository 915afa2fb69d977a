#include "render/stretch_loops.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <type_traits>

namespace render {

namespace {

using Yes = std::true_type;
using No = std::false_type;

// `Pure`: every pixel is written and depends on the source alone, so a row
// that shows the same source row as the one above is a copy of it.
template <class Px, bool Keyed, bool Alpha, class Op, bool Pure = false>
void Run(const StretchRows& g, uint32_t key, Op op) {
  uint8_t* dst = g.dst;
  const uint8_t* rd = g.read;
  for (int y = 0; y < g.height; ++y) {
    Px* o = reinterpret_cast<Px*>(dst);
    if constexpr (Pure && !Keyed && !Alpha) {
      if (y > 0 && g.rows[y] == g.rows[y - 1]) {
        std::memcpy(o, dst - g.dst_pitch, static_cast<size_t>(g.width) * sizeof(Px));
        dst += g.dst_pitch;
        rd += g.read_pitch;
        continue;
      }
    }
    const Px* r = reinterpret_cast<const Px*>(rd);
    const Px* s = reinterpret_cast<const Px*>(g.src + static_cast<ptrdiff_t>(g.rows[y]) * g.src_pitch);
    const uint8_t* al = Alpha ? g.alpha + static_cast<ptrdiff_t>(g.rows[y]) * g.alpha_pitch : nullptr;
    for (int x = 0; x < g.width; ++x) {
      const int col = g.cols[x];
      const uint32_t sv = s[col];
      if (Keyed && sv == key) continue;
      uint32_t a = 255;
      if constexpr (Alpha) {
        a = al[col];
        if (a == 0) continue;
      }
      o[x] = static_cast<Px>(op(sv, static_cast<uint32_t>(r[x]), a));
    }
    dst += g.dst_pitch;
    rd += g.read_pitch;
  }
}

template <class F>
void Pixels(const F& f, const StretchRows& g, const StretchChoice& c) {
  using Px = typename F::Px;
  const bool other = std::is_same_v<F, FmtOther>;
  const bool has_b = c.brightness != -1;
  const Bright b = Bright::From(c.brightness);
  const uint32_t p = static_cast<uint32_t>(c.param) & 255;
  const uint32_t key = sizeof(Px) == 2 ? (c.key & 0xFFFF) : c.key;
  // Plain copies test the flag's bit 0, every other loop the flag itself.
  auto run = [&](bool keyed, auto alpha, auto op) {
    constexpr bool A = decltype(alpha)::value;
    if (keyed) {
      Run<Px, true, A>(g, key, op);
    } else {
      Run<Px, false, A>(g, key, op);
    }
  };
  const bool key_any = c.transparent != 0;
  // On other layouts the loops without an alpha plane drop brightness.
  const bool b_plain = has_b && !other;
  // Copies that need no key repeat whole rows.
  auto copy = [&](bool keyed, auto op) {
    if (keyed) {
      Run<Px, true, false>(g, key, op);
    } else {
      Run<Px, false, false, decltype(op), true>(g, key, op);
    }
  };
  auto mode0 = [&] {
    if (!c.alpha) {
      if (b_plain) {
        copy(key_any, [f, b](uint32_t s, uint32_t, uint32_t) { return ApplyBright(f, s, b); });
      } else {
        // Brightness dropped (other layouts) or none.
        copy(has_b ? key_any : (c.transparent & 1) != 0,
             [](uint32_t s, uint32_t, uint32_t) { return s; });
      }
      return;
    }
    run(key_any, Yes{}, [f, b, has_b](uint32_t s, uint32_t d, uint32_t a) {
      const uint32_t sb = has_b ? ApplyBright(f, s, b) : s;
      return a == 255 ? sb : Mix(f, sb, d, a, 256 - a);
    });
  };
  auto terms = [&](auto combine) {
    if (!c.alpha) {
      run(key_any, No{}, [f, b, b_plain, p, combine](uint32_t s, uint32_t d, uint32_t) {
        return combine(d, Scale(f, b_plain ? ApplyBright(f, s, b) : s, p));
      });
      return;
    }
    run(key_any, Yes{}, [f, b, has_b, p, combine](uint32_t s, uint32_t d, uint32_t a) {
      const uint32_t term = Scale(f, has_b ? ApplyBright(f, s, b) : s, p);
      return combine(d, a == 255 ? term : Scale(f, term, a));
    });
  };
  switch (c.mode) {
    case 0:
      return mode0();
    case 1:
      if (p == 0) return;
      if (p == 255) return mode0();
      if (!c.alpha) {
        return run(key_any, No{}, [f, b, b_plain, p](uint32_t s, uint32_t d, uint32_t) {
          return Table2(f, b_plain ? ApplyBright(f, s, b) : s, d, p, 255 - p);
        });
      }
      return run(key_any, Yes{}, [f, b, has_b, p](uint32_t s, uint32_t d, uint32_t a) {
        const uint32_t sb = has_b ? ApplyBright(f, s, b) : s;
        if (a == 255) return Table2(f, sb, d, p, 255 - p);
        const uint32_t k = (a * p) >> 8;
        return Mix(f, sb, d, k, 256 - k);
      });
    case 2:
      if (p == 0) return;
      return terms([f](uint32_t d, uint32_t s) { return AddPacked(f, d, s); });
    case 3:
      if (p == 0) return;
      return terms([f](uint32_t d, uint32_t s) { return SubPacked(f, d, s); });
    case 4:
      return run(false, No{}, [f, b, b_plain](uint32_t s, uint32_t d, uint32_t) {
        return Multiply(f, d, b_plain ? ApplyBright(f, s, b) : s);
      });
    default:
      return;
  }
}

}  // namespace

void DrawStretchPixels(int bits, const Layout& layout, const StretchRows& rows,
                       const StretchChoice& c) {
  if (rows.width <= 0 || rows.height <= 0) return;
  switch (bits) {
    case 8:
      if (c.transparent & 1) {
        Run<uint8_t, true, false>(rows, 0, [](uint32_t s, uint32_t, uint32_t) { return s; });
      } else {
        Run<uint8_t, false, false>(rows, 0, [](uint32_t s, uint32_t, uint32_t) { return s; });
      }
      return;
    case 16:
      switch (layout.format_class) {
        case 0:
          return Pixels(Fmt565{}, rows, c);
        case 1:
          return Pixels(Fmt555{}, rows, c);
        default:
          return Pixels(FmtOther{layout}, rows, c);
      }
    case 32:
      return Pixels(Fmt8888{}, rows, c);
    default:
      return;
  }
}

std::vector<int> StretchMap(int first, int dir, int start, uint32_t step, int count, int limit) {
  std::vector<int> out(static_cast<size_t>(std::max(count, 0)));
  int index = first;
  int64_t counter = start;
  for (int i = 0; i < count; ++i) {
    out[static_cast<size_t>(i)] = std::clamp(index, 0, limit - 1);
    if (i + 1 == count) break;
    counter -= 65536;
    while (counter <= 0) {
      index += dir;
      counter += step;
    }
  }
  return out;
}

}  // namespace render
