// A language's name in that language, from ICU (the browser build asks the
// browser instead: web/LanguageNameWeb.cpp).
#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include "platform/text/Languages.h"

namespace platform {

std::string LanguageName(std::string_view code) {
  const std::string c(code);
  icu::Locale locale(c.c_str());
  icu::UnicodeString name;
  locale.getDisplayName(locale, name);
  std::string out;
  name.toUTF8String(out);
  // ICU says "fr" back when it knows no name for it.
  if (out.empty() || out == c) return c;
  const UChar32 first = name.char32At(0);
  const UChar32 title = u_totitle(first);
  if (title != first) {
    name.replace(0, U16_LENGTH(first), title);
    out.clear();
    name.toUTF8String(out);
  }
  return out;
}

}  // namespace platform
