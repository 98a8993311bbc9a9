// The interpreter's state: opening scripts, moving over their words, the
// variables and the texture aliases.
#include "msgbox/Interpreter.h"

#include <utility>

#include "script/CTextFile.h"
#include "script/MenuBlock.h"
#include "script/StepBoundaries.h"

namespace msgbox {

std::string Interpreter::currentScriptName;

void Interpreter::Attach(CTextFile* file, std::string directory) {
  textFile = file;
  textDir = std::move(directory);
}

HRESULT Interpreter::Open(const std::string& name) {
  words.clear();
  generation_ = NewGeneration();
  messageWord = 0;
  scriptPath = textDir + name;
  // An empty name would name the text directory itself: treat it as missing.
  HRESULT hr = (name.empty() || !textFile) ? E_FAIL : textFile->Read(scriptPath, words);
  if (FAILED(hr)) {
    words.clear();
    position = 0;
    running = false;
    return E_FAIL;
  }
  position = 0;
  running = true;
  return S_OK;
}

void Interpreter::ReplaceWords(std::vector<std::string> list) {
  words = std::move(list);
  generation_ = NewGeneration();
  position = 0;
  messageWord = 0;
  running = true;
}

HRESULT Interpreter::Reread(size_t& landing) {
  std::vector<std::string> fresh;
  // An editor that truncates before writing leaves an empty file for a
  // moment; no script of no words is worth replacing the old one with.
  if (!textFile || scriptPath.size() <= textDir.size() || FAILED(textFile->Read(scriptPath, fresh)) ||
      fresh.empty())
    return E_FAIL;
  landing = script::LandingWord(fresh, messageWord);
  words = std::move(fresh);
  generation_ = NewGeneration();
  position = landing;
  messageWord = landing;
  running = true;
  return S_OK;
}

HRESULT Interpreter::NextWord() {
  if (position < words.size()) ++position;
  if (position >= words.size()) {
    EndOfWords();
    return E_FAIL;
  }
  return S_OK;
}

void Interpreter::EndOfWords() {
  position = words.size();
  running = false;
}

bool Interpreter::ReadMenuBlock(script::MenuBlock& block) { return script::ReadMenuBlock(words, position, block); }

bool Interpreter::ReplaceVariable(std::string& word) const {
  auto it = variables.find(word);
  if (it == variables.end()) return false;
  word = it->second;
  return true;
}

bool Interpreter::AssignVariable(const std::string& value, const std::string& name) {
  auto it = variables.find(name);
  if (it == variables.end()) return false;
  std::string copy = value;
  ReplaceVariable(copy);
  it->second = copy;
  return true;
}

const std::string* Interpreter::AliasedTexture(const std::string& alias) const {
  auto it = textureAliases.find(alias);
  return it == textureAliases.end() ? nullptr : &it->second;
}

}  // namespace msgbox
