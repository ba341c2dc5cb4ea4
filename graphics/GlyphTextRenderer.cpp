#include "graphics/GlyphTextRenderer.h"

#include <algorithm>

#include "graphics/CDIBSprite.h"
#include "graphics/CDIBitmap.h"
#include "graphics/PixelOps.h"

namespace halcyra {
namespace {

constexpr char kSource[] = "GlyphTextRenderer.cpp";
constexpr int kOverflowNumber = 212;
constexpr int kBadCodeNumber = 263;

// メッセージがあふれました
constexpr char kOverflow[] =
    "\x83\x81\x83\x62\x83\x5a\x81\x5b\x83\x57\x82\xaa\x82\xa0\x82\xd3\x82\xea\x82\xdc\x82\xb5"
    "\x82\xbd";
// 不正な制御コード
constexpr char kBadCode[] = "\x95\x73\x90\xb3\x82\xc8\x90\xa7\x8c\xe4\x83\x52\x81\x5b\x83\x68";
// 」）〕〉】、。！？
constexpr char kDefaultLineEnd[] =
    "\x81\x76\x81\x6a\x81\x6c\x81\x72\x81\x7a\x81\x41\x81\x42\x81\x49\x81\x48";
// 「（〔〈【
constexpr char kDefaultIndent[] = "\x81\x75\x81\x69\x81\x6b\x81\x71\x81\x79";
// ●名●
constexpr std::string_view kNamePlaceholder = "\x81\x9c\x96\xbc\x81\x9c";
// ▲氏▲
constexpr std::string_view kFamilyPlaceholder = "\x81\xa3\x8e\x81\x81\xa3";
constexpr std::uint16_t kFullWidthSpace = 0x8140;  // "　"

constexpr std::uint32_t kUnreadColour = 0xFFFFFF;
constexpr std::uint32_t kTypedUnreadOutline = 0x010101;
constexpr std::uint32_t kLabelUnreadOutline = 0;
constexpr int kUnreadIntensity = 255;
constexpr int kLabelAdvance = 12;  // label pixels per byte position
constexpr int kRubySize = 12;      // ruby glyph advance and its lift above the line
constexpr int kRubyNudge = 6;      // "-" and "+" in ruby move this far
constexpr int kLevelScale = 4;     // coverage 0..64 to 0..256
constexpr int kOpaqueFrom = 96;    // scaled coverage below this stays transparent

bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0xA0) || (byte >= 0xC0 && byte <= 0xFC);
}

// The byte at index, 0 past the end, so that scans stop at the text's end like at a terminator.
unsigned char ByteAt(std::string_view text, std::size_t index) {
  return index < text.size() ? static_cast<unsigned char>(text[index]) : 0;
}

std::uint16_t TwoByteCode(std::string_view text, std::size_t index) {
  return static_cast<std::uint16_t>(ByteAt(text, index) << 8 | ByteAt(text, index + 1));
}

std::uint32_t Grey(int level) {
  const auto g = static_cast<std::uint32_t>(std::clamp(level, 0, 255));
  return g << 16 | g << 8 | g;
}

int LineHeightFor(int characterWidth) { return characterWidth <= 24 ? 32 : 64; }

// The Outline pass over a box cut to the surface: the pass itself does not clip.
void OutlineBox(std::uint32_t colour, const GlyphTextRenderer::Surface& surface, int x, int y,
                int width, int height) {
  const int left = std::max(x, 0);
  const int top = std::max(y, 0);
  const int right = std::min(x + width, surface.width);
  const int bottom = std::min(y + height, surface.height);
  if (right <= left || bottom <= top) return;
  Outline(colour, surface.pixels + static_cast<std::ptrdiff_t>(top) * surface.pitch + left,
          right - left, bottom - top, surface.pitch * 4);
}

bool LockFrame0(CDIBitmap& target, GlyphTextRenderer::Surface& surface) {
  if (!target.Lock(0, surface.pitch, surface.pixels)) return false;
  surface.width = target.GetWidth();
  surface.height = target.GetHeight();
  return true;
}

}  // namespace

GlyphTextRenderer::GlyphTextRenderer(FontRasterizer& rasterizer, TextSettingsView settings,
                                     ErrorReporter* errors)
    : rasterizer_(rasterizer),
      settings_(settings),
      errors_(errors),
      lineEndChars_(kDefaultLineEnd),
      indentChars_(kDefaultIndent) {}

GlyphTextRenderer::~GlyphTextRenderer() {
  for (const auto& font : fonts_) rasterizer_.CloseFont(font->RasterizerId());
}

const TextFont* GlyphTextRenderer::CreateFont(const FontRequest& request) {
  const int id = rasterizer_.OpenFont(request);
  if (id < 0) return nullptr;
  fonts_.push_back(std::make_unique<TextFont>(request, id));
  return fonts_.back().get();
}

void GlyphTextRenderer::ReleaseFont(const TextFont* font) {
  const auto found = std::find_if(fonts_.begin(), fonts_.end(),
                                  [font](const auto& owned) { return owned.get() == font; });
  if (found == fonts_.end()) return;
  if (labelFont_ == font) labelFont_ = nullptr;
  if (rubyFont_ == font) rubyFont_ = nullptr;
  rasterizer_.CloseFont(font->RasterizerId());
  fonts_.erase(found);
}

bool GlyphTextRenderer::InList(std::string_view list, std::uint16_t code) {
  for (std::size_t k = 0; k + 1 < list.size(); k += 2) {
    if (TwoByteCode(list, k) == code) return true;
  }
  return false;
}

GlyphTextRenderer::Style GlyphTextRenderer::StyleFor(std::uint32_t colour,
                                                     std::uint32_t unreadOutline) const {
  if ((colour & kUnreadColour) == kUnreadColour) return {kUnreadIntensity, unreadOutline};
  return {std::clamp(settings_.readGlyphGrey, 0, 255), Grey(settings_.readOutlineGrey)};
}

// One pixel value per coverage level, so that the copy is a table look-up per pixel. Levels
// above full coverage cannot come from the rasterizer; they read as full coverage all the same.
void GlyphTextRenderer::BuildLevelTable(int intensity) {
  if (intensity == levelIntensity_) return;
  levelIntensity_ = intensity;
  for (int level = 0; level < static_cast<int>(levelPixels_.size()); ++level) {
    const int f = std::min(level, FontRasterizer::kFullCoverage) * kLevelScale;
    const auto g = static_cast<std::uint32_t>((intensity * f) >> 8);
    levelPixels_[static_cast<std::size_t>(level)] =
        f < kOpaqueFrom ? 0u : 0xFF000000u | g << 16 | g << 8 | g;
  }
}

bool GlyphTextRenderer::DrawGlyph(const TextFont& font, std::uint16_t code, int intensity, int x,
                                  int y, const Surface& surface) {
  if (!rasterizer_.RenderGlyph(font.RasterizerId(), code, glyph_)) return false;
  if (glyph_.width <= 0 || glyph_.height <= 0) return true;
  BuildLevelTable(std::clamp(intensity, 0, 255));
  const int left = x + glyph_.originX;
  const int top = y + rasterizer_.Ascent(font.RasterizerId()) - glyph_.originY;
  const int firstColumn = std::max(0, -left);
  const int endColumn = std::min(glyph_.width, surface.width - left);
  const int firstRow = std::max(0, -top);
  const int endRow = std::min(glyph_.height, surface.height - top);
  for (int row = firstRow; row < endRow; ++row) {
    const std::uint8_t* levels =
        glyph_.levels.data() + static_cast<std::ptrdiff_t>(row) * glyph_.pitch;
    std::uint32_t* out =
        surface.pixels + static_cast<std::ptrdiff_t>(top + row) * surface.pitch + left;
    for (int column = firstColumn; column < endColumn; ++column) {
      out[column] = levelPixels_[levels[column]];
    }
  }
  return true;
}

bool GlyphTextRenderer::DrawOutlined(const TextFont* font, std::uint16_t code, int x, int y, int e,
                                     Style style, const Surface& surface) {
  if (font == nullptr) return false;
  const bool drawn = DrawGlyph(*font, code, style.intensity, x, y, surface);
  OutlineBox(style.outline, surface, x, y, e + e / 2 + 1, e + 2);
  return drawn;
}

bool GlyphTextRenderer::DrawCharacter(const CDIBSprite& holder, int x, int y, std::uint16_t code,
                                      CDIBitmap& target) {
  Surface surface;
  if (!LockFrame0(target, surface)) return false;
  const bool drawn = DrawOutlined(holder.Font(), code, x, y, holder.CharacterWidth(),
                                  StyleFor(holder.TextColour(), kTypedUnreadOutline), surface);
  target.Unlock(0);
  return drawn;
}

void GlyphTextRenderer::RenderLabel(CDIBitmap& picture, std::string_view text, const TextFont* font,
                                    std::uint32_t colour) {
  Surface surface;
  if (!LockFrame0(picture, surface)) return;
  const TextFont* used = font != nullptr ? font : labelFont_;
  const Style style = StyleFor(colour, kLabelUnreadOutline);
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char byte = ByteAt(text, i);
    const int x = kLabelAdvance * static_cast<int>(i);
    if (IsLeadByte(byte)) {
      if (used != nullptr) DrawGlyph(*used, TwoByteCode(text, i), style.intensity, x, 0, surface);
      i += 2;
      continue;
    }
    if (byte != '\t' && byte != '\n' && byte != '\r' && used != nullptr) {
      DrawGlyph(*used, byte, style.intensity, x, 0, surface);
    }
    ++i;
  }
  Outline(style.outline, surface.pixels, surface.width, surface.height, surface.pitch * 4);
  picture.Unlock(0);
}

void GlyphTextRenderer::Report(int number, std::string_view message,
                               std::string_view detail) const {
  if (errors_ != nullptr) errors_->SystemError(kSource, number, message, detail);
}

bool GlyphTextRenderer::TypeText(CDIBSprite& holder, int columns, int rows, CDIBitmap* target,
                                 int& waitCount, int indent, bool lineStart,
                                 const CharWait& charWait) {
  std::string* text = holder.Text();
  const int e = holder.CharacterWidth();
  if (text == nullptr || e < 1) return false;
  Surface surface;
  const bool draws = target != nullptr && LockFrame0(*target, surface);
  Typing t{*text,
           surface,
           draws,
           holder.Font(),
           StyleFor(holder.TextColour(), kTypedUnreadOutline),
           waitCount,
           charWait,
           holder.GetFixedX() >> 16,
           holder.GetFixedY() >> 16,
           e,
           LineHeightFor(e),
           columns,
           rows,
           holder.CharacterLimit(),
           holder.TextFlag(),
           lineStart,
           indent};
  while (t.count < t.limit && ByteAt(t.text, t.i) != 0 && Step(t)) {
  }
  holder.SetPlaced(t.originX + t.x, t.originY + t.y);
  holder.SetIndent(t.indent);
  if (draws) target->Unlock(0);
  return target != nullptr;
}

// One element of the text; false when the text overflowed and typing stops.
bool GlyphTextRenderer::Step(Typing& t) {
  if (Overflows(t)) return false;
  const unsigned char byte = ByteAt(t.text, t.i);
  if (IsLeadByte(byte)) {
    TypeFullWidth(t, TwoByteCode(t.text, t.i));
  } else if (byte == '\n') {
    NewLine(t);
    t.i += 1;
  } else if (byte == '\r') {
    t.i += 1;
  } else if (byte == ' ') {
    t.count += 1;
    t.x += t.e / 2;
    t.i += 1;
  } else if (byte == '\\') {
    TypeBackslash(t);
  } else if (byte == '$') {
    TypeDollar(t);
  } else {
    Put(t, t.font, t.originX + t.x, t.originY + t.y, byte);
    t.count += 1;
    t.x += t.e / 2;
    t.i += 1;
  }
  return true;
}

// The rest of a text that does not fit the rows is lost, so that the next message starts on an
// empty window instead of drawing below it.
bool GlyphTextRenderer::Overflows(Typing& t) {
  if (t.y / t.lineHeight < t.rows) return false;
  if (t.textFlag && settings_.debugMode) Report(kOverflowNumber, kOverflow, "");
  t.text.resize(std::min(t.i, t.text.size()));
  return true;
}

void GlyphTextRenderer::NewLine(Typing& t) const {
  t.y += t.lineHeight;
  t.x = t.indent >= 0 ? t.indent * t.e : 0;
}

void GlyphTextRenderer::TypeFullWidth(Typing& t, std::uint16_t code) {
  if (t.indent < 0 && t.textFlag && IsIndentChar(code)) t.indent = t.x / t.e;
  if (t.x / t.e == t.indent) {
    if (IsIndentChar(code)) {
      TypeAndWait(t, code);
      t.x += t.e;
      t.i += 2;
      return;
    }
    // A continuation line starts one column after the bracket it hangs from.
    if (t.lineStart) t.x += t.e;
  }
  if (t.x / t.e >= t.columns - 1) {
    BreakAtLastColumn(t, code);
    return;
  }
  if (TypeName(t)) return;
  if (code != kFullWidthSpace) Put(t, t.font, t.originX + t.x, t.originY + t.y, code);
  t.count += 1;
  t.x += t.e;
  t.i += 2;
  if (t.charWait) t.charWait(t.waitCount);
}

// With the text flag the last column is kept for closing punctuation, so that no line starts
// with it; every other character moves on to the next line.
void GlyphTextRenderer::BreakAtLastColumn(Typing& t, std::uint16_t code) {
  if (IsLineEndChar(code) || !t.textFlag) {
    TypeAndWait(t, code);
    t.i += 2;
  }
  t.y += t.lineHeight;
  t.x = t.indent >= 0 && t.textFlag ? t.indent * t.e : 0;
  if (ByteAt(t.text, t.i) == '\n') t.i += 1;
}

// A hero-name placeholder at i: the name is drawn a character per column without waits.
bool GlyphTextRenderer::TypeName(Typing& t) {
  const std::string_view rest = std::string_view(t.text).substr(t.i);
  const std::string* name = nullptr;
  std::size_t placeholder = 0;
  if (rest.starts_with(kNamePlaceholder)) {
    name = &settings_.heroName;
    placeholder = kNamePlaceholder.size();
  } else if (rest.starts_with(kFamilyPlaceholder)) {
    name = &settings_.familyName;
    placeholder = kFamilyPlaceholder.size();
  } else {
    return false;
  }
  const int characters = static_cast<int>(name->size() / 2);
  for (int j = 0; j < characters; ++j) {
    Put(t, t.font, t.originX + t.x + j * t.e, t.originY + t.y,
        TwoByteCode(*name, static_cast<std::size_t>(j) * 2));
    t.count += 1;
  }
  t.i += placeholder;
  t.x += characters * t.e;
  return true;
}

// A bad code is replaced by a space in the text itself, so that retyping the same text (the
// backlog, a reload) does not report it again.
void GlyphTextRenderer::TypeBackslash(Typing& t) {
  const unsigned char code = ByteAt(t.text, t.i + 1);
  if (code == 'n' || code == 'N') {
    NewLine(t);
  } else if (code != ' ' && code != 0) {
    const char detail[] = {'[', static_cast<char>(code), ']'};
    Report(kBadCodeNumber, kBadCode, std::string_view(detail, sizeof detail));
    t.text[t.i + 1] = ' ';
  }
  t.i += 2;
}

void GlyphTextRenderer::TypeDollar(Typing& t) {
  const unsigned char code = ByteAt(t.text, t.i + 1);
  if (code == 'n') {
    t.waitCount = 0;
    t.i += 2;
  } else if (code == 'r') {
    TypeRuby(t);
  } else {
    t.i += 1;
  }
}

// Ruby is drawn above the current line in the 12-pixel font; the main text does not move.
void GlyphTextRenderer::TypeRuby(Typing& t) {
  int rx = t.originX + t.x;
  int ry = t.originY + t.y - kRubySize;
  std::size_t j = t.i + 2;
  while (ByteAt(t.text, j) != 0 && ByteAt(t.text, j) != '$') RubyCharacter(t, rx, ry, j);
  t.i = ByteAt(t.text, j) == '$' ? j + 1 : j;
}

void GlyphTextRenderer::RubyCharacter(Typing& t, int& rx, int& ry, std::size_t& j) {
  if (rx >= t.originX + t.e * (t.columns - 1)) {
    ry += t.lineHeight;
    rx = t.originX;
  }
  if (t.indent >= 0 && rx == t.originX + t.e * t.indent) rx += t.e;
  const unsigned char byte = ByteAt(t.text, j);
  if (IsLeadByte(byte)) {
    Put(t, rubyFont_, rx, ry, TwoByteCode(t.text, j));
    rx += kRubySize;
    j += 2;
    return;
  }
  if (byte == '-') rx -= kRubyNudge;
  if (byte == '+') rx += kRubyNudge;
  j += 1;
}

void GlyphTextRenderer::Put(Typing& t, const TextFont* font, int x, int y, std::uint16_t code) {
  if (t.draws) DrawOutlined(font, code, x, y, t.e, t.style, t.surface);
}

// The full-width character at i in the current column, with its wait.
void GlyphTextRenderer::TypeAndWait(Typing& t, std::uint16_t code) {
  Put(t, t.font, t.originX + t.x, t.originY + t.y, code);
  if (t.charWait) t.charWait(t.waitCount);
  t.count += 1;
}

}  // namespace halcyra
