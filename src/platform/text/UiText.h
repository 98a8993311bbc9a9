#pragma once
// The texts of our own screens (settings, history, the labels over the
// game, failure lines of ours), through the engine's gettext catalogue:
// po/LANG.po in the project, compiled at build into
// LOCALEDIR/LANG/LC_MESSAGES/vantorel.mo. The msgids are the Japanese texts
// the screens show with the original, so that a game played in its own
// language shows them exactly as it always did, whatever catalogues are
// installed. The language follows the game's (a translation's), not the
// process's locale, so it is chosen here rather than by the C library.
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The catalogue's text for a msgid (UTF-8), or the msgid itself when the
// language has none. Valid for the life of the process.
const char* Tr(const char* msgid);
// The same with a context, for msgids that read alike but differ.
const char* Tr(const char* context, const char* msgid);
// Marks a msgid for xgettext where it is looked up later.
#define TR_NOOP(msgid) msgid

// "ja" (the msgids themselves), "en", ...: the catalogue of `wanted` (or of
// its language alone, "pt" for "pt_BR"), else English, the language most
// players of a translation read.
void SetUiLanguage(std::string_view wanted);
std::string UiLanguage();
// Counts changes of language, so that text drawn earlier is drawn anew.
uint64_t UiGeneration();
// Where catalogues are looked for: VANTOREL_LOCALE_DIR, else beside the
// program (build tree: build/locale; installed: PREFIX/share/locale).
std::string UiCatalogueDirectory();
// Whether LOCALEDIR has a catalogue for the language.
bool HasUiCatalogue(std::string_view language);

}  // namespace platform
