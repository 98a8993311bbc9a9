#pragma once
// The reference text of every keyword of the script language, one entry per
// row of the keyword table (script/Keywords.h). `vantorel-script help`
// prints it, docs/script-language.md holds it (a test keeps the two the
// same), and an editor's hover shows an entry.
#include <string>
#include <vector>

#include "script/Keywords.h"

namespace scripttool {

struct KeywordEntry {
  script::Command command;
  // The argument words the table says the command takes, by name; their
  // number is the table's.
  std::vector<std::string> arguments;
  std::string more;     // what the command reads after them itself ("[= VALUE]"), or empty
  std::string summary;  // one line
  std::string does;     // what it does
  std::string fails;    // what can go wrong, and what the player sees then
  std::string example;  // script lines (UTF-8)
};

// In the table's order; entry i documents row i.
const std::vector<KeywordEntry>& KeywordEntries();

// "SEPlay ALIAS", "string NAME [= VALUE]", "$NAME = VALUE" (UTF-8).
std::string KeywordSynopsis(const KeywordEntry& entry);

// One keyword's section in Markdown, as `help KEYWORD` prints it.
std::string KeywordMarkdown(const KeywordEntry& entry);
// Every keyword: an index, then each section, in the table's order.
std::string KeywordReferenceMarkdown();

// The entry for a word as a script writes it (either spelling; "$" or any
// "$name" for the assignment), or null.
const KeywordEntry* FindKeywordEntry(const std::string& utf8Word);

}  // namespace scripttool
