#pragma once
// Message catalogues in gettext's two forms: the translator's PO file (read
// and written by gettext's own libgettextpo) and the compiled MO file that
// msgfmt makes (read here). Strings are UTF-8.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

struct CatalogEntry {
  std::string context;  // msgctxt; empty when none
  std::string msgid;
  std::string msgstr;  // empty: not translated
  bool fuzzy = false;
  bool obsolete = false;
  bool cFormat = false;          // "#, c-format": msgfmt --check compares the directives
  std::string extracted;         // "#." lines, for the translator
  std::string translator;        // "# " lines, the translator's own
  std::vector<std::pair<std::string, size_t>> references;  // "#:" file and line
  std::string previousContext;   // "#|" of a fuzzy entry: what it was translated from
  std::string previousMsgid;
  bool previous = false;         // previousContext/previousMsgid were given
};

struct Catalog {
  std::string header;  // the header entry's msgstr ("Language: fr\n...")
  std::vector<CatalogEntry> entries;  // in file order, header left out
};

// A header field's value ("Language"), or empty.
std::string HeaderField(std::string_view header, std::string_view field);

// A compiled catalogue. Bounds are checked against the bytes; a file that
// is cut short or points outside itself is refused with a reason. Plural
// entries keep their first forms.
bool ParseMo(std::string_view bytes, Catalog& out, std::string& error);
// The same reading without a catalogue: each entry's key (as CatalogKey
// makes it; the header's is empty) and translation, in the file's order,
// views into `bytes`.
bool VisitMo(std::string_view bytes, const std::function<void(std::string_view key, std::string_view msgstr)>& visit,
             std::string& error);

// The MO file msgfmt would compile from a catalogue: the header and every
// translated entry that is neither fuzzy nor obsolete (plural forms are
// not kept), sorted as gettext looks them up; no hash table.
std::string FormatMo(const Catalog& catalog);

// A PO file's bytes read as libgettextpo reads them (fuzzy and obsolete
// entries kept, with their flags): by ReadPoQuickly where it can, else by
// the library. Errors name the line; `name` is how they call the file.
bool ParsePo(std::string_view bytes, const std::string& name, Catalog& out, std::string& error);
// The same by libgettextpo alone.
bool ParsePoWithGettext(std::string_view bytes, const std::string& name, Catalog& out, std::string& error);
// A quick reading of the PO files gettext's tools and ours write, with the
// library's result; false (and `out` empty) wherever it is not sure to read
// as the library does, errors included: the library must then read them.
// Without `comments` the entries' comments, references and previous
// strings are left empty (quicker, for a game that only shows the texts).
bool ReadPoQuickly(std::string_view bytes, Catalog& out, bool comments = true);
// The PO text of a catalogue, written by libgettextpo.
bool FormatPo(const Catalog& catalog, std::string& bytes, std::string& error);

// The key a catalogue looks an entry up by, as msgfmt stores it: the
// context, byte 4, the msgid (the msgid alone without a context).
inline std::string CatalogKey(std::string_view context, std::string_view msgid) {
  std::string key;
  key.reserve(context.size() + msgid.size() + 1);
  if (!context.empty()) {
    key.append(context);
    key += '\x04';
  }
  key.append(msgid);
  return key;
}

}  // namespace platform
