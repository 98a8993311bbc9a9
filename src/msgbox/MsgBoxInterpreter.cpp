// The interpreter machinery: opening scripts, stepping through the word list,
// text and speaker words, variables, goto and the commands that stop a script.
#include <string>

#include "app/framework/TextFont.h"
#include "gfx/CPolygon.h"
#include "msgbox/CMsgBox.h"
#include "platform/Report.h"
#include "platform/TextCodec.h"
#include "script/CTextFile.h"

HRESULT CMsgBox::StartScript(std::string name) {
  ActionScope action(*this, ActionKind::New);
  // Past the action's bound the script only opens: it runs on when the
  // player next steps it.
  if (!MayStartScript(name)) return OpenScript(name);
  HRESULT hr = OpenScript(name);
  if (FAILED(hr)) return hr;
  hr = Step();
  // Battle and Map stop the script but are no failure of starting it.
  return hr < 0 ? hr : S_OK;
}

HRESULT CMsgBox::OpenScript(std::string name) {
  script_.words.clear();
  // The standing pictures blank out until a script sets them again.
  window_.BlankForScript();
  script_.scriptPath = script_.textDir + name;
  // An empty name would name the text directory itself: treat it as missing.
  HRESULT hr = (name.empty() || !script_.textFile) ? E_FAIL : script_.textFile->Read(script_.scriptPath, script_.words);
  if (FAILED(hr)) {
    script_.words.clear();
    script_.position = 0;
    script_.running = false;
    DXTRACE("CMsgBox", E_FAIL, SJ("指定された名前のスクリプトファイルが見つかりませんでした。"), true);
    TraceOpen(name, E_FAIL);
    return E_FAIL;
  }
  script_.position = 0;
  script_.running = true;
  window_.StartScript();
  TraceOpen(name, S_OK);
  return S_OK;
}

HRESULT CMsgBox::StepIfIdle() {
  if (window_.Typing()) return S_OK;
  return Step();
}

HRESULT CMsgBox::NextWord() {
  if (script_.position < script_.words.size()) ++script_.position;
  if (script_.position >= script_.words.size()) {
    script_.position = script_.words.size();
    script_.running = false;
    return E_FAIL;
  }
  return S_OK;
}

HRESULT CMsgBox::Step() { return StepIn(ActionKind::New); }

HRESULT CMsgBox::StepIn(ActionKind kind) {
  ActionScope action(*this, kind);
  HRESULT hr = RunStep();
  TraceStep(hr);
  return hr;
}

HRESULT CMsgBox::RunStep() {
  if (buttons_.ButtonMenuActive() || fontMenu_.MenuActive() || fades_.ImageFadeActive() || fades_.VolumeFadeActive()) return S_OK;
  if (script_.position >= script_.words.size()) {
    script_.position = script_.words.size();
    script_.running = false;
    return E_FAIL;
  }
  for (;;) {
    bool matched = false;
    Outcome outcome = RunPass(matched);
    if (outcome.kind == Outcome::Return) return outcome.result;
    if (script_.words[script_.position] == ".") {
      window_.ClearMessage();
      if (FAILED(NextWord())) return E_FAIL;
      continue;
    }
    if (matched) continue;
    return TextWord();
  }
}

CMsgBox::Outcome CMsgBox::Finish() {
  if (FAILED(NextWord())) return Return(E_FAIL);
  return Next();
}

CMsgBox::Outcome CMsgBox::EndOfWords() {
  script_.position = script_.words.size();
  script_.running = false;
  return Return(E_FAIL);
}

HRESULT CMsgBox::TextWord() {
  std::string word = script_.words[script_.position];
  if (word.find(SJ("：")) != std::string::npos) {
    // A speaker word takes the next word as its text, whatever it holds.
    if (script_.position + 1 >= script_.words.size()) return EndOfWords().result;
    window_.SetSpeaker(word, script_.textureAliases);
    ++script_.position;
    word = script_.words[script_.position];
  }
  window_.SetMessage(window_.SpeakerLabel() + word);
  ++script_.position;
  return S_OK;
}

bool CMsgBox::ReplaceVariable(std::string& word) const { return script_.ReplaceVariable(word); }

bool CMsgBox::AssignVariable(const std::string& value, const std::string& name) {
  auto it = script_.variables.find(name);
  if (it == script_.variables.end()) return false;
  std::string copy = value;
  ReplaceVariable(copy);
  it->second = copy;
  return true;
}

// --- commands of the machinery itself ---

CMsgBox::Outcome CMsgBox::CmdBattle() { return Return(BattleResult); }

CMsgBox::Outcome CMsgBox::CmdMap() { return Return(MapResult); }

CMsgBox::Outcome CMsgBox::CmdGameEnd() {
  script_.running = false;
  return Return(GameEndResult);
}

CMsgBox::Outcome CMsgBox::CmdNextScriptFile() {
  currentScriptName = NextArgument();
  return Finish();
}

CMsgBox::Outcome CMsgBox::CmdAssign() {
  std::string name = script_.words[script_.position];
  if (NextArgument() != "=") {
    DXTRACE("CMsgBox", E_FAIL, SJ("変数の代入の構文が間違っています。"), true);
    return Return(E_FAIL);
  }
  if (!AssignVariable(NextArgument(), name)) {
    DXTRACE("CMsgBox", E_FAIL, SJ("変数の代入の失敗：変数名が定義されていません。"), true);
    return Return(E_FAIL);
  }
  return Finish();
}

CMsgBox::Outcome CMsgBox::CmdGoto() {
  std::string target = NextArgument();
  if (!target.empty() && target[0] == '$' && !ReplaceVariable(target)) {
    DXTRACE("CMsgBox", E_FAIL, SJ("変数の置き換えに失敗"), true);
    return Return(E_FAIL);
  }
  currentScriptName = target + ".Dat";
  // The jump has happened whether or not the file opened; a missing file
  // leaves the list empty and the next step fails into the frame loop.
  StartScript(currentScriptName);
  return Return(S_OK);
}

CMsgBox::Outcome CMsgBox::CmdString() {
  std::string name = NextArgument();
  std::string value;
  if (script_.position + 1 < script_.words.size() && script_.words[script_.position + 1] == "=") {
    if (script_.position + 2 >= script_.words.size()) return EndOfWords();
    script_.position += 2;
    value = script_.words[script_.position];
  }
  script_.variables[name] = value;
  return Finish();
}
