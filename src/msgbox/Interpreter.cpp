// The interpreter's state: the open script, where it stands, its variables
// and picture aliases.
#include "msgbox/Interpreter.h"

namespace msgbox {

std::string Interpreter::currentScriptName;

bool Interpreter::ReplaceVariable(std::string& word) const {
  auto it = variables.find(word);
  if (it == variables.end()) return false;
  word = it->second;
  return true;
}

}  // namespace msgbox
