#pragma once
// The translations a game ships: GameData/Translations/LANG.po (the
// translator's file) or LANG.mo (compiled by msgfmt,
// quicker to read). Where both are there, the newer one is read.
#include <memory>
#include <string>
#include <vector>

#include "msgbox/Translation.h"

namespace msgbox {

struct TranslationFile {
  std::string language;  // the file's name without its extension: "fr", "pt_BR"
  std::string hostPath;
  bool compiled = false;  // an MO file
};

// Every translation below the game directory (the working directory),
// by language; files whose names are no language codes are passed over.
std::vector<TranslationFile> FindTranslations();
// Null, with the reason, when the file cannot be read or is not a catalogue.
// A PO file is read by the quick reader where it can, else by libgettextpo
// (slow: it checks everything). With a `cacheDir` (a host folder; empty:
// none), its compiled form is kept there as LANG.mo and read instead (quicker
// still) while the PO file's path, size and time of change are those it was
// compiled from. The cache is written crash-safe;
// one that cannot be read or written only costs the time.
std::shared_ptr<const Translation> LoadTranslation(const TranslationFile& file, std::string& error,
                                                   const std::string& cacheDir = {});
// The header field naming the PO file a cached MO file was compiled from.
inline constexpr char kCacheSourceField[] = "X-Vantorel-Source";

// The largest translation file read (far beyond any game's texts).
inline constexpr size_t kMaxTranslationBytes = 64u << 20;

}  // namespace msgbox
