#include "platform/text/Languages.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstdlib>

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

bool IsLanguageCode(std::string_view code) {
  if (code.empty() || code.size() > 32) return false;
  auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  if (!letter(code[0])) return false;
  return std::all_of(code.begin(), code.end(), [&](char c) {
    return letter(c) || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '@';
  });
}

std::vector<std::string> LocaleLanguages(const std::function<const char*(const char*)>& getenv) {
  auto value = [&](const char* name) {
    const char* v = getenv(name);
    return std::string(v ? v : "");
  };
  std::string locale = value("LC_ALL");
  if (locale.empty()) locale = value("LC_MESSAGES");
  if (locale.empty()) locale = value("LANG");
  auto bare = [](std::string l) {
    // "fr_FR.UTF-8@euro" -> "fr_FR"
    l = l.substr(0, l.find_first_of(".@"));
    return l;
  };
  if (locale.empty() || bare(locale) == "C" || bare(locale) == "POSIX") return {};
  std::vector<std::string> wanted;
  const std::string list = value("LANGUAGE");
  for (size_t at = 0; at <= list.size();) {
    size_t end = list.find(':', at);
    if (end == std::string::npos) end = list.size();
    if (end > at) wanted.push_back(bare(list.substr(at, end - at)));
    at = end + 1;
  }
  wanted.push_back(bare(locale));
  std::vector<std::string> out;
  auto add = [&](const std::string& l) {
    if (IsLanguageCode(l) && std::find(out.begin(), out.end(), l) == out.end()) out.push_back(l);
  };
  for (const std::string& l : wanted) {
    add(l);
    add(l.substr(0, l.find('_')));
  }
  return out;
}

std::vector<std::string> PlayerLanguages() {
  return LocaleLanguages([](const char* name) { return std::getenv(name); });
}

}  // namespace platform
