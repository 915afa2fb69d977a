// Pixel rules of the two texture-mapping blitters (textured triangles and the
// rotated draw): which rule a draw uses, chosen once, handed to the caller's
// loop as a function object together with its key and alpha-plane policy.
#pragma once

#include <cstdint>
#include <type_traits>

#include "render/pixel_ops.h"

namespace render {

enum class Mapper { kTriangle, kRotated };

struct TexelChoice {
  int mode = 0;
  int param = 0;
  int brightness = -1;
  bool alpha = false;   // the graphic has an alpha plane
  int transparent = 0;  // keyed only when exactly 1 (any non-zero at 8 bits)
  uint32_t key = 0;
};

namespace texel_detail {

using Yes = std::true_type;
using No = std::false_type;

template <class F, class Visit>
bool Choose(Mapper m, const F& f, const TexelChoice& c, Visit& visit) {
  using Px = typename F::Px;
  constexpr bool k32 = sizeof(Px) == 4;
  constexpr bool other = std::is_same_v<F, FmtOther>;
  // The rotated draw leaves the top byte of a 32-bit result 0.
  const uint32_t out_mask = (k32 && m == Mapper::kRotated) ? 0x00FFFFFFu : 0xFFFFFFFFu;
  const bool has_b = c.brightness != -1;
  const Bright b = Bright::From(c.brightness);
  const uint32_t p = static_cast<uint32_t>(c.param) & 255;
  const bool keyed = c.transparent == 1;
  auto go = [&](auto alpha, auto op) {
    if (keyed) {
      visit(Yes{}, alpha, Px{}, op);
    } else {
      visit(No{}, alpha, Px{}, op);
    }
    return true;
  };
  int mode = c.mode;
  if ((mode == 1 || mode == 2 || mode == 3) && p == 0) return false;
  if (mode == 1 && p == 255) mode = 0;
  // Brightness on other layouts, modes 1 to 4: the triangles draw nothing;
  // the rotated draw drops it, or draws nothing where it reads the alpha plane.
  bool use_b = has_b;
  if (other && has_b && mode >= 1) {
    if (m == Mapper::kTriangle || (c.alpha && mode <= 3)) return false;
    use_b = false;
  }
  auto bright = [f, b, use_b](uint32_t s) { return use_b ? ApplyBright(f, s, b) : s; };
  switch (mode) {
    case 0:
      if (!c.alpha) {
        // On other layouts the copy ignores brightness.
        if (!has_b || other) {
          return go(No{}, [out_mask](uint32_t s, uint32_t, uint32_t) { return s & out_mask; });
        }
        return go(No{}, [f, b, out_mask](uint32_t s, uint32_t, uint32_t) {
          return ApplyBright(f, s, b) & out_mask;
        });
      }
      // The full form writes the packed channels (bits outside them dropped).
      return go(Yes{}, [f, bright, out_mask](uint32_t s, uint32_t d, uint32_t a) {
        const uint32_t sb = bright(s);
        return (a == 255 ? f.Pack(f.R(sb), f.G(sb), f.B(sb)) : Lerp(f, sb, d, a)) & out_mask;
      });
    case 1:
      if (c.alpha) {
        return go(Yes{}, [f, bright, p](uint32_t s, uint32_t d, uint32_t a) {
          const uint32_t sb = bright(s);
          return a == 255 ? Table2(f, sb, d, p, 255 - p) : Lerp(f, sb, d, (a * p) >> 8);
        });
      }
      return go(No{}, [f, bright, p](uint32_t s, uint32_t d, uint32_t) {
        return Table2(f, bright(s), d, p, 255 - p);
      });
    case 2:
    case 3: {
      const bool add = mode == 2;
      // The triangles' 32-bit loops do not read the alpha plane in these modes.
      const bool alpha = c.alpha && !(k32 && m == Mapper::kTriangle);
      if (alpha) {
        return go(Yes{}, [f, bright, p, add, out_mask](uint32_t s, uint32_t d, uint32_t a) {
          const uint32_t term = Scale(f, bright(s), p);
          const uint32_t t = a == 255 ? term : Scale(f, term, a);
          return (add ? AddPacked(f, d, t) : SubPacked(f, d, t)) & out_mask;
        });
      }
      if (add) {
        return go(No{}, [f, bright, p, out_mask](uint32_t s, uint32_t d, uint32_t) {
          return AddPacked(f, d, Scale(f, bright(s), p)) & out_mask;
        });
      }
      return go(No{}, [f, bright, p, out_mask](uint32_t s, uint32_t d, uint32_t) {
        return SubPacked(f, d, Scale(f, bright(s), p)) & out_mask;
      });
    }
    case 4: {
      // Never keyed, the alpha plane unread.
      auto op = [f, bright, out_mask](uint32_t s, uint32_t d, uint32_t) {
        return Multiply(f, d, bright(s)) & out_mask;
      };
      visit(No{}, No{}, Px{}, op);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace texel_detail

// Calls visit(keyed, alpha, pixel, op) once: keyed and alpha are
// std::bool_constant, pixel a value of the pixel type, op(s, d, a) the new
// pixel. False when the draw puts no pixel down.
template <class Visit>
bool ChooseTexelRule(Mapper m, int bits, const Layout& layout, const TexelChoice& c,
                     Visit&& visit) {
  using texel_detail::No;
  using texel_detail::Yes;
  switch (bits) {
    case 8: {
      auto copy = [](uint32_t s, uint32_t, uint32_t) { return s; };
      if (c.transparent != 0) {
        visit(Yes{}, No{}, uint8_t{}, copy);
      } else {
        visit(No{}, No{}, uint8_t{}, copy);
      }
      return true;
    }
    case 16:
      switch (layout.format_class) {
        case 0:
          return texel_detail::Choose(m, Fmt565{}, c, visit);
        case 1:
          return texel_detail::Choose(m, Fmt555{}, c, visit);
        default:
          return texel_detail::Choose(m, FmtOther{layout}, c, visit);
      }
    case 32:
      return texel_detail::Choose(m, Fmt8888{}, c, visit);
    default:
      return false;
  }
}

}  // namespace render
