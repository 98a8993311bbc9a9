#pragma once
// The translations a game ships: GameData/Translations/LANG.po (the
// translator's file, read by libgettextpo) or LANG.mo (compiled by msgfmt,
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
std::shared_ptr<const Translation> LoadTranslation(const TranslationFile& file, std::string& error);

// The largest translation file read (far beyond any game's texts).
inline constexpr size_t kMaxTranslationBytes = 64u << 20;

}  // namespace msgbox
