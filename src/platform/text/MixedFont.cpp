// Text in a translation: each character drawn by the first face that has
// it. Japanese characters keep the game's face; the rest take the face
// fontconfig prefers for the translation's language, and a character
// neither has takes the first face of fontconfig's sorted fallback list
// that covers it. Each line is cut into runs of one face, drawn on one
// baseline.
#include <SDL.h>

#include <map>
#include <tuple>
#include <unordered_map>

#include "platform/text/FontConfig.h"
#include "platform/text/FontFaces.h"

namespace platform::fonts {
namespace {
constexpr size_t kMaxFaces = 8;

char32_t Decode(std::string_view s, size_t& i) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
  if (n == 0 || i + n > s.size()) {
    ++i;
    return 0xFFFD;
  }
  char32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
  for (size_t k = 1; k < n; ++k) {
    const unsigned char t = static_cast<unsigned char>(s[i + k]);
    if ((t & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (t & 0x3F);
  }
  i += n;
  return cp;
}

// Kana, kanji, CJK punctuation and the full-width forms.
bool IsJapaneseScript(char32_t c) {
  return (c >= 0x3000 && c <= 0x30FF) || (c >= 0x31F0 && c <= 0x31FF) || (c >= 0x3400 && c <= 0x4DBF) ||
         (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF) ||
         (c >= 0x20000 && c <= 0x2FFFF);
}

std::string BaseLanguage(const std::string& language) { return language.substr(0, language.find_first_of("_-@")); }

// fontconfig's answer for a language: the face it prefers and its sorted
// list of others, kept per language and style (CacheMutex held).
struct LanguageFaces {
  std::string file;
  bool synthBold = false, synthItalic = false;
  FcFontSet* sorted = nullptr;  // never freed: kept for the process like the configuration
};

FcPattern* LanguagePattern(const std::string& language, bool bold, bool italic) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
  FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>(BaseLanguage(language).c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  if (italic) FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ITALIC);
  FcConfigSubstitute(Config(), pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  return pattern;
}

// Whether SDL_ttf has to draw bold or italic itself for this face.
void Synthesis(FcPattern* font, bool bold, bool italic, bool& synthBold, bool& synthItalic) {
  int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
  FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
  FcPatternGetInteger(font, FC_SLANT, 0, &slant);
  synthBold = bold && weight < FC_WEIGHT_DEMIBOLD;
  synthItalic = italic && slant == FC_SLANT_ROMAN;
}

const LanguageFaces& FacesFor(const std::string& language, bool bold, bool italic) {
  static std::map<std::tuple<std::string, bool, bool>, LanguageFaces> cache;
  auto key = std::make_tuple(language, bold, italic);
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  LanguageFaces faces;
  if (Config()) {
    FcPattern* pattern = LanguagePattern(language, bold, italic);
    FcResult result;
    if (FcPattern* match = FcFontMatch(Config(), pattern, &result)) {
      FcChar8* file = nullptr;
      if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
        faces.file = reinterpret_cast<char*>(file);
      Synthesis(match, bold, italic, faces.synthBold, faces.synthItalic);
      FcPatternDestroy(match);
    }
    faces.sorted = FcFontSort(Config(), pattern, FcTrue, nullptr, &result);
    FcPatternDestroy(pattern);
  }
  return cache.emplace(std::move(key), std::move(faces)).first->second;
}

class MixedFont : public Font {
 public:
  // gameFirst: every character the game's face has is drawn by it
  // (Japanese); ownHan: ideographs are the language's own (Chinese,
  // Korean), so only kana go to the game's face before the first.
  MixedFont(std::vector<std::shared_ptr<Face>> faces, size_t game, bool gameFirst, bool ownHan, int pixelHeight,
            bool bold, bool italic, std::string language)
      : faces_(std::move(faces)),
        game_(game),
        gameFirst_(gameFirst),
        ownHan_(ownHan),
        pixelHeight_(pixelHeight),
        bold_(bold),
        italic_(italic),
        language_(std::move(language)) {}

  int LineHeight() const override {
    std::lock_guard<std::mutex> lock(faces_[0]->mu);
    return TTF_FontLineSkip(faces_[0]->font);
  }
  std::string FilePath() const override { return faces_[0]->path; }
  bool HasGlyph(char32_t codepoint) const override {
    std::lock_guard<std::mutex> lock(mu_);
    Face& f = *faces_[FaceFor(codepoint)];
    std::lock_guard<std::mutex> faceLock(f.mu);
    return TTF_GlyphIsProvided32(f.font, uint32_t(codepoint)) != 0;
  }

  int Measure(std::string_view utf8) override {
    std::lock_guard<std::mutex> lock(mu_);
    int width = 0;
    ForRuns(utf8, [&](size_t face, const std::string& run) {
      Face& f = *faces_[face];
      std::lock_guard<std::mutex> faceLock(f.mu);
      int w = 0;
      if (TTF_SizeUTF8(f.font, run.c_str(), &w, nullptr) == 0) width += w;
    });
    return width;
  }

  bool Render(std::string_view utf8, TextImage& out) override {
    std::lock_guard<std::mutex> lock(mu_);
    out = TextImage{};
    std::string text;
    text.reserve(utf8.size());
    for (char c : utf8)
      if (c != '\r') text += c;
    std::vector<Piece> pieces;
    int faceSkip, ascent, tabWidth;
    {
      std::lock_guard<std::mutex> faceLock(faces_[0]->mu);
      faceSkip = TTF_FontLineSkip(faces_[0]->font);
      ascent = TTF_FontAscent(faces_[0]->font);
      tabWidth = faces_[0]->tabWidth;
    }
    const int lineSkip = linePitch_ > 0 ? linePitch_ : faceSkip;
    const int shift = (lineSkip - faceSkip) / 2;
    int y = 0, maxW = 0, lines = 0;
    size_t start = 0;
    while (start <= text.size()) {
      const size_t nl = text.find('\n', start);
      const std::string line = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
      int x = 0;
      size_t seg = 0;
      while (seg <= line.size()) {
        const size_t tab = line.find('\t', seg);
        const std::string part = line.substr(seg, tab == std::string::npos ? std::string::npos : tab - seg);
        ForRuns(part, [&](size_t face, const std::string& run) {
          Face& f = *faces_[face];
          std::lock_guard<std::mutex> faceLock(f.mu);
          SDL_Surface* s = TTF_RenderUTF8_Blended(f.font, run.c_str(), SDL_Color{255, 255, 255, 255});
          if (!s) return;
          SDL_Surface* conv = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0);
          SDL_FreeSurface(s);
          if (!conv) return;
          // Every face's baseline on the first face's.
          pieces.push_back({conv, x, y + shift + ascent - TTF_FontAscent(f.font)});
          x += conv->w;
        });
        if (tab == std::string::npos) break;
        x = (x / tabWidth + 1) * tabWidth;
        seg = tab + 1;
      }
      maxW = std::max(maxW, x);
      y += lineSkip;
      ++lines;
      if (nl == std::string::npos) break;
      start = nl + 1;
    }
    out.width = maxW;
    out.height = std::max(lines * lineSkip, (lines - 1) * lineSkip + shift + faceSkip);
    if (out.width <= 0 || out.height <= 0) {
      for (auto& p : pieces) SDL_FreeSurface(p.s);
      out.width = out.height = 0;
      return true;
    }
    Compose(pieces, out);
    return true;
  }

 private:
  // Calls visit(face, run) for each run of characters drawn by one face.
  template <class Visit>
  void ForRuns(std::string_view text, Visit visit) const {
    size_t i = 0, runStart = 0, runFace = 0;
    while (i < text.size()) {
      const size_t at = i;
      const size_t face = FaceFor(Decode(text, i));
      if (at > runStart && face != runFace) {
        visit(runFace, std::string(text.substr(runStart, at - runStart)));
        runStart = at;
      }
      runFace = face;
    }
    if (i > runStart) visit(runFace, std::string(text.substr(runStart, i - runStart)));
  }

  static bool Has(Face& f, char32_t c) {
    std::lock_guard<std::mutex> lock(f.mu);
    return TTF_GlyphIsProvided32(f.font, uint32_t(c)) != 0;
  }

  // mu_ held.
  size_t FaceFor(char32_t c) const {
    if (c < 0x20 || c == 0xFFFD) return 0;
    if (auto it = choice_.find(c); it != choice_.end()) return it->second;
    size_t chosen = 0;
    const bool kana = (c >= 0x3040 && c <= 0x30FF) || (c >= 0x31F0 && c <= 0x31FF) || (c >= 0xFF66 && c <= 0xFF9F);
    const bool gameBefore = gameFirst_ || (ownHan_ ? kana : IsJapaneseScript(c));
    const size_t order[2] = {gameBefore ? game_ : 0, gameBefore ? 0 : game_};
    bool found = false;
    for (size_t f : order) {
      if (Has(*faces_[f], c)) {
        chosen = f;
        found = true;
        break;
      }
    }
    if (!found) {
      for (size_t f = 1; f < faces_.size(); ++f) {
        if (f != game_ && Has(*faces_[f], c)) {
          chosen = f;
          found = true;
          break;
        }
      }
    }
    if (!found) chosen = Fallback(c);
    choice_.emplace(c, chosen);
    return chosen;
  }

  // The first face of fontconfig's list for the language that covers c,
  // opened now; the first face when none does (it draws its empty box).
  size_t Fallback(char32_t c) const {
    if (faces_.size() >= kMaxFaces) return 0;
    std::lock_guard<std::mutex> lock(CacheMutex());
    const LanguageFaces& lf = FacesFor(language_, bold_, italic_);
    if (!lf.sorted) return 0;
    for (int i = 0; i < lf.sorted->nfont; ++i) {
      FcPattern* font = lf.sorted->fonts[i];
      FcCharSet* cs = nullptr;
      if (FcPatternGetCharSet(font, FC_CHARSET, 0, &cs) != FcResultMatch || !FcCharSetHasChar(cs, c)) continue;
      FcChar8* file = nullptr;
      if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || !file) continue;
      const std::string path = reinterpret_cast<char*>(file);
      for (size_t f = 0; f < faces_.size(); ++f)
        if (faces_[f]->path == path) return f;
      bool synthBold = false, synthItalic = false;
      Synthesis(font, bold_, italic_, synthBold, synthItalic);
      std::shared_ptr<Face> face = OpenFaceLocked(path, pixelHeight_, synthBold, synthItalic);
      if (!face || !TTF_GlyphIsProvided32(face->font, uint32_t(c))) continue;
      faces_.push_back(std::move(face));
      return faces_.size() - 1;
    }
    return 0;
  }

  mutable std::mutex mu_;  // the faces and the choices below
  mutable std::vector<std::shared_ptr<Face>> faces_;
  size_t game_;
  bool gameFirst_, ownHan_;
  int pixelHeight_;
  bool bold_, italic_;
  std::string language_;
  mutable std::unordered_map<char32_t, size_t> choice_;
};
}  // namespace

std::unique_ptr<Font> OpenMixedFontLocked(const std::string& gameFacePath, int pixelHeight, bool bold, bool italic,
                                          const std::string& language) {
  // The game's face, as it always draws: bold and italic drawn by SDL_ttf.
  std::shared_ptr<Face> game = OpenFaceLocked(gameFacePath, pixelHeight, bold, italic);
  if (!game) return nullptr;
  const std::string base = BaseLanguage(language);
  // Japanese text keeps the game's face first; Chinese and Korean take
  // their own faces for the ideographs they share with Japanese.
  const bool gameFirst = base == "ja";
  std::vector<std::shared_ptr<Face>> faces;
  if (!gameFirst) {
    const LanguageFaces& lf = FacesFor(language, bold, italic);
    if (!lf.file.empty() && lf.file != gameFacePath) {
      if (auto primary = OpenFaceLocked(lf.file, pixelHeight, lf.synthBold, lf.synthItalic))
        faces.push_back(std::move(primary));
    }
  }
  faces.push_back(game);
  const size_t gameIndex = faces.size() - 1;
  const bool ownHan = base == "zh" || base == "ko";
  return std::make_unique<MixedFont>(std::move(faces), gameIndex, gameFirst, ownHan, pixelHeight, bold, italic,
                                     language);
}

}  // namespace platform::fonts
