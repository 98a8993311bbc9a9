// Translation files: any bytes given to the quick PO reader must be read
// without crashing, hanging or reading out of bounds, and whatever it
// accepts libgettextpo must read to the very same catalogue, with or
// without comments (the reader has no say over a file the library would
// refuse or read otherwise).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/text/MessageCatalog.h"

namespace {
bool Same(const platform::CatalogEntry& a, const platform::CatalogEntry& b) {
  return a.context == b.context && a.msgid == b.msgid && a.msgstr == b.msgstr && a.fuzzy == b.fuzzy &&
         a.obsolete == b.obsolete && a.cFormat == b.cFormat && a.extracted == b.extracted &&
         a.translator == b.translator && a.references == b.references && a.previous == b.previous &&
         a.previousContext == b.previousContext && a.previousMsgid == b.previousMsgid;
}

// What a game reads (no comments): the texts and their flags.
bool SameTexts(const platform::CatalogEntry& a, const platform::CatalogEntry& b) {
  return a.context == b.context && a.msgid == b.msgid && a.msgstr == b.msgstr && a.fuzzy == b.fuzzy &&
         a.obsolete == b.obsolete && a.cFormat == b.cFormat;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  platform::Catalog quick, texts;
  const bool read = platform::ReadPoQuickly(bytes, quick);
  const bool textsRead = platform::ReadPoQuickly(bytes, texts, false);
  // Nothing half read is handed on; what is read with comments is read without.
  if (!read && (!quick.entries.empty() || !quick.header.empty())) std::abort();
  if (!textsRead && (!texts.entries.empty() || !texts.header.empty())) std::abort();
  if (read && !textsRead) std::abort();
  if (!textsRead) return 0;
  platform::Catalog library;
  std::string error;
  if (!platform::ParsePoWithGettext(bytes, "fuzz.po", library, error)) std::abort();
  if (texts.header != library.header || texts.entries.size() != library.entries.size()) std::abort();
  for (size_t i = 0; i < texts.entries.size(); ++i) {
    if (!SameTexts(texts.entries[i], library.entries[i])) std::abort();
    if (!texts.entries[i].extracted.empty() || !texts.entries[i].references.empty() || texts.entries[i].previous)
      std::abort();
    if (read && !Same(quick.entries[i], library.entries[i])) std::abort();
  }
  return 0;
}
