#pragma once
// The interpreter's state and the operations on it: the open script as a
// word list with the position it stands at, the string and number
// variables, and the texture aliases the picture commands name. The step
// loop that runs keywords over the words is CMsgBox's (MsgBoxStep.cpp).
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/diagnostics/Result.h"

class CTextFile;

namespace script {
struct MenuBlock;
}

namespace msgbox {

struct Snapshot;

class Interpreter {
 public:
  // The script the frame loop starts whenever a step fails; one per process.
  static std::string currentScriptName;

  // Where scripts are read from (set-up), and the reader alone (a test seam).
  void Attach(CTextFile* file, std::string directory);
  void UseTextFile(CTextFile* file) { textFile = file; }
  // Reads the script name under the text directory and stands at its first
  // word, running. A missing file (or an empty name) leaves no words, not
  // running, and returns E_FAIL; the caller reports it.
  HRESULT Open(const std::string& name);
  // These words from the first, running, as if a script holding them had
  // just opened (a test seam).
  void ReplaceWords(std::vector<std::string> list);
  // Reads the open script's file again after an edit: the new words replace
  // the old, and the position goes to the boundary at or before the word of
  // the message on screen (script/StepBoundaries.h), running; that word is
  // in `landing`. A file that is missing or holds no words gives E_FAIL and
  // leaves everything as it was.
  HRESULT Reread(size_t& landing);
  // The step has reached a text word (or a speaker word) at the position:
  // the message on screen comes from there. Returns that word.
  const std::string& StartMessage() {
    messageWord = position;
    return words[position];
  }
  size_t MessageWord() const { return messageWord; }

  // --- moving over the words ---
  bool AtEnd() const { return position >= words.size(); }
  // Whether n more words follow the current one.
  bool Follows(size_t n) const { return position + n < words.size(); }
  const std::string& Current() const { return words[position]; }
  const std::string& Ahead(size_t n) const { return words[position + n]; }
  // The word after the current one, which becomes current; the caller has
  // checked that it exists.
  const std::string& NextArgument() { return words[++position]; }
  void Skip(size_t n) { position += n; }
  // One word on; at the end the script stops and E_FAIL is returned.
  HRESULT NextWord();
  // The words ran out: the position goes to the end and the script stops.
  void EndOfWords();
  void Stop() { running = false; }
  void SetRunning(bool on) { running = on; }  // a test seam
  // Reads a menu block from the "{" at the current word (script/MenuBlock.h).
  bool ReadMenuBlock(script::MenuBlock& block);

  // --- variables ---
  // A word naming a string variable becomes its value; false when it names none.
  bool ReplaceVariable(std::string& word) const;
  // Sets a defined string variable, the value through its own variable.
  bool AssignVariable(const std::string& value, const std::string& name);
  void SetVariable(const std::string& name, const std::string& value) { variables[name] = value; }
  void SetIntVariable(const std::string& name, int32_t value) { intVars[name] = value; }
  void ClearVariables() { variables.clear(); }
  void ClearIntVariables() { intVars.clear(); }

  // --- texture aliases ---
  // The first definition of an alias stands.
  void DefineAlias(const std::string& alias, const std::string& file) { textureAliases.emplace(alias, file); }
  void SetTextureAlias(const std::string& alias, const std::string& file) { textureAliases[alias] = file; }
  // Null when the alias is not defined.
  const std::string* AliasedTexture(const std::string& alias) const;
  void ForgetAliases() { textureAliases.clear(); }

  CTextFile* TextFile() const { return textFile; }
  const std::string& TextDir() const { return textDir; }
  const std::string& ScriptPath() const { return scriptPath; }
  const std::vector<std::string>& Words() const { return words; }
  size_t Position() const { return position; }
  bool Running() const { return running; }
  const std::map<std::string, std::string>& TextureAliases() const { return textureAliases; }
  const std::map<std::string, std::string>& Variables() const { return variables; }
  const std::map<std::string, int32_t>& IntVars() const { return intVars; }

  // --- snapshots (SnapshotRoles.cpp); `previous` lends what did not change ---
  void Capture(Snapshot& s, const Snapshot* previous) const;
  void Restore(const Snapshot& s);
  // Changes whenever the words do (another script, an edit).
  uint64_t Generation() const { return generation_; }

 private:
  // Names the word list: a new one on every change of the words, so that
  // snapshots share an unchanged list without comparing it.
  static uint64_t NewGeneration();
  uint64_t generation_ = NewGeneration();
  CTextFile* textFile = nullptr;
  std::string textDir;
  std::string scriptPath;
  std::vector<std::string> words;
  size_t position = 0;
  size_t messageWord = 0;  // where the message on screen began; 0 before any
  bool running = false;
  std::map<std::string, std::string> textureAliases;
  std::map<std::string, std::string> variables;
  std::map<std::string, int32_t> intVars;  // only loading a save fills them
};

}  // namespace msgbox
