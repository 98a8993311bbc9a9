#pragma once
// The script language's keywords, in the order Step tests them. Within one
// pass a keyword is only tested after every keyword above it, so a run of
// commands in file order may take more than one pass. The interpreter and
// the script checker both read this table, so they cannot drift apart.
#include <cstdint>
#include <string>
#include <vector>

namespace script {

// One row per keyword, in table order.
enum class Command : uint8_t {
  Battle,
  Map,
  NextScriptFile,
  KeyConfig,
  GameEnd,
  FadeIn,
  FadeOut,
  MidiLoad,
  SeLoad,
  MidiPlay,
  SePlay,
  TexLoad,
  TexUnload,
  SaveMenu,
  LoadMenu,
  Save,
  Load,
  FontMenu,
  ButtonMenu,
  Texture,
  Assign,
  Goto,
  String,
  BG,
  Right,
  Center,
  WideCenter,
  Left,
  Clear,
};
constexpr size_t kCommandCount = size_t(Command::Clear) + 1;

struct Keyword {
  Command command;
  std::string word;           // CP932; empty for the assignment
  std::string otherSpelling;  // empty: none
  bool dollarPrefix;          // the assignment: any word whose first byte is "$"
  // Argument words that must follow before the command may read them. Menu
  // blocks and the optional "= value" of "string" are read by their commands.
  int arguments;
  int tests;  // how often one pass tests it in a row

  bool Matches(const std::string& w) const {
    if (dollarPrefix) return !w.empty() && w[0] == '$';
    return w == word || (!otherSpelling.empty() && w == otherSpelling);
  }
};

// Row i holds Command(i).
const std::vector<Keyword>& Keywords();

}  // namespace script
