// Fonts of the text functions, over FreeType with faces found by
// fontconfig. A font is asked for by cell height, weight, character set and
// face name, as a GDI font is; a face that is not installed is replaced by
// the default face (IPAGothic, which covers Japanese), and the font says so.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform::gdi {

// Output qualities: mono rendering, or grey edges.
constexpr int kDefaultQuality = 0;
constexpr int kNonAntialiasedQuality = 3;
constexpr int kFixedPitch = 1;
// Weights from this one up are drawn emboldened.
constexpr int kBoldWeight = 600;

struct FontDescription {
  int height = 0;  // cell height in pixels (ascent + descent)
  int weight = 400;
  int charset = 1;
  int quality = kDefaultQuality;
  int pitch_and_family = 0;
  std::string face;  // cp932; empty for the default face
};

struct TextMetrics {
  int height = 0;
  int ascent = 0;
  int descent = 0;
  int ave_char_width = 0;
  int max_char_width = 0;
};

// One rendered glyph: coverage 0..255 per pixel (0 or 255 in mono), rows
// top to bottom, placed by its left edge from the pen and its top edge above
// the baseline. An empty glyph has width and height 0.
struct GlyphImage {
  int width = 0;
  int height = 0;
  int left = 0;
  int top = 0;
  int advance = 0;
  std::vector<uint8_t> coverage;
};

class Font {
 public:
  // Null when no font file at all can be found (or creation is made to fail
  // for a test).
  static std::unique_ptr<Font> Create(const FontDescription& description);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  const FontDescription& description() const { return description_; }
  const TextMetrics& metrics() const { return metrics_; }
  // The face asked for was not found and the default face stands in.
  bool substituted() const { return substituted_; }
  // The fontconfig family and file in use.
  const std::string& family() const { return family_; }
  const std::string& file() const { return file_; }

  // A character code of the font's character set (one byte, or lead << 8 |
  // trail). A code that is no character, or that the face has no glyph for,
  // renders empty with advance 0.
  bool RenderCode(uint32_t code, bool mono, GlyphImage* out) const;
  int AdvanceOfCode(uint32_t code) const;
  // Bytes in the character set's encoding: each character's advance.
  int TextWidth(const char* text, int length) const;

 private:
  Font() = default;
  bool Render(uint32_t unicode, bool mono, GlyphImage* out) const;
  int Advance(uint32_t unicode) const;

  FontDescription description_;
  TextMetrics metrics_;
  bool substituted_ = false;
  bool bold_ = false;
  std::string family_;
  std::string file_;
  struct FaceHolder;
  std::unique_ptr<FaceHolder> face_;
  mutable std::unordered_map<uint32_t, int> advances_;
  // The glyph rendered last: a glyph is asked for twice in a row, once for
  // its size and once for its bitmap.
  mutable bool has_last_ = false;
  mutable uint32_t last_code_ = 0;
  mutable bool last_mono_ = false;
  mutable GlyphImage last_;
};

struct GdiFaults {
  bool fail_font_creation = false;
  bool fail_dc_creation = false;
};
GdiFaults& GdiFaultsForTesting();

}  // namespace platform::gdi
