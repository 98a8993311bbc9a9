#pragma once
// Language codes as gettext and the C library name them ("fr", "pt_BR"):
// a language's name in that language, and the languages the player's
// locale asks for.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// "Français" for "fr", "Русский" for "ru", "日本語" for "ja" (ICU's names,
// the first letter capitalised); the code itself when ICU has no name.
std::string LanguageName(std::string_view code);

// Whether a code can name a translation: letters first, then letters,
// digits, "_", "-" or "@", at most 32 bytes (no path can hide in it).
bool IsLanguageCode(std::string_view code);

// The languages the locale asks for, most wanted first, each followed by
// its language alone ("fr_CA" then "fr"): LANGUAGE's list (which gettext
// honours only where the locale is not C), else LC_ALL, LC_MESSAGES or
// LANG. Empty for the C and POSIX locales. `getenv` reads a variable.
std::vector<std::string> LocaleLanguages(const std::function<const char*(const char*)>& getenv);
std::vector<std::string> PlayerLanguages();  // from this process's environment

}  // namespace platform
