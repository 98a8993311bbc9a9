#pragma once
// The language the game is shown in: the original or one of the
// translations in GameData/Translations. Putting one in force shows the
// message and menu on screen in it at once, the pictures that have a
// version of their own for it (GameData/Texture/LANG/...), the fonts that
// draw its characters, and our own screens in its words where the
// engine's catalogue has them (English where it has not). A translation
// that cannot be read is reported once and the original stays.
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "msgbox/TranslationFiles.h"

class CMsgBox;

namespace comfort {

struct LanguageChoice {
  std::string code;  // empty: the original
  std::string name;  // in its own language ("Français"; the original's "日本語")
};

class LanguageRoom {
 public:
  // `cacheDir`: where translations from PO files are kept compiled (empty: nowhere).
  LanguageRoom(CMsgBox& box, std::string cacheDir);
  ~LanguageRoom();

  // The original first, then each translation found, by code.
  const std::vector<LanguageChoice>& Choices() const { return choices_; }
  bool Has(const std::string& code) const;
  // The first language of `wanted` (most wanted first) that a translation
  // is there for; empty when none. The original's own language (Japanese)
  // asks for no translation.
  std::string Match(const std::vector<std::string>& wanted) const;

  // Puts a language in force (empty: the original); nothing happens when
  // it already is.
  void Follow(const std::string& code);
  const std::string& Current() const { return current_; }
  // The translation in force; null for the original.
  std::shared_ptr<const msgbox::Translation> InForce() const {
    auto it = loaded_.find(current_);
    return it == loaded_.end() ? nullptr : it->second;
  }
  // The language last asked for (by Follow): Current() unless it failed.
  const std::string& Wanted() const { return wanted_; }
  // Whether the language's translation could not be read (said once).
  bool Failed(const std::string& code) const { return failed_.count(code) != 0; }

  // ,"language":"fr" while a translation is in force, ,"languagesFailed":[…]
  // once one could not be read (nothing otherwise).
  void Trace(std::string& members) const;

 private:
  std::shared_ptr<const msgbox::Translation> Load(const std::string& code);
  CMsgBox& box_;
  std::string cacheDir_;
  std::vector<msgbox::TranslationFile> files_;
  std::vector<LanguageChoice> choices_;
  std::map<std::string, std::shared_ptr<const msgbox::Translation>> loaded_;
  std::set<std::string> failed_;  // reported once, not tried again
  std::string current_;
  std::string wanted_;
};

// The language the original is written in.
inline constexpr char kOriginalLanguage[] = "ja";

}  // namespace comfort
