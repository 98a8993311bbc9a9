#pragma once
// Fonts: a face name (CP932, Windows names mapped to IPA fonts) resolved
// through fontconfig and rasterised with SDL_ttf.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct TextImage {
  int width = 0, height = 0;
  std::vector<uint32_t> argb;  // white glyphs, coverage in alpha
};

class Font {
 public:
  virtual ~Font() = default;
  // Lays out UTF-8 text from the top-left: '\n' starts a new line, '\r' is
  // dropped, tabs expand to the next multiple of eight average characters.
  virtual bool Render(std::string_view utf8, TextImage& out) = 0;
  // The width in pixels of one line of UTF-8 text (no line feeds or tabs)
  // as Render draws it.
  virtual int Measure(std::string_view utf8) = 0;
  virtual int LineHeight() const = 0;
  virtual std::string FilePath() const = 0;  // the font file in use
  // Whether the face itself has a glyph for the character; text without
  // one is drawn with the face's empty box.
  virtual bool HasGlyph(char32_t codepoint) const = 0;
  // Lines `pixels` apart instead of the face's own line skip, each line's
  // glyphs centred in its height (0: the face's own). Text laid out for one
  // face then keeps its rows where they were with any other.
  void SetLinePitch(int pixels) { linePitch_ = pixels > 0 ? pixels : 0; }

 protected:
  int linePitch_ = 0;
};

// Null when no font could be opened. Fonts opened with the same face, size
// and style share one face and its glyph cache, kept open for later opens.
// Without a language the game's face draws everything, as it always did.
// With one (a translation's, "fr"), each character is drawn by the first
// face that has it: Japanese text by the game's face, other text by the
// face fontconfig prefers for that language, and what neither has by
// fontconfig's fallback for the character; bold and italic come from the
// files where they have them.
std::unique_ptr<Font> OpenFont(std::string_view faceCp932, int pixelHeight, bool bold, bool italic,
                               std::string_view language = {});
// The language the game's text is shown in: empty for the original, else a
// translation's code. Text objects follow it (FontGeneration counts its
// changes, so that they open their fonts anew).
void SetFontLanguage(std::string_view language);
std::string FontLanguage();
uint64_t FontGeneration();
// Opens a face ahead of its first use and keeps it open for it: the
// fontconfig set-up (the dearest part, several milliseconds) and the font
// file's tables are then ready. Start-up does this on a worker while the
// window is made; safe from any thread.
void PrepareFont(std::string_view faceCp932, int pixelHeight, bool bold, bool italic);
// The font file fontconfig picks for a face (after our alias rules).
std::string ResolveFontFile(std::string_view faceCp932, bool bold, bool italic);
// What a face resolved to, for reports: the file, its family name, and the
// family our alias rules prefer for it (empty for a face without a rule).
// A family other than the preferred one is a stand-in (the IPA fonts are
// not installed, and fontconfig picked what it had for Japanese).
struct ResolvedFace {
  std::string file;
  std::string family;
  std::string preferred;
};
ResolvedFace ResolveFace(std::string_view faceCp932, bool bold, bool italic);
// "FAMILY (FILE)", with ", standing in for PREFERRED" when it is a stand-in;
// "none" when nothing was found.
std::string DescribeFace(const ResolvedFace& face);

}  // namespace platform
