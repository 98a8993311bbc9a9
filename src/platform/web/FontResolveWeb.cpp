// Which font file a game's face name stands for, in the browser: there is
// no fontconfig there, so the page ships the faces the Linux build would
// pick (the IPA fonts our alias rules prefer) under kWebFontDir, and the
// same rules pick among them. A face the rules do not name takes the
// proportional gothic, as fontconfig's Japanese default does on Debian.
#include <filesystem>
#include <map>
#include <tuple>

#include "platform/text/FontFaces.h"
#include "platform/text/TextCodec.h"
#include "platform/web/WebPaths.h"

namespace platform::fonts {
namespace {
std::map<std::tuple<std::string, bool, bool>, ResolvedFace> g_resolved;  // guarded by CacheMutex

struct Shipped {
  const char* family;
  const char* file;  // below kWebFontDir
};
// The IPA fonts' families and their Debian file names.
constexpr Shipped kShipped[] = {{"IPAPGothic", "ipagp.ttf"},
                                {"IPAGothic", "ipag.ttf"},
                                {"IPAPMincho", "ipamp.ttf"},
                                {"IPAMincho", "ipam.ttf"}};

const std::map<std::string, std::string>& PreferredFamilies() {
  static const std::map<std::string, std::string> families = {
      {"ＭＳ Ｐゴシック", "IPAPGothic"}, {"MS PGothic", "IPAPGothic"}, {"ＭＳ ゴシック", "IPAGothic"},
      {"MS Gothic", "IPAGothic"},        {"ＭＳ Ｐ明朝", "IPAPMincho"},  {"ＭＳ 明朝", "IPAMincho"}};
  return families;
}

// The shipped face of `family`, or "" when the page does not carry it.
std::string ShippedFile(const std::string& family) {
  for (const Shipped& s : kShipped) {
    if (family != s.family) continue;
    const std::string path = std::string(web::kWebFontDir) + "/" + s.file;
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) return path;
  }
  return {};
}
}  // namespace

ResolvedFace ResolveLocked(std::string_view faceCp932, bool bold, bool italic) {
  auto key = std::make_tuple(std::string(faceCp932), bold, italic);
  if (auto it = g_resolved.find(key); it != g_resolved.end()) return it->second;
  const std::string face = Cp932ToUtf8(faceCp932);
  ResolvedFace resolved;
  if (auto rule = PreferredFamilies().find(face); rule != PreferredFamilies().end()) resolved.preferred = rule->second;
  // The family itself when shipped, then the rule's, then the default, then any.
  for (const std::string& family : {face, resolved.preferred, std::string("IPAPGothic")}) {
    if (family.empty()) continue;
    if (std::string file = ShippedFile(family); !file.empty()) {
      resolved.file = file;
      resolved.family = family;
      break;
    }
  }
  for (const Shipped& s : kShipped) {
    if (!resolved.file.empty()) break;
    if (std::string file = ShippedFile(s.family); !file.empty()) {
      resolved.file = file;
      resolved.family = s.family;
    }
  }
  g_resolved.emplace(std::move(key), resolved);
  return resolved;
}

// A translation's text in the game's face alone: the browser build has no
// fontconfig to find each language's faces and fallbacks (the IPA faces
// carry Latin, Greek and Cyrillic letters; other scripts draw empty boxes).
std::unique_ptr<Font> OpenMixedFontLocked(const std::string& gameFacePath, int pixelHeight, bool bold, bool italic,
                                          const std::string&) {
  std::shared_ptr<Face> game = OpenFaceLocked(gameFacePath, pixelHeight, bold, italic);
  return game ? MakeFaceFont(std::move(game)) : nullptr;
}

}  // namespace platform::fonts
