// The ButtonMenu and FontMenu commands, which read a menu block and open the
// menu, and the player's moves and decisions in the open menu. The menus
// themselves are ButtonMenu.cpp and FontMenu.cpp; the save/load screen is a
// font menu that SaveData.cpp fills.
#include <string>

#include "msgbox/CMsgBox.h"
#include "msgbox/DeviceCalls.h"
#include "platform/diagnostics/Report.h"
#include "platform/text/TextCodec.h"
#include "script/MenuBlock.h"
#include "script/MenuItems.h"

namespace {
const char kInsideFrame[] = "InsideSerifuFrame";
const char kLeftFrame[] = "Left";
}  // namespace

// --- opening a menu (from Step) ---

CMsgBox::Outcome CMsgBox::CmdButtonMenu() { return OpenMenu(true); }
CMsgBox::Outcome CMsgBox::CmdFontMenu() { return OpenMenu(false); }

CMsgBox::Outcome CMsgBox::OpenMenu(bool buttonMenu) {
  if (buttonMenu) buttons_.Clear();
  else fontMenu_.Clear();
  auto setFrame = [&](std::string frame) {
    if (buttonMenu) buttons_.SetFrame(std::move(frame));
    else fontMenu_.SetFrame(std::move(frame));
  };
  if (!script_.Follows(1)) return EndOfWords();
  script_.Skip(1);
  std::string frame = kInsideFrame;
  if (script_.Current() != "{") {
    frame = script_.Current();
    if (!script_.Follows(1)) {
      setFrame(frame);
      return EndOfWords();
    }
    script_.Skip(1);
  }
  setFrame(frame);
  // Without a block the keyword is no command: the word after it is tested
  // against the keywords that follow.
  if (script_.Current() != "{") return NotMatched();

  const std::string& missingItems =
      buttonMenu ? SJ("ボタンメニューの項目が設定されていません。") : SJ("フォントメニューの項目が設定されていません。");
  HRESULT hr = E_FAIL;
  if (buttonMenu && frame == kInsideFrame) hr = ReadButtonMenu();
  else if (buttonMenu && frame == kLeftFrame) hr = ReadLeftButtonMenu();
  else if (!buttonMenu && frame == kInsideFrame) hr = ReadFontMenu();
  else DXTRACE("CMsgBox", E_FAIL, missingItems, true);  // no reader fits this frame
  if (FAILED(hr)) return Return(E_FAIL);
  if (buttonMenu ? buttons_.ButtonMenuItems().empty() : fontMenu_.FontMenuItems().empty()) {
    // A menu without items could never be decided and would hold the
    // script for good: it does not open, and the step goes on after it.
    DXTRACE("CMsgBox", E_FAIL, missingItems, true);
    return Finish();
  }
  if (buttonMenu) buttons_.Open();
  else fontMenu_.SetActive(true);
  script_.Skip(1);  // past the closing "}"; the next step waits for the decision
  return Return(S_OK);
}

// --- reading a block ---

// Reads the block from the "{" at the current word up to the closing "}",
// where it leaves the position (script/MenuBlock.h). Running out of words
// inside the block ends the script; the items read up to there stay.
template <class Menu>
HRESULT CMsgBox::ReadMenuBlock(Menu& menu, const char* missingItemsMessage) {
  if (script_.AtEnd() || script_.Current() != "{") {
    DXTRACE("CMsgBox", E_FAIL, missingItemsMessage, true);
    return E_FAIL;
  }
  script::MenuBlock block;
  block.columns = menu.Columns();
  block.rows = menu.Rows();
  const bool closed = script_.ReadMenuBlock(block);
  menu.Fill(block);
  if (!closed) {
    EndOfWords();
    return E_FAIL;
  }
  return S_OK;
}

HRESULT CMsgBox::ReadButtonMenu() {
  HRESULT hr = ReadMenuBlock(buttons_, SJ("ボタンメニューの項目が設定されていません。").c_str());
  if (FAILED(hr)) return hr;
  buttons_.LayOut(window_.DialogueFrame());
  return S_OK;
}

HRESULT CMsgBox::ReadLeftButtonMenu() {
  HRESULT hr = ReadMenuBlock(buttons_, SJ("ボタンメニューの項目が設定されていません。").c_str());
  if (FAILED(hr)) return hr;
  buttons_.LayOutLeftColumn();
  return S_OK;
}

HRESULT CMsgBox::ReadFontMenu() {
  HRESULT hr = ReadMenuBlock(fontMenu_, SJ("フォントメニューの項目が設定されていません。").c_str());
  if (FAILED(hr)) return hr;
  fontMenu_.LayOut(window_.DialogueFrame());
  menuScript_ = OpenScriptName();
  if (translation_) TranslateMenus();
  return S_OK;
}

// --- the player's moves ---

void CMsgBox::ButtonMenuPrev() { buttons_.Move(false, devices_); }
void CMsgBox::ButtonMenuNext() { buttons_.Move(true, devices_); }
void CMsgBox::FontMenuPrev() { fontMenu_.Move(false, devices_); }
void CMsgBox::FontMenuNext() { fontMenu_.Move(true, devices_); }

// --- decisions ---

namespace {
// The script a decision starts: the target, through its variable when it
// begins with "$", with ".Dat" appended. An unknown variable is reported
// and the name goes on unreplaced (opening it then fails visibly).
std::string DecidedScript(const msgbox::Interpreter& script, const std::string& target) {
  std::string copy = target;
  if (!copy.empty() && copy[0] == '$' && !script.ReplaceVariable(copy)) {
    DXTRACE("CMsgBox", E_FAIL, SJ("変数の置き換えに失敗"), true, target);
  }
  return copy + ".Dat";
}
}  // namespace

int32_t CMsgBox::ButtonMenuDecide() {
  const ButtonMenuItem* item = buttons_.Decidable();
  if (!item) return 0;
  ActionScope action(*this, ActionKind::New);
  devicecalls::PlaySoundEffect(devices_.soundPlayer, SJ("決定キー音"));
  currentScriptName = DecidedScript(script_, item->target);
  buttons_.SetActive(false);
  StartScript(currentScriptName);
  return 1;
}

int32_t CMsgBox::FontMenuDecide() {
  const FontMenuItem* item = fontMenu_.Decidable();
  if (!item) return 0;
  ActionScope action(*this, ActionKind::New);
  fontMenu_.SetActive(false);
  devicecalls::PlaySoundEffect(devices_.soundPlayer, SJ("決定キー音"));
  // Copies: saving, loading and starting a script may rebuild the menu.
  const std::string target = item->target;
  const std::string scriptName = item->scriptName;
  const std::string script = DecidedScript(script_, target);
  switch (saves_.TakeScreen()) {
    case msgbox::SaveData::Screen::Save:
      if (target == SJ("$戻る")) currentScriptName = script;
      else Save(scriptName, target);
      break;
    case msgbox::SaveData::Screen::Load:
      if (target == SJ("$戻る")) currentScriptName = script;
      else Load(target);
      break;
    case msgbox::SaveData::Screen::None:
      currentScriptName = script;
      break;
  }
  StartScript(currentScriptName);
  return 1;
}
