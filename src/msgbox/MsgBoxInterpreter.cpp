// The interpreter machinery: opening scripts, stepping through the word list,
// text and speaker words, variables, goto and the commands that stop a script.
#include <string>

#include "app/framework/TextFont.h"
#include "gfx/CPolygon.h"
#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Report.h"
#include "platform/text/TextCodec.h"
#include "script/CTextFile.h"

std::string CMsgBox::currentScriptName;

namespace {
// Byte offsets at which a message is broken into rows of 26 full-width characters.
constexpr size_t kSecondRow = 52;
constexpr size_t kThirdRow = 104;
const char kRowBreak[] = "\n\n";
}  // namespace

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
  if (window_.messageTextObject) window_.messageTextObject->setText("");
  // The standing pictures blank out until a script sets them again; their
  // texture names stay, the background and wide picture carry over.
  for (CPolygon* sprite : {window_.rightSprite.get(), window_.centerSprite.get(), window_.leftSprite.get()}) {
    if (sprite) sprite->SetTexturePointer(nullptr);
  }
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
  window_.typedLength = 0;
  script_.running = true;
  window_.rowBreaks = true;
  TraceOpen(name, S_OK);
  return S_OK;
}

HRESULT CMsgBox::StepIfIdle() {
  if (window_.typing) return S_OK;
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
  if (buttons_.buttonMenuActive || fontMenu_.menuActive || fades_.imageFadeActive || fades_.volumeFadeActive) return S_OK;
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
      window_.messageText.clear();
      window_.typedLength = 0;
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
  const std::string& colon = SJ("：");
  std::string word = script_.words[script_.position];
  if (word.find(colon) != std::string::npos) {
    // A speaker word takes the next word as its text, whatever it holds.
    if (script_.position + 1 >= script_.words.size()) return EndOfWords().result;
    std::string key = word;
    const std::string& star = SJ("＊");
    size_t at = key.find(star);
    if (at != std::string::npos) {
      key.erase(at, star.size());
      if ((at = key.find(colon)) != std::string::npos) key.erase(at, colon.size());
      window_.speakerKey = key;
      auto alias = script_.textureAliases.find(window_.speakerKey);
      if (alias != script_.textureAliases.end()) {
        if (window_.speakerSprite) window_.speakerSprite->SetTexture(alias->second);
      } else {
        window_.speakerKey = "Nothing";
      }
      window_.speakerLabel = SJ("？？？：");
    } else {
      if ((at = key.find(colon)) != std::string::npos) key.erase(at, colon.size());
      window_.speakerKey = key;
      auto alias = script_.textureAliases.find(window_.speakerKey);
      if (alias != script_.textureAliases.end()) {
        if (window_.speakerSprite) window_.speakerSprite->SetTexture(alias->second);
        // A picture variant such as 太郎・笑顔 is labelled with the name alone.
        if ((at = key.find(SJ("・"))) != std::string::npos) key.erase(at);
        window_.speakerLabel = key + colon;
      } else {
        auto nothing = script_.textureAliases.find("Nothing");
        if (nothing != script_.textureAliases.end() && window_.speakerSprite) window_.speakerSprite->SetTexture(nothing->second);
        window_.speakerLabel = window_.speakerKey == SJ("ナレーション") ? std::string() : window_.speakerKey + colon;
      }
    }
    ++script_.position;
    word = script_.words[script_.position];
  }
  SetMessage(window_.speakerLabel + word);
  ++script_.position;
  return S_OK;
}

void CMsgBox::SetMessage(const std::string& text) {
  window_.messageText = text;
  if (window_.rowBreaks) {
    if (window_.messageText.size() > kThirdRow) window_.messageText.insert(kThirdRow, kRowBreak);
    if (window_.messageText.size() > kSecondRow) window_.messageText.insert(kSecondRow, kRowBreak);
    window_.messageText += kRowBreak;
  }
  // A message typed on from an earlier, longer one would never reach the
  // text object: the typewriter only writes it while typedLength grows.
  if (window_.typedLength >= window_.messageText.size()) {
    window_.typedLength = static_cast<uint32_t>(window_.messageText.size());
    if (window_.messageTextObject) window_.messageTextObject->setText(window_.messageText);
  }
}

bool CMsgBox::ReplaceVariable(std::string& word) const {
  auto it = script_.variables.find(word);
  if (it == script_.variables.end()) return false;
  word = it->second;
  return true;
}

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
