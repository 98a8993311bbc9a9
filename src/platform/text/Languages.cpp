#include "platform/text/Languages.h"

#include <algorithm>
#include <cstdlib>

namespace platform {

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
