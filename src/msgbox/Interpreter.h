#pragma once
// The interpreter's state: the open script, where it stands, the variables
// and the picture aliases, and the bounds on what one player action may set
// off. CMsgBox owns one; others see it read-only.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class CTextFile;

namespace msgbox {

struct Interpreter {
  // The script the frame loop starts whenever a step fails; one per process.
  static std::string currentScriptName;

  // A word naming a string variable becomes its value; false when it names none.
  bool ReplaceVariable(std::string& word) const;
  const std::map<std::string, std::string>& Variables() const { return variables; }
  const std::map<std::string, int32_t>& IntVars() const { return intVars; }
  void SetVariable(const std::string& name, const std::string& value) { variables[name] = value; }
  void SetIntVariable(const std::string& name, int32_t value) { intVars[name] = value; }
  CTextFile* TextFile() const { return textFile; }

  CTextFile* textFile = nullptr;
  std::string textDir;
  std::string scriptPath;
  std::vector<std::string> words;
  size_t position = 0;
  bool running = false;
  std::map<std::string, std::string> textureAliases;
  std::map<std::string, std::string> variables;
  std::map<std::string, int32_t> intVars;  // only loading a save fills them
};

// What the current player action has set off (MsgBoxActions.cpp).
struct ActionBounds {
  int depth = 0;
  int starts = 0;                    // since the action began or a fade paused it
  std::vector<std::string> scripts;  // paths of the scripts the action ran
  uint64_t reportsBefore = 0;        // shown reports when it began
};

}  // namespace msgbox
