// Fonts through fontconfig (with our alias rules for the Windows face names)
// and SDL_ttf.
#include "platform/text/Font.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <tuple>

#include "platform/text/TextCodec.h"

namespace platform {
namespace {

// Debian has no aliases for the Windows Japanese faces; without these rules
// they resolve to a font without kanji.
const char kAliasRules[] = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <alias binding="same"><family>ＭＳ Ｐゴシック</family><prefer><family>IPAPGothic</family></prefer></alias>
  <alias binding="same"><family>MS PGothic</family><prefer><family>IPAPGothic</family></prefer></alias>
  <alias binding="same"><family>ＭＳ ゴシック</family><prefer><family>IPAGothic</family></prefer></alias>
  <alias binding="same"><family>MS Gothic</family><prefer><family>IPAGothic</family></prefer></alias>
  <alias binding="same"><family>ＭＳ Ｐ明朝</family><prefer><family>IPAPMincho</family></prefer></alias>
  <alias binding="same"><family>ＭＳ 明朝</family><prefer><family>IPAMincho</family></prefer></alias>
</fontconfig>
)";

// The family each rule above prefers, for telling a stand-in from it.
const std::map<std::string, std::string>& PreferredFamilies() {
  static const std::map<std::string, std::string> families = {
      {"ＭＳ Ｐゴシック", "IPAPGothic"}, {"MS PGothic", "IPAPGothic"}, {"ＭＳ ゴシック", "IPAGothic"},
      {"MS Gothic", "IPAGothic"},        {"ＭＳ Ｐ明朝", "IPAPMincho"},  {"ＭＳ 明朝", "IPAMincho"}};
  return families;
}

FcConfig* Config() {
  static FcConfig* config = [] {
    FcConfig* c = FcInitLoadConfigAndFonts();
    if (c) FcConfigParseAndLoadFromMemory(c, reinterpret_cast<const FcChar8*>(kAliasRules), FcTrue);
    return c;
  }();
  return config;
}

bool EnsureTtf() {
  static bool ok = TTF_WasInit() || TTF_Init() == 0;
  return ok;
}

// One opened face at one size and style. Text objects with the same face,
// size and style share it (and its glyph cache): opening a face costs a
// fontconfig match and reading the font file's tables.
struct Face {
  Face(TTF_Font* f, std::string p) : font(f), path(std::move(p)) {
    int advance = 0;
    if (TTF_GlyphMetrics(font, 'x', nullptr, nullptr, nullptr, nullptr, &advance) != 0 || advance <= 0)
      advance = std::max(1, TTF_FontHeight(font) / 2);
    tabWidth = advance * 8;
  }
  ~Face() { TTF_CloseFont(font); }
  Face(const Face&) = delete;
  Face& operator=(const Face&) = delete;
  TTF_Font* font;
  std::string path;
  int tabWidth = 64;
  std::mutex mu;  // SDL_ttf's glyph cache is not safe to share between threads
};

class TtfFont : public Font {
 public:
  explicit TtfFont(std::shared_ptr<Face> face) : face_(std::move(face)), font_(face_->font), tabWidth_(face_->tabWidth) {}

  int LineHeight() const override { return TTF_FontLineSkip(font_); }
  std::string FilePath() const override { return face_->path; }
  bool HasGlyph(char32_t codepoint) const override {
    std::lock_guard<std::mutex> lock(face_->mu);
    return TTF_GlyphIsProvided32(font_, uint32_t(codepoint)) != 0;
  }

  bool Render(std::string_view utf8, TextImage& out) override {
    std::lock_guard<std::mutex> lock(face_->mu);
    out = TextImage{};
    std::string text;
    text.reserve(utf8.size());
    for (char c : utf8)
      if (c != '\r') text += c;
    struct Piece {
      SDL_Surface* s;
      int x, y;
    };
    std::vector<Piece> pieces;
    const int faceSkip = LineHeight();
    const int lineSkip = linePitch_ > 0 ? linePitch_ : faceSkip;
    // A face whose line is taller than the pitch draws each line's glyphs
    // centred in it; its outer leading may be cut off, the glyphs are not.
    const int shift = (lineSkip - faceSkip) / 2;
    int y = 0, maxW = 0, lines = 0;
    size_t start = 0;
    while (start <= text.size()) {
      size_t nl = text.find('\n', start);
      std::string line = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
      int x = 0;
      size_t seg = 0;
      while (seg <= line.size()) {
        size_t tab = line.find('\t', seg);
        std::string part = line.substr(seg, tab == std::string::npos ? std::string::npos : tab - seg);
        if (!part.empty()) {
          SDL_Surface* s = TTF_RenderUTF8_Blended(font_, part.c_str(), SDL_Color{255, 255, 255, 255});
          if (s) {
            SDL_Surface* conv = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0);
            SDL_FreeSurface(s);
            if (conv) {
              pieces.push_back({conv, x, y + shift});
              x += conv->w;
            }
          }
        }
        if (tab == std::string::npos) break;
        x = (x / tabWidth_ + 1) * tabWidth_;
        seg = tab + 1;
      }
      maxW = std::max(maxW, x);
      y += lineSkip;
      ++lines;
      if (nl == std::string::npos) break;
      start = nl + 1;
    }
    out.width = maxW;
    // The last line keeps its descenders where the face's line reaches below the pitch.
    out.height = std::max(lines * lineSkip, (lines - 1) * lineSkip + shift + faceSkip);
    if (out.width <= 0 || out.height <= 0) {
      for (auto& p : pieces) SDL_FreeSurface(p.s);
      out.width = out.height = 0;
      return true;
    }
    out.argb.assign(size_t(out.width) * out.height, 0x00FFFFFFu);
    for (auto& p : pieces) {
      SDL_LockSurface(p.s);
      for (int row = std::max(0, -p.y); row < p.s->h && p.y + row < out.height; ++row) {
        const uint32_t* src = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(p.s->pixels) + row * p.s->pitch);
        uint32_t* dst = &out.argb[size_t(p.y + row) * out.width];
        for (int col = 0; col < p.s->w && p.x + col < out.width; ++col) {
          uint32_t a = src[col] >> 24;
          uint32_t& d = dst[p.x + col];
          if (a > (d >> 24)) d = (a << 24) | 0xFFFFFFu;
        }
      }
      SDL_UnlockSurface(p.s);
      SDL_FreeSurface(p.s);
    }
    return true;
  }

 private:
  std::shared_ptr<Face> face_;
  TTF_Font* font_;
  int tabWidth_;
};

// Both caches are guarded by g_fontMutex. Faces stay open for reuse; past
// kKeptFaces, those no text object uses any more are closed.
std::mutex g_fontMutex;
std::map<std::tuple<std::string, bool, bool>, ResolvedFace> g_resolved;
std::map<std::tuple<std::string, int, bool, bool>, std::shared_ptr<Face>> g_faces;
constexpr size_t kKeptFaces = 8;

ResolvedFace ResolveLocked(std::string_view faceCp932, bool bold, bool italic) {
  auto key = std::make_tuple(std::string(faceCp932), bold, italic);
  if (auto it = g_resolved.find(key); it != g_resolved.end()) return it->second;
  FcConfig* config = Config();
  if (!config) return ResolvedFace{};
  std::string face = Cp932ToUtf8(faceCp932);
  ResolvedFace resolved;
  if (auto rule = PreferredFamilies().find(face); rule != PreferredFamilies().end()) resolved.preferred = rule->second;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
  FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
  if (bold) FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_BOLD);
  if (italic) FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ITALIC);
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  if (match) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
      resolved.file = reinterpret_cast<char*>(file);
    FcChar8* family = nullptr;
    if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch && family)
      resolved.family = reinterpret_cast<char*>(family);
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  g_resolved.emplace(std::move(key), resolved);
  return resolved;
}
}  // namespace

void PrepareFont(std::string_view faceCp932, int pixelHeight, bool bold, bool italic) {
  OpenFont(faceCp932, pixelHeight, bold, italic);  // the face stays in g_faces for the real open
}

std::string ResolveFontFile(std::string_view faceCp932, bool bold, bool italic) {
  return ResolveFace(faceCp932, bold, italic).file;
}

ResolvedFace ResolveFace(std::string_view faceCp932, bool bold, bool italic) {
  std::lock_guard<std::mutex> lock(g_fontMutex);
  return ResolveLocked(faceCp932, bold, italic);
}

std::string DescribeFace(const ResolvedFace& face) {
  if (face.file.empty()) return "none";
  std::string out = (face.family.empty() ? std::string("?") : face.family) + " (" + face.file + ")";
  if (!face.preferred.empty() && face.family != face.preferred) out += ", standing in for " + face.preferred;
  return out;
}

std::unique_ptr<Font> OpenFont(std::string_view faceCp932, int pixelHeight, bool bold, bool italic) {
  if (pixelHeight <= 0 || !EnsureTtf()) return nullptr;
  std::lock_guard<std::mutex> lock(g_fontMutex);
  std::string path = ResolveLocked(faceCp932, bold, italic).file;
  if (path.empty()) return nullptr;
  auto key = std::make_tuple(path, pixelHeight, bold, italic);
  if (auto it = g_faces.find(key); it != g_faces.end()) return std::make_unique<TtfFont>(it->second);
  TTF_Font* f = TTF_OpenFont(path.c_str(), pixelHeight);
  if (!f) return nullptr;
  // The IPA fonts have no bold or italic faces: let SDL_ttf synthesise them.
  int style = TTF_STYLE_NORMAL;
  if (bold) style |= TTF_STYLE_BOLD;
  if (italic) style |= TTF_STYLE_ITALIC;
  TTF_SetFontStyle(f, style);
  TTF_SetFontHinting(f, TTF_HINTING_NORMAL);
  auto face = std::make_shared<Face>(f, path);
  if (g_faces.size() >= kKeptFaces) {
    for (auto it = g_faces.begin(); it != g_faces.end();) it = it->second.use_count() == 1 ? g_faces.erase(it) : ++it;
  }
  g_faces.emplace(std::move(key), face);
  return std::make_unique<TtfFont>(std::move(face));
}

}  // namespace platform
