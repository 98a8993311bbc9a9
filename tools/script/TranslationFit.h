#pragma once
// Whether a translation's texts fit where the game shows them: each
// message (its speaker's label before it, as the window shows it) laid out
// in the message window's text area by the rules the engine uses for
// translations, each text-menu item in its menu cell, each save/load
// screen text in the window, measured with the fonts that would draw them.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "Diagnostics.h"
#include "msgbox/Translation.h"

namespace scripttool {

struct Overflow {
  std::string script;  // engine name (CP932); empty for the save/load screen
  size_t word = 0;
  std::string context;  // the entry's context
  std::string shown;    // the text as the game would show it (UTF-8)
  std::string what;     // "message", "text menu item", "save/load screen text"
  std::string why;      // "5 rows where the window holds 4", "312 px where the cell holds 280"
  // A message's measure: characters as a reader counts them (graphemes),
  // the rows it takes and the rows the window holds.
  size_t characters = 0, rows = 0, windowRows = 0;
};

// Every text of the inputs that the translation shows and that does not fit.
std::vector<Overflow> FindOverflows(const std::vector<ScriptInput>& inputs, const msgbox::Translation& translation);

// The game's translation into `language` as the engine reads it
// (GameData/Translations/LANG.po or .mo below the working directory, the
// game directory); null, with the reason, where there is none to read.
std::shared_ptr<const msgbox::Translation> LoadGameTranslation(const std::string& language, std::string& error);

// The overflows of a translation as findings at their words, for check.
std::vector<Finding> OverflowFindings(const std::vector<Overflow>& overflows, const std::string& language);

}  // namespace scripttool
