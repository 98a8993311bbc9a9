#pragma once
// Inside the platform's text folder: the opened faces that Font.cpp and
// MixedFont.cpp share and their cache.
#include <SDL_ttf.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text/Font.h"

namespace platform::fonts {

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

// A piece of rasterised text (ARGB8888) and where it goes in the image.
struct Piece {
  SDL_Surface* s;
  int x, y;
};
// Lays the pieces into `out` (its width and height set) and frees them.
void Compose(std::vector<Piece>& pieces, TextImage& out);

bool EnsureTtf();
// Guards the caches below and fontconfig.
std::mutex& CacheMutex();
// What a game face resolves to (cached); CacheMutex held.
ResolvedFace ResolveLocked(std::string_view faceCp932, bool bold, bool italic);
// The face of `path` at that size; bold and italic are drawn by SDL_ttf
// (the file has none of its own). Null when it cannot be opened;
// CacheMutex held.
std::shared_ptr<Face> OpenFaceLocked(const std::string& path, int pixelHeight, bool synthBold, bool synthItalic);
// A text object drawing in that one face.
std::unique_ptr<Font> MakeFaceFont(std::shared_ptr<Face> face);
// A face that draws text in several faces, each character from the first
// that has it (MixedFont.cpp); CacheMutex held.
std::unique_ptr<Font> OpenMixedFontLocked(const std::string& gameFacePath, int pixelHeight, bool bold, bool italic,
                                          const std::string& language);

}  // namespace platform::fonts
