#pragma once
// The texts a translation of a game covers, as the entries of a gettext PO
// file: every message, speaker label and text-menu item of the scripts, by
// its place (the script and the word's index, the context) and its
// original, and the save/load screen's texts. Bringing a translation up to
// date with edited scripts follows msgmerge: an entry whose original changed
// keeps its translation as fuzzy, one that moved keeps it, one that went
// becomes obsolete.
#include <cstddef>
#include <string>
#include <vector>

#include "Diagnostics.h"
#include "platform/text/MessageCatalog.h"

namespace scripttool {

// A fresh catalogue for `language` (empty: a template) of every text of the
// inputs, in script order, untranslated. Sources give "#:" their file and
// line; "#." names the speaker.
platform::Catalog ExtractTexts(const std::vector<ScriptInput>& inputs, const std::string& language);

// The header of a catalogue the tool writes.
std::string CatalogHeader(const std::string& language);

struct TextCounts {
  size_t translated = 0, fuzzy = 0, untranslated = 0, obsolete = 0;
};
TextCounts CountTexts(const platform::Catalog& catalog);

// `fresh` (ExtractTexts) with the translations of `old` carried over: an
// entry of the same place and original keeps its translation and flags; one
// whose original is unchanged but stands elsewhere in the same script keeps
// it too; one at the same place with another original gets the old
// translation as fuzzy, the old original kept as "#| msgid". Translated old
// entries used by none become obsolete. The old header is kept.
platform::Catalog MergeTexts(const platform::Catalog& old, const platform::Catalog& fresh);

// The script an entry's context names ("本編/学校.Dat" of "本編/学校.Dat:12")
// and its word; false for a context of no script place.
bool SplitContext(const std::string& context, std::string& script, size_t& word);

}  // namespace scripttool
