// PO files in the browser: libgettextpo is not built for it, so the page
// carries each translation compiled (scripts/web.sh runs msgfmt over the
// game's PO files), and a PO file met here says so.
#include "platform/text/MessageCatalog.h"

namespace platform {

bool ParsePo(std::string_view, const std::string& name, Catalog&, std::string& error) {
  error = name + ": PO files are not read in the browser; the page carries the translation compiled (.mo)";
  return false;
}

// The game's translation loader tries the quick reader first and hands
// what it leaves to libgettextpo, which the browser does not have.
bool ParsePoWithGettext(std::string_view, const std::string& name, Catalog&, std::string& error) {
  error = name + ": PO files are not read in the browser; the page carries the translation compiled (.mo)";
  return false;
}

bool FormatPo(const Catalog&, std::string&, std::string& error) {
  error = "PO files are not written in the browser";
  return false;
}

}  // namespace platform
