#pragma once
// Reading one script's word list the way the interpreter steps through it:
// keyword passes in the engine's table order, argument words taken as they
// come, menu blocks read like the menu readers read them, text and speaker
// words. The result is the list of commands met, in file order, and the
// problems that show already in this one file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "script/WordList.h"

namespace scripttool {

enum class Severity { Warning, Error };

// A problem at a word of a script. `word` indexes the engine's word list.
struct Finding {
  Severity severity;
  std::string script;  // engine name below the text directory (CP932)
  size_t word;
  std::string message;  // UTF-8, the script's words quoted in it
  std::string suggestion = {};  // UTF-8: what was meant ("SEPlay"); empty: none
};

struct MenuItemEntry {
  std::string label, target;
  int32_t id = 0;
  bool numericId = false;
  size_t at = 0;  // the label word
};

// One command as the interpreter runs it.
struct ScriptCommand {
  std::string keyword;  // the table spelling ("BG" for "bg"); "$" for an assignment
  size_t at = 0;        // the keyword word
  std::vector<std::string> args;
  // Menu blocks.
  std::string frame;
  int32_t columns = 0, rows = 0;
  bool hasFormat = false;
  std::vector<MenuItemEntry> items;
  // An argument word is a keyword (or "."): most likely the argument is
  // missing. Reported at the command; what the argument would name is not
  // checked again.
  bool argumentIsKeyword = false;
};

// A message as the window shows it: the speaker's label and the text.
struct ShownMessage {
  size_t at = 0;     // the text word
  std::string text;  // CP932
  // The speaker word in force (this message's or an earlier one's) and the
  // label it gives; npos: none yet.
  size_t speakerAt = static_cast<size_t>(-1);
  std::string label;  // CP932
};

struct WalkedScript {
  std::string name;  // engine name below the text directory (CP932)
  WordList words;
  std::vector<ScriptCommand> commands;
  std::vector<ShownMessage> messages;
  // The script can run off its last word, which makes the frame loop start
  // whatever script was named last (rather than stopping, jumping or
  // waiting in a menu first).
  bool canEnd = false;
};

// Walks `script.words` and fills `script.commands`; adds the findings of
// the walk itself (words running off the end, menu blocks, stray braces,
// words that are never reached, over-long messages, mistyped keywords, a
// full-width space inside a command, a command whose argument is missing).
void WalkScript(WalkedScript& script, std::vector<Finding>& findings);

// A CP932 word for messages: in UTF-8 and double quotes.
std::string Quote(const std::string& cp932);

}  // namespace scripttool
