#pragma once
// What the language server knows of one plain script: where each word
// stands in the editor's terms, the commands as the interpreter reads them,
// and what the script defines (texture and sound aliases, variables).
#include <cstddef>
#include <string>
#include <vector>

#include "Diagnostics.h"
#include "ScriptWalk.h"

namespace scripttool::lsp {

// A place as the protocol counts it: 0-based line, and UTF-16 units from the
// line's start (every CP932 character is one unit).
struct Place {
  size_t line = 0, character = 0;
};
struct WordPlace {
  Place start;
  size_t length = 0;  // characters
};

enum class NameKind { TextureAlias, SoundAlias, Variable };

struct Definition {
  NameKind kind;
  std::string name;  // CP932
  size_t word;       // the name's word
};

struct ScriptIndex {
  std::string name;  // engine name (CP932)
  std::string path;  // host path of the plain source; empty: a built script only
  WordList words;
  std::vector<WordPlace> places;  // one per word (empty without a source)
  WalkedScript walked;
  std::vector<Definition> definitions;
};

// Indexes a script input (from a source, its places too).
ScriptIndex IndexScript(const ScriptInput& input);

// The word at or just before `at` (a cursor at a word's end touches it);
// npos when none.
size_t WordAt(const ScriptIndex& index, Place at);
// The last word that starts before `at` on or before its line; npos when none.
size_t WordBefore(const ScriptIndex& index, Place at);

// The command whose keyword or argument words include `word`, or null.
const ScriptCommand* CommandOf(const ScriptIndex& index, size_t word);

}  // namespace scripttool::lsp
