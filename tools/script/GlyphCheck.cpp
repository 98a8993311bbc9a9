#include "GlyphCheck.h"

#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "framework/GameFaces.h"
#include "platform/text/Font.h"
#include "platform/text/TextCodec.h"

namespace scripttool {
namespace {

// Code points of UTF-8 text; a malformed byte stands for itself.
std::vector<char32_t> CodePoints(std::string_view utf8) {
  std::vector<char32_t> out;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char c = utf8[i];
    const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (i + extra >= utf8.size()) break;  // cut off at the end
    char32_t cp = extra ? c & (0x3F >> extra) : c;
    for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    out.push_back(cp);
    i += extra + 1;
  }
  return out;
}

std::string Describe(char32_t cp) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(cp));
  // Characters of the private-use area have no shape to print.
  if (cp >= 0xE000 && cp <= 0xF8FF) return hex;
  std::string utf8;
  if (cp < 0x80) {
    utf8 += char(cp);
  } else if (cp < 0x800) {
    utf8 += char(0xC0 | (cp >> 6)), utf8 += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    utf8 += char(0xE0 | (cp >> 12)), utf8 += char(0x80 | ((cp >> 6) & 0x3F)), utf8 += char(0x80 | (cp & 0x3F));
  } else {
    utf8 += char(0xF0 | (cp >> 18)), utf8 += char(0x80 | ((cp >> 12) & 0x3F));
    utf8 += char(0x80 | ((cp >> 6) & 0x3F)), utf8 += char(0x80 | (cp & 0x3F));
  }
  return utf8 + " (" + hex + ")";
}

// One face the window draws with, and what it was asked about so far.
class FaceCoverage {
 public:
  FaceCoverage(const char* faceUtf8, bool bold, const char* role) : role_(role) {
    const std::string face = platform::Utf8ToCp932Lossy(faceUtf8);
    font_ = platform::OpenFont(face, 16, bold, false);
    if (font_) file_ = font_->FilePath();
    name_ = faceUtf8;
  }

  bool Opened() const { return font_ != nullptr; }
  std::string Where() const {
    return role_ + " font (" + name_ + ", " + file_.substr(file_.find_last_of('/') + 1) + ")";
  }

  // The characters of `cp932` that the face lacks, in order, each once.
  std::vector<char32_t> Missing(const std::string& cp932) {
    std::vector<char32_t> missing;
    std::set<char32_t> listed;
    for (char32_t cp : CodePoints(platform::Cp932ToUtf8(cp932))) {
      if (cp < 0x20) continue;  // line breaks and tabs are layout, not glyphs
      auto known = has_.find(cp);
      if (known == has_.end()) known = has_.emplace(cp, font_->HasGlyph(cp)).first;
      if (!known->second && listed.insert(cp).second) missing.push_back(cp);
    }
    return missing;
  }

 private:
  std::string role_, name_, file_;
  std::unique_ptr<platform::Font> font_;
  std::map<char32_t, bool> has_;
};

void Report(const WalkedScript& script, size_t at, FaceCoverage& face, const std::string& cp932, const char* what,
            std::vector<Finding>& findings) {
  const std::vector<char32_t> missing = face.Missing(cp932);
  if (missing.empty()) return;
  std::string list;
  for (char32_t cp : missing) list += (list.empty() ? "" : ", ") + Describe(cp);
  findings.push_back({Severity::Error, script.name, at,
                      std::string(what) + " " + Quote(cp932) + " has characters that the " + face.Where() +
                          " cannot draw (they show as empty boxes): " + list});
}

}  // namespace

std::vector<WindowFace> ResolveWindowFaces() {
  std::vector<WindowFace> faces;
  for (const auto& [role, face] : {std::pair{"message", gamefaces::kMessageFace}, std::pair{"text menu", gamefaces::kMenuFace}}) {
    faces.push_back({role, face, platform::ResolveFace(platform::Utf8ToCp932Lossy(face), true, false)});
  }
  return faces;
}

struct GlyphChecker::Faces {
  FaceCoverage message{gamefaces::kMessageFace, true, "message"};
  FaceCoverage menu{gamefaces::kMenuFace, true, "text menu"};
};

GlyphChecker::GlyphChecker() : faces_(std::make_unique<Faces>()) {}
GlyphChecker::~GlyphChecker() = default;

void GlyphChecker::Check(const std::vector<WalkedScript>& scripts, std::vector<Finding>& findings) {
  FaceCoverage& message = faces_->message;
  FaceCoverage& menu = faces_->menu;
  for (FaceCoverage* face : {&message, &menu}) {
    if (!face->Opened()) {
      findings.push_back({Severity::Warning, "", 0, "the " + face->Where() + " cannot be opened: its glyphs are not checked"});
    }
  }
  for (const WalkedScript& script : scripts) {
    if (message.Opened()) {
      for (const ShownMessage& m : script.messages) Report(script, m.at, message, m.text, "message", findings);
    }
    if (!menu.Opened()) continue;
    for (const ScriptCommand& cmd : script.commands) {
      if (cmd.keyword != "FontMenu") continue;
      for (const MenuItemEntry& item : cmd.items) Report(script, item.at, menu, item.label, "menu item", findings);
    }
  }
}

void CheckGlyphs(const std::vector<WalkedScript>& scripts, std::vector<Finding>& findings) {
  GlyphChecker().Check(scripts, findings);
}

}  // namespace scripttool
