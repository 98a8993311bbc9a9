// The step loop: opening and starting scripts, running keywords over the
// words up to the next text word, text and speaker words, and the commands
// of the machinery itself (variables, goto and those that stop a script).
#include <string>

#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Report.h"
#include "platform/text/TextCodec.h"

HRESULT CMsgBox::StartScript(std::string name) {
  ActionScope action(*this, msgbox::ActionKind::New);
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
  // The standing pictures blank out until a script sets them again.
  window_.BlankForScript();
  if (FAILED(script_.Open(name))) {
    DXTRACE("CMsgBox", E_FAIL, SJ("指定された名前のスクリプトファイルが見つかりませんでした。"), true, name);
    TraceOpen(name, E_FAIL);
    return E_FAIL;
  }
  window_.StartScript();
  TraceOpen(name, S_OK);
  return S_OK;
}

HRESULT CMsgBox::StepIfIdle() {
  if (window_.Typing()) return S_OK;
  return Step();
}

HRESULT CMsgBox::NextWord() { return script_.NextWord(); }

HRESULT CMsgBox::Step() { return StepIn(msgbox::ActionKind::New); }

HRESULT CMsgBox::StepIn(msgbox::ActionKind kind) {
  ActionScope action(*this, kind);
  HRESULT hr = RunStep();
  TraceStep(hr);
  return hr;
}

HRESULT CMsgBox::RunStep() {
  if (buttons_.ButtonMenuActive() || fontMenu_.MenuActive() || fades_.Active()) return S_OK;
  if (script_.AtEnd()) {
    script_.EndOfWords();
    return E_FAIL;
  }
  for (;;) {
    bool matched = false;
    Outcome outcome = RunPass(matched);
    if (outcome.kind == Outcome::Return) return outcome.result;
    if (script_.Current() == ".") {
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
  script_.EndOfWords();
  return Return(E_FAIL);
}

HRESULT CMsgBox::TextWord() {
  std::string word = script_.StartMessage();
  const std::string script = OpenScriptName();
  if (word.find(SJ("：")) != std::string::npos) {
    // A speaker word takes the next word as its text, whatever it holds.
    if (!script_.Follows(1)) return EndOfWords().result;
    window_.SetSpeaker(word, script_.TextureAliases());
    speakerOrigin_ = {script, script_.Position(), window_.SpeakerLabel()};
    word = script_.NextArgument();
  }
  textOrigin_ = {script, script_.Position(), word};
  window_.SetMessage(window_.SpeakerLabel() + word);
  if (translation_) window_.ShowTranslated(TranslatedMessage(), translation_->Language());
  if (messageObserver_) NotifyMessageShown();
  script_.Skip(1);
  return S_OK;
}

bool CMsgBox::ReplaceVariable(std::string& word) const { return script_.ReplaceVariable(word); }

bool CMsgBox::AssignVariable(const std::string& value, const std::string& name) {
  return script_.AssignVariable(value, name);
}

// --- commands of the machinery itself ---

CMsgBox::Outcome CMsgBox::CmdBattle() { return Return(BattleResult); }

CMsgBox::Outcome CMsgBox::CmdMap() { return Return(MapResult); }

CMsgBox::Outcome CMsgBox::CmdGameEnd() {
  script_.Stop();
  return Return(GameEndResult);
}

CMsgBox::Outcome CMsgBox::CmdNextScriptFile() {
  currentScriptName = NextArgument();
  return Finish();
}

CMsgBox::Outcome CMsgBox::CmdAssign() {
  std::string name = script_.Current();
  if (NextArgument() != "=") {
    DXTRACE("CMsgBox", E_FAIL, SJ("変数の代入の構文が間違っています。"), true, name);
    return Return(E_FAIL);
  }
  if (!AssignVariable(NextArgument(), name)) {
    DXTRACE("CMsgBox", E_FAIL, SJ("変数の代入の失敗：変数名が定義されていません。"), true, name);
    return Return(E_FAIL);
  }
  return Finish();
}

CMsgBox::Outcome CMsgBox::CmdGoto() {
  std::string target = NextArgument();
  if (!target.empty() && target[0] == '$' && !ReplaceVariable(target)) {
    DXTRACE("CMsgBox", E_FAIL, SJ("変数の置き換えに失敗"), true, target);
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
  if (script_.Follows(1) && script_.Ahead(1) == "=") {
    if (!script_.Follows(2)) return EndOfWords();
    script_.Skip(2);
    value = script_.Current();
  }
  script_.SetVariable(name, value);
  return Finish();
}
