// Fonts drawn by SDL_ttf; which file a game face names is found in
// FontResolve.cpp (fontconfig) or, in the browser, web/FontResolveWeb.cpp.
#include "platform/text/Font.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <tuple>

#include "platform/text/FontFaces.h"
#include "platform/text/TextCodec.h"

namespace platform {
namespace fonts {

bool EnsureTtf() {
  static bool ok = TTF_WasInit() || TTF_Init() == 0;
  return ok;
}


void Compose(std::vector<Piece>& pieces, TextImage& out) {
  out.argb.assign(size_t(out.width) * out.height, 0x00FFFFFFu);
  for (auto& p : pieces) {
    SDL_LockSurface(p.s);
    for (int row = std::max(0, -p.y); row < p.s->h && p.y + row < out.height; ++row) {
      const uint32_t* src = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(p.s->pixels) + row * p.s->pitch);
      uint32_t* dst = &out.argb[size_t(p.y + row) * out.width];
      for (int col = std::max(0, -p.x); col < p.s->w && p.x + col < out.width; ++col) {
        uint32_t a = src[col] >> 24;
        uint32_t& d = dst[p.x + col];
        if (a > (d >> 24)) d = (a << 24) | 0xFFFFFFu;
      }
    }
    SDL_UnlockSurface(p.s);
    SDL_FreeSurface(p.s);
  }
  pieces.clear();
}
}  // namespace fonts

namespace {
using fonts::Face;

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
    std::vector<fonts::Piece> pieces;
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
    fonts::Compose(pieces, out);
    return true;
  }

  int Measure(std::string_view utf8) override {
    std::lock_guard<std::mutex> lock(face_->mu);
    int w = 0;
    const std::string line(utf8);
    return TTF_SizeUTF8(font_, line.c_str(), &w, nullptr) == 0 ? w : 0;
  }

 private:
  std::shared_ptr<Face> face_;
  TTF_Font* font_;
  int tabWidth_;
};

}  // namespace

namespace fonts {
std::unique_ptr<Font> MakeFaceFont(std::shared_ptr<Face> face) { return std::make_unique<TtfFont>(std::move(face)); }

// The cache of faces is guarded by CacheMutex. Faces stay open for reuse; past
// kKeptFaces, those no text object uses any more are closed.
namespace {
std::map<std::tuple<std::string, int, bool, bool>, std::shared_ptr<Face>> g_faces;
constexpr size_t kKeptFaces = 8;
}  // namespace

std::mutex& CacheMutex() {
  static std::mutex mu;
  return mu;
}

std::shared_ptr<Face> OpenFaceLocked(const std::string& path, int pixelHeight, bool synthBold, bool synthItalic) {
  auto key = std::make_tuple(path, pixelHeight, synthBold, synthItalic);
  if (auto it = g_faces.find(key); it != g_faces.end()) return it->second;
  TTF_Font* f = TTF_OpenFont(path.c_str(), pixelHeight);
  if (!f) return nullptr;
  int style = TTF_STYLE_NORMAL;
  if (synthBold) style |= TTF_STYLE_BOLD;
  if (synthItalic) style |= TTF_STYLE_ITALIC;
  TTF_SetFontStyle(f, style);
  TTF_SetFontHinting(f, TTF_HINTING_NORMAL);
  auto face = std::make_shared<Face>(f, path);
  if (g_faces.size() >= kKeptFaces) {
    for (auto it = g_faces.begin(); it != g_faces.end();) it = it->second.use_count() == 1 ? g_faces.erase(it) : ++it;
  }
  g_faces.emplace(std::move(key), face);
  return face;
}
}  // namespace fonts

namespace {
std::string g_fontLanguage;  // guarded by CacheMutex
uint64_t g_fontGeneration = 0;
}  // namespace

void SetFontLanguage(std::string_view language) {
  std::lock_guard<std::mutex> lock(fonts::CacheMutex());
  if (g_fontLanguage == language) return;
  g_fontLanguage = std::string(language);
  ++g_fontGeneration;
}

std::string FontLanguage() {
  std::lock_guard<std::mutex> lock(fonts::CacheMutex());
  return g_fontLanguage;
}

uint64_t FontGeneration() {
  std::lock_guard<std::mutex> lock(fonts::CacheMutex());
  return g_fontGeneration;
}

void PrepareFont(std::string_view faceCp932, int pixelHeight, bool bold, bool italic) {
  OpenFont(faceCp932, pixelHeight, bold, italic);  // the face stays in the cache for the real open
}

std::string ResolveFontFile(std::string_view faceCp932, bool bold, bool italic) {
  return ResolveFace(faceCp932, bold, italic).file;
}

ResolvedFace ResolveFace(std::string_view faceCp932, bool bold, bool italic) {
  std::lock_guard<std::mutex> lock(fonts::CacheMutex());
  return fonts::ResolveLocked(faceCp932, bold, italic);
}

std::string DescribeFace(const ResolvedFace& face) {
  if (face.file.empty()) return "none";
  std::string out = (face.family.empty() ? std::string("?") : face.family) + " (" + face.file + ")";
  if (!face.preferred.empty() && face.family != face.preferred) out += ", standing in for " + face.preferred;
  return out;
}

std::unique_ptr<Font> OpenFont(std::string_view faceCp932, int pixelHeight, bool bold, bool italic,
                               std::string_view language) {
  if (pixelHeight <= 0 || !fonts::EnsureTtf()) return nullptr;
  std::lock_guard<std::mutex> lock(fonts::CacheMutex());
  std::string path = fonts::ResolveLocked(faceCp932, bold, italic).file;
  if (path.empty()) return nullptr;
  if (!language.empty()) return fonts::OpenMixedFontLocked(path, pixelHeight, bold, italic, std::string(language));
  // The IPA fonts have no bold or italic faces: SDL_ttf draws them.
  auto face = fonts::OpenFaceLocked(path, pixelHeight, bold, italic);
  return face ? fonts::MakeFaceFont(std::move(face)) : nullptr;
}

}  // namespace platform
