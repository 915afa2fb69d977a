#include "platform/gdi/font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include "platform/gdi/char_codes.h"
#include "platform/window/text_convert.h"

namespace platform::gdi {

namespace {

// The face every font falls back to: fixed pitch for half- and full-width
// characters, and all of JIS X 0208.
constexpr char kDefaultFamily[] = "IPAGothic";

// Face names programs ask for, as they are written in cp932, and the
// installed families that stand in for them.
struct FaceAlias {
  const char* name;
  const char* family;
};
const FaceAlias kFaceAliases[] = {
    {"ＭＳ ゴシック", "IPAGothic"},   {"MS Gothic", "IPAGothic"},
    {"ＭＳ Ｐゴシック", "IPAPGothic"}, {"MS PGothic", "IPAPGothic"},
    {"MS UI Gothic", "IPAPGothic"},   {"ＭＳ 明朝", "IPAMincho"},
    {"MS Mincho", "IPAMincho"},       {"ＭＳ Ｐ明朝", "IPAPMincho"},
    {"MS PMincho", "IPAPMincho"},
};

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) l = nullptr;
    return l;
  }();
  return library;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

struct FaceFile {
  std::string file;
  int index = 0;
  std::string family;
  bool exact = false;  // one of the match's family names is the one asked for
};

// fontconfig's best match for a family; looked up once per family.
bool FindFamily(const std::string& family, FaceFile* out) {
  static std::map<std::string, std::pair<bool, FaceFile>> known;
  auto it = known.find(family);
  if (it != known.end()) {
    *out = it->second.second;
    return it->second.first;
  }
  FaceFile found;
  bool ok = false;
  if (FcInit()) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    if (match) {
      FcChar8* file = nullptr;
      if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
        ok = true;
        found.file = reinterpret_cast<const char*>(file);
        int index = 0;
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) found.index = index;
        FcChar8* name = nullptr;
        for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
          if (i == 0) found.family = reinterpret_cast<const char*>(name);
          if (Lower(reinterpret_cast<const char*>(name)) == Lower(family)) found.exact = true;
        }
      }
      FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
  }
  known[family] = {ok, found};
  *out = found;
  return ok;
}

// The family for a cp932 face name: an alias, or the name itself.
std::string FamilyOfFace(const std::string& face) {
  for (const FaceAlias& a : kFaceAliases) {
    if (face == a.name) return a.family;
  }
  return platform::window::Cp932ToUtf8(face);
}

int RoundDiv(int64_t num, int64_t den) {
  return static_cast<int>((num * 2 + den) / (den * 2));
}

}  // namespace

// fontconfig loses a block while it parses its configuration, once per
// process; the leak checker of sanitizer builds is told so.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
extern "C" __attribute__((used)) const char* __lsan_default_options() {
  return "print_suppressions=0";
}

struct Font::FaceHolder {
  FT_Face face = nullptr;
  ~FaceHolder() {
    if (face) FT_Done_Face(face);
  }
};

GdiFaults& GdiFaultsForTesting() {
  static GdiFaults faults;
  return faults;
}

Font::~Font() = default;

std::unique_ptr<Font> Font::Create(const FontDescription& description) {
  if (GdiFaultsForTesting().fail_font_creation || !Library()) return nullptr;
  if (description.height <= 0 || description.height > 4096) return nullptr;
  FaceFile file;
  bool substituted = false;
  if (!description.face.empty()) {
    const std::string family = FamilyOfFace(description.face);
    if (!FindFamily(family, &file) || !file.exact) substituted = true;
  }
  if (description.face.empty() || substituted) {
    // The default face, or whatever fontconfig offers in its place.
    if (!FindFamily(kDefaultFamily, &file) && !FindFamily("monospace", &file)) return nullptr;
  }
  std::unique_ptr<Font> font(new Font());
  font->face_ = std::make_unique<FaceHolder>();
  if (FT_New_Face(Library(), file.file.c_str(), file.index, &font->face_->face) != 0) {
    return nullptr;
  }
  FT_Face face = font->face_->face;
  if (!FT_IS_SCALABLE(face)) return nullptr;
  font->description_ = description;
  font->substituted_ = substituted;
  font->family_ = file.family;
  font->file_ = file.file;
  font->bold_ = description.weight >= kBoldWeight;

  // The cell height is the face's Windows ascent plus descent, as GDI
  // measures a font by them.
  int win_ascent = face->ascender, win_descent = -face->descender;
  int avg_width = face->max_advance_width;
  if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
    if (os2->usWinAscent + os2->usWinDescent > 0) {
      win_ascent = os2->usWinAscent;
      win_descent = os2->usWinDescent;
    }
    if (os2->xAvgCharWidth > 0) avg_width = os2->xAvgCharWidth;
  }
  const int64_t cell_units = std::max(1, win_ascent + win_descent);
  const int size = description.height;
  const FT_F26Dot6 ppem = static_cast<FT_F26Dot6>(
      (static_cast<int64_t>(size) * 64 * face->units_per_EM + cell_units / 2) / cell_units);
  if (FT_Set_Char_Size(face, 0, std::max<FT_F26Dot6>(ppem, 1), 72, 72) != 0) return nullptr;
  const int64_t em = face->units_per_EM;
  TextMetrics& m = font->metrics_;
  m.height = size;
  m.ascent = std::clamp(RoundDiv(static_cast<int64_t>(win_ascent) * size, cell_units), 0, size);
  m.descent = size - m.ascent;
  const int bold_extra = font->bold_ ? 1 : 0;
  m.max_char_width = RoundDiv(static_cast<int64_t>(face->max_advance_width) * ppem, em * 64) +
                     bold_extra;
  m.ave_char_width = RoundDiv(static_cast<int64_t>(avg_width) * ppem, em * 64) + bold_extra;
  return font;
}

bool Font::Render(uint32_t unicode, bool mono, GlyphImage* out) const {
  *out = GlyphImage{};
  FT_Face face = face_->face;
  const FT_UInt index = unicode ? FT_Get_Char_Index(face, unicode) : 0;
  if (index == 0) return true;
  // Measured with mono hinting whatever the rendering, so a string is as
  // wide drawn in grey as drawn in mono; before the load, which it would undo.
  const int advance = Advance(unicode);
  const FT_Int32 flags = FT_LOAD_NO_BITMAP | (mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
  if (FT_Load_Glyph(face, index, flags) != 0) return false;
  FT_GlyphSlot slot = face->glyph;
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return false;
  // Synthetic bold as GDI draws it: one pixel wider, one pixel more advance.
  if (bold_) FT_Outline_EmboldenXY(&slot->outline, 64, 0);
  out->advance = advance;
  if (slot->outline.n_points == 0) return true;
  if (FT_Render_Glyph(slot, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return false;
  const FT_Bitmap& b = slot->bitmap;
  if (b.width == 0 || b.rows == 0) return true;
  out->width = static_cast<int>(b.width);
  out->height = static_cast<int>(b.rows);
  out->left = slot->bitmap_left;
  out->top = slot->bitmap_top;
  out->coverage.assign(static_cast<size_t>(out->width) * out->height, 0);
  for (int y = 0; y < out->height; ++y) {
    const uint8_t* row = b.buffer + static_cast<std::ptrdiff_t>(y) * b.pitch;
    uint8_t* o = out->coverage.data() + static_cast<size_t>(y) * out->width;
    for (int x = 0; x < out->width; ++x) {
      if (b.pixel_mode == FT_PIXEL_MODE_MONO) {
        o[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
      } else {
        const int levels = b.num_grays > 1 ? b.num_grays - 1 : 255;
        o[x] = static_cast<uint8_t>(row[x] * 255 / levels);
      }
    }
  }
  return true;
}

int Font::Advance(uint32_t unicode) const {
  auto it = advances_.find(unicode);
  if (it != advances_.end()) return it->second;
  FT_Face face = face_->face;
  int advance = 0;
  const FT_UInt index = unicode ? FT_Get_Char_Index(face, unicode) : 0;
  if (index != 0 && FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO) == 0) {
    advance = static_cast<int>((face->glyph->advance.x + 32) >> 6) + (bold_ ? 1 : 0);
  }
  advances_[unicode] = advance;
  return advance;
}

bool Font::RenderCode(uint32_t code, bool mono, GlyphImage* out) const {
  if (has_last_ && last_code_ == code && last_mono_ == mono) {
    *out = last_;
    return true;
  }
  if (!Render(CharCodeToUnicode(description_.charset, code), mono, out)) return false;
  has_last_ = true;
  last_code_ = code;
  last_mono_ = mono;
  last_ = *out;
  return true;
}

int Font::AdvanceOfCode(uint32_t code) const {
  return Advance(CharCodeToUnicode(description_.charset, code));
}

int Font::TextWidth(const char* text, int length) const {
  int width = 0;
  for (int i = 0; i < length;) {
    const int n = CharLength(description_.charset, text + i, length - i);
    width += AdvanceOfCode(CharCodeAt(text + i, n));
    i += n;
  }
  return width;
}

}  // namespace platform::gdi
