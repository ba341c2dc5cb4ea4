#include "platform/FreeTypeFontRasterizer.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <array>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/ShiftJis.h"

namespace halcyra {
namespace {

// FreeType covers a pixel with 0..255 while the engine composes the 0..64 levels of the Windows
// grey glyphs it was written for. level = (coverage * 64 + 127) / 255 rounds to the nearest
// level and keeps 0 empty and 255 fully covered; the table spares the per-pixel arithmetic.
constexpr std::array<std::uint8_t, 256> MakeLevelTable() {
  std::array<std::uint8_t, 256> table{};
  for (int coverage = 0; coverage < 256; ++coverage) {
    table[coverage] =
        static_cast<std::uint8_t>((coverage * FontRasterizer::kFullCoverage + 127) / 255);
  }
  return table;
}
constexpr std::array<std::uint8_t, 256> kLevelOfCoverage = MakeLevelTable();

// The code point of UTF-8 text holding exactly one character. The text comes from the Shift-JIS
// converter, so it is well formed and only its length needs checking.
std::optional<char32_t> SingleCodePoint(std::string_view utf8) {
  static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  if (utf8.empty()) return std::nullopt;
  const auto first = static_cast<unsigned char>(utf8[0]);
  const std::size_t length = first < 0x80 ? 1 : first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : 2;
  if (utf8.size() != length) return std::nullopt;
  char32_t codePoint = first & kLeadBits[length];
  for (std::size_t i = 1; i < length; ++i) {
    codePoint = (codePoint << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
  }
  return codePoint;
}

// The code point of a Shift-JIS character (lead * 256 + trail, or one byte); nothing when the
// bytes are not one character of code page 932. Bytes that are no character convert to '?', and
// two bytes without a lead byte convert to two characters.
std::optional<char32_t> CodePointOf(std::uint16_t shiftJisCode) {
  std::string bytes;
  if (shiftJisCode > 0xFF) bytes.push_back(static_cast<char>(shiftJisCode >> 8));
  bytes.push_back(static_cast<char>(shiftJisCode & 0xFF));
  const std::string utf8 = ShiftJisToUtf8(bytes);
  if (utf8 == "?" && bytes != "?") return std::nullopt;
  return SingleCodePoint(utf8);
}

// The Windows faces the games name and the installed faces drawn alike. Keys are NameKey forms.
struct FaceAlias {
  std::string_view key;
  const char* family;
};
constexpr FaceAlias kFaceAliases[] = {
    {"ＭＳゴシック", "IPAGothic"},    {"msgothic", "IPAGothic"},
    {"ＭＳＰゴシック", "IPAPGothic"}, {"mspgothic", "IPAPGothic"},
    {"ＭＳ明朝", "IPAMincho"},        {"msmincho", "IPAMincho"},
    {"ＭＳＰ明朝", "IPAPMincho"},     {"mspmincho", "IPAPMincho"},
};

// Scripts write the same face with and without spaces and in either case.
std::string NameKey(std::string_view utf8) {
  std::string key;
  for (const char c : utf8) {
    if (c != ' ') key.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  }
  return key;
}

std::string FamilyFor(std::string_view faceNameUtf8) {
  const std::string key = NameKey(faceNameUtf8);
  for (const FaceAlias& alias : kFaceAliases) {
    if (alias.key == key) return alias.family;
  }
  return std::string(faceNameUtf8);
}

struct PatternDeleter {
  void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

const FcChar8* FcText(const char* text) { return reinterpret_cast<const FcChar8*>(text); }

// fontconfig's best scalable face of the family (empty: of any family), preferring faces that
// show Japanese, are monospaced and draw the asked styles themselves. Null when none matches.
Pattern MatchFace(const std::string& family, const FontRequest& request) {
  Pattern pattern(FcPatternCreate());
  if (!pattern) return nullptr;
  if (!family.empty()) FcPatternAddString(pattern.get(), FC_FAMILY, FcText(family.c_str()));
  FcPatternAddString(pattern.get(), FC_LANG, FcText("ja"));
  FcPatternAddInteger(pattern.get(), FC_SPACING, FC_MONO);
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, request.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  if (!FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern)) return nullptr;
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  return Pattern(FcFontMatch(nullptr, pattern.get(), &result));
}

bool ShowsJapanese(const FcPattern* match) {
  FcLangSet* languages = nullptr;
  return FcPatternGetLangSet(match, FC_LANG, 0, &languages) == FcResultMatch &&
         FcLangSetHasLang(languages, FcText("ja")) == FcLangEqual;
}

// Where a face lives: a file and the face's index within it.
struct FaceChoice {
  std::string file;
  int index = 0;
};

std::optional<FaceChoice> ChoiceOf(const FcPattern* match) {
  FcChar8* file = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch) return std::nullopt;
  int index = 0;
  FcPatternGetInteger(match, FC_INDEX, 0, &index);
  return FaceChoice{reinterpret_cast<const char*>(file), index};
}

// fontconfig ranks a named family above Japanese coverage, so a known family that cannot show
// Japanese wins the first match and is passed over; for an unknown name the first match is
// already the best Japanese face.
std::optional<FaceChoice> ChooseFace(const FontRequest& request) {
  const std::string family = FamilyFor(ShiftJisToUtf8(request.faceName));
  if (!family.empty()) {
    const Pattern named = MatchFace(family, request);
    if (named && ShowsJapanese(named.get())) return ChoiceOf(named.get());
  }
  const Pattern fallback = MatchFace("", request);
  if (!fallback) return std::nullopt;
  return ChoiceOf(fallback.get());
}

// Copies the rendered coverage into the engine's levels, rows padded to 4 bytes. A blank glyph
// renders as an empty bitmap and keeps only its advance.
GlyphBitmap ToLevels(const FT_GlyphSlotRec& slot) {
  const FT_Bitmap& bitmap = slot.bitmap;
  GlyphBitmap glyph;
  glyph.advance = static_cast<int>((slot.advance.x + 32) >> 6);
  glyph.width = static_cast<int>(bitmap.width);
  glyph.height = static_cast<int>(bitmap.rows);
  glyph.pitch = (glyph.width + 3) & ~3;
  glyph.originX = slot.bitmap_left;
  glyph.originY = slot.bitmap_top;
  glyph.levels.assign(static_cast<std::size_t>(glyph.pitch) * glyph.height, 0);
  // The smooth renderer writes the top row first, so its pitch is positive.
  const unsigned char* source = bitmap.buffer;
  std::uint8_t* target = glyph.levels.data();
  for (int row = 0; row < glyph.height; ++row, source += bitmap.pitch, target += glyph.pitch) {
    for (int x = 0; x < glyph.width; ++x) target[x] = kLevelOfCoverage[source[x]];
  }
  return glyph;
}

// Outlines only (no embedded bitmaps), so every size is anti-aliased and can be synthesised.
std::optional<GlyphBitmap> Rasterise(FT_Face face, bool embolden, bool slant, std::uint16_t code) {
  const std::optional<char32_t> codePoint = CodePointOf(code);
  if (!codePoint) return std::nullopt;
  const FT_UInt index = FT_Get_Char_Index(face, *codePoint);
  if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP) != 0) return std::nullopt;
  // Thickened after slanting, so strokes grow evenly across their slanted direction.
  if (slant) FT_GlyphSlot_Oblique(face->glyph);
  if (embolden) FT_GlyphSlot_Embolden(face->glyph);
  // The normal mode always renders 8-bit coverage, one byte a pixel.
  if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) return std::nullopt;
  return ToLevels(*face->glyph);
}

}  // namespace

struct FreeTypeFontRasterizer::Font {
  FT_Face face = nullptr;
  std::string file;
  bool emboldens = false;
  bool slants = false;
  // By Shift-JIS code; an empty entry remembers that there is nothing to draw.
  std::unordered_map<std::uint16_t, std::optional<GlyphBitmap>> glyphs;

  ~Font() {
    if (face != nullptr) FT_Done_Face(face);
  }
};

struct FreeTypeFontRasterizer::State {
  FT_Library library = nullptr;
  std::vector<std::unique_ptr<Font>> fonts;  // indexed by id; closed ids hold null

  ~State() {
    fonts.clear();
    if (library != nullptr) FT_Done_FreeType(library);
  }
};

FreeTypeFontRasterizer::FreeTypeFontRasterizer() : state_(std::make_unique<State>()) {
  if (FT_Init_FreeType(&state_->library) != 0) state_->library = nullptr;
}

FreeTypeFontRasterizer::~FreeTypeFontRasterizer() = default;

int FreeTypeFontRasterizer::OpenFont(const FontRequest& request) {
  if (state_->library == nullptr || request.height < 1 || request.height > kMaxHeight) return -1;
  const std::optional<FaceChoice> choice = ChooseFace(request);
  if (!choice) return -1;
  FT_Face face = nullptr;
  if (FT_New_Face(state_->library, choice->file.c_str(), choice->index, &face) != 0) return -1;
  auto font = std::make_unique<Font>();
  font->face = face;
  // A zero width asks for the em box's height alone, keeping the face's own proportions.
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(request.height)) != 0) return -1;
  font->file = choice->file;
  // The face's own flags decide, since fontconfig's configuration may already report a
  // regular face as bold or oblique when it plans the same synthesis for its own renderers.
  font->emboldens = request.bold && (face->style_flags & FT_STYLE_FLAG_BOLD) == 0;
  font->slants = request.italic && (face->style_flags & FT_STYLE_FLAG_ITALIC) == 0;
  return Store(std::move(font));
}

bool FreeTypeFontRasterizer::RenderGlyph(int font, std::uint16_t shiftJisCode, GlyphBitmap& out) {
  Font* found = Find(font);
  if (found == nullptr) return false;
  auto [entry, isNew] = found->glyphs.try_emplace(shiftJisCode);
  if (isNew) entry->second = Rasterise(found->face, found->emboldens, found->slants, shiftJisCode);
  if (!entry->second) return false;
  out = *entry->second;
  return true;
}

int FreeTypeFontRasterizer::Ascent(int font) const {
  const Font* found = Find(font);
  if (found == nullptr) return 0;
  return static_cast<int>((found->face->size->metrics.ascender + 63) >> 6);
}

std::string FreeTypeFontRasterizer::FaceFileOf(int font) const {
  const Font* found = Find(font);
  return found != nullptr ? found->file : std::string();
}

void FreeTypeFontRasterizer::CloseFont(int font) {
  if (Find(font) != nullptr) state_->fonts[static_cast<std::size_t>(font)].reset();
}

FreeTypeFontRasterizer::Font* FreeTypeFontRasterizer::Find(int font) const {
  if (font < 0 || static_cast<std::size_t>(font) >= state_->fonts.size()) return nullptr;
  return state_->fonts[static_cast<std::size_t>(font)].get();
}

int FreeTypeFontRasterizer::Store(std::unique_ptr<Font> font) {
  std::vector<std::unique_ptr<Font>>& fonts = state_->fonts;
  for (std::size_t id = 0; id < fonts.size(); ++id) {
    if (!fonts[id]) {
      fonts[id] = std::move(font);
      return static_cast<int>(id);
    }
  }
  fonts.push_back(std::move(font));
  return static_cast<int>(fonts.size() - 1);
}

}  // namespace halcyra
