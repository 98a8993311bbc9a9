#pragma once
// Whether the fonts the window draws with hold a glyph for every character
// of every message and text-menu label. The IPA fonts that stand in for the
// game's Japanese faces lack some of what CP932 can encode (the user-defined
// area, a few NEC symbols); such characters show as empty boxes.
#include <memory>
#include <string>
#include <vector>

#include "ScriptWalk.h"
#include "platform/text/Font.h"

namespace scripttool {

// Adds an error for each message or label with characters its font lacks,
// naming them; a warning when a font cannot be opened at all.
void CheckGlyphs(const std::vector<WalkedScript>& scripts, std::vector<Finding>& findings);

// The same, keeping the fonts open (and what they were asked) between runs.
class GlyphChecker {
 public:
  GlyphChecker();
  ~GlyphChecker();
  void Check(const std::vector<WalkedScript>& scripts, std::vector<Finding>& findings);

 private:
  struct Faces;
  std::unique_ptr<Faces> faces_;
};

// The faces the window draws with and what each resolved to here, so that
// a report says which fonts its glyphs were checked against.
struct WindowFace {
  std::string role;  // "message", "text menu"
  std::string face;  // UTF-8, as the game names it
  platform::ResolvedFace resolved;
};
std::vector<WindowFace> ResolveWindowFaces();

}  // namespace scripttool
