// Which font file a game's face name (a Windows face, CP932) stands for:
// fontconfig, with our alias rules for the Windows Japanese faces.
#include <fontconfig/fontconfig.h>

#include <map>
#include <tuple>

#include "platform/text/FontConfig.h"
#include "platform/text/FontFaces.h"
#include "platform/text/TextCodec.h"

namespace platform::fonts {
namespace {
std::map<std::tuple<std::string, bool, bool>, ResolvedFace> g_resolved;  // guarded by CacheMutex
}  // namespace

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

}  // namespace platform::fonts
