// Dispatching the keyword table (script/Keywords.h) to its commands, and the
// picture and texture-alias commands.
#include <array>
#include <string>
#include <vector>

#include "gfx/CPolygon.h"
#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Report.h"
#include "platform/text/TextCodec.h"
#include "script/Keywords.h"

// The handler of each keyword row, in the table's order.
const std::array<CMsgBox::Handler, script::kCommandCount>& CMsgBox::Handlers() {
  using C = script::Command;
  static const std::array<Handler, script::kCommandCount> handlers = [] {
    std::array<Handler, script::kCommandCount> h{};
    auto set = [&h](C c, Handler handler) { h[size_t(c)] = handler; };
    set(C::Battle, &CMsgBox::CmdBattle);
    set(C::Map, &CMsgBox::CmdMap);
    set(C::NextScriptFile, &CMsgBox::CmdNextScriptFile);
    set(C::KeyConfig, &CMsgBox::CmdKeyConfig);
    set(C::GameEnd, &CMsgBox::CmdGameEnd);
    set(C::FadeIn, &CMsgBox::CmdFadeIn);
    set(C::FadeOut, &CMsgBox::CmdFadeOut);
    set(C::MidiLoad, &CMsgBox::CmdMidiLoad);
    set(C::SeLoad, &CMsgBox::CmdSeLoad);
    set(C::MidiPlay, &CMsgBox::CmdMidiPlay);
    set(C::SePlay, &CMsgBox::CmdSePlay);
    set(C::TexLoad, &CMsgBox::CmdTexLoad);
    set(C::TexUnload, &CMsgBox::CmdTexUnload);
    set(C::SaveMenu, &CMsgBox::CmdSaveMenu);
    set(C::LoadMenu, &CMsgBox::CmdLoadMenu);
    set(C::Save, &CMsgBox::CmdSave);
    set(C::Load, &CMsgBox::CmdLoad);
    set(C::FontMenu, &CMsgBox::CmdFontMenu);
    set(C::ButtonMenu, &CMsgBox::CmdButtonMenu);
    set(C::Texture, &CMsgBox::CmdTexture);
    set(C::Assign, &CMsgBox::CmdAssign);
    set(C::Goto, &CMsgBox::CmdGoto);
    set(C::String, &CMsgBox::CmdString);
    set(C::BG, &CMsgBox::CmdBG);
    set(C::Right, &CMsgBox::CmdRight);
    set(C::Center, &CMsgBox::CmdCenter);
    set(C::WideCenter, &CMsgBox::CmdWideCenter);
    set(C::Left, &CMsgBox::CmdLeft);
    set(C::Clear, &CMsgBox::CmdClear);
    return h;
  }();
  return handlers;
}

CMsgBox::Outcome CMsgBox::RunPass(bool& matched) {
  for (const script::Keyword& row : script::Keywords()) {
    for (int t = 0; t < row.tests && row.Matches(script_.Current()); ++t) {
      // Words missing at the end of the list end the script as NextWord
      // would; nothing reads past the list.
      if (!script_.Follows(size_t(row.arguments))) return EndOfWords();
      Outcome outcome = (this->*Handlers()[size_t(row.command)])();
      if (outcome.kind == Outcome::Return) return outcome;
      if (outcome.kind == Outcome::NotMatched) break;
      matched = true;
    }
  }
  return Next();
}

CMsgBox::Outcome CMsgBox::SkipArguments(int count) {
  script_.Skip(size_t(count));
  return Finish();
}

// --- pictures and texture aliases ---

CMsgBox::Outcome CMsgBox::CmdTexture() {
  const std::string& alias = NextArgument();
  const std::string& file = NextArgument();
  script_.DefineAlias(alias, file);  // the first definition of an alias stands
  return Finish();
}

CMsgBox::Outcome CMsgBox::SetPicture(CPolygon* sprite) {
  const std::string& alias = NextArgument();
  const std::string* file = script_.AliasedTexture(alias);
  if (!file) {
    // An undefined alias leaves the picture as it was; the script goes on.
    DXTRACE("CMsgBox", E_FAIL, SJ("エイリアスネームに対応するテクスチャ名が見つかりませんでした。"), true, alias);
  } else if (sprite) {
    sprite->SetTexture(*file);
  }
  return Finish();
}

CMsgBox::Outcome CMsgBox::CmdBG() { return SetPicture(window_.BgSprite().get()); }
CMsgBox::Outcome CMsgBox::CmdRight() { return SetPicture(window_.RightSprite().get()); }
CMsgBox::Outcome CMsgBox::CmdCenter() { return SetPicture(window_.CenterSprite().get()); }
CMsgBox::Outcome CMsgBox::CmdWideCenter() { return SetPicture(window_.WideCenterSprite().get()); }
CMsgBox::Outcome CMsgBox::CmdLeft() { return SetPicture(window_.LeftSprite().get()); }

CMsgBox::Outcome CMsgBox::CmdClear() {
  const std::string& target = NextArgument();
  std::vector<CPolygon*> cleared;
  if (target == "Left") cleared = {window_.LeftSprite().get()};
  else if (target == "Right") cleared = {window_.RightSprite().get()};
  else if (target == "Center") cleared = {window_.CenterSprite().get()};
  else if (target == "WideCenter") cleared = {window_.WideCenterSprite().get()};
  else if (target == "All") cleared = {window_.LeftSprite().get(), window_.CenterSprite().get(), window_.RightSprite().get(), window_.WideCenterSprite().get()};
  for (CPolygon* sprite : cleared) {
    if (sprite) sprite->SetTexture("Nothing");
  }
  return Finish();
}

CMsgBox::Outcome CMsgBox::CmdTexLoad() {
  const std::string& alias = NextArgument();
  const std::string* file = script_.AliasedTexture(alias);
  if (!file) {
    DXTRACE("CMsgBox", E_FAIL, SJ("エイリアスネームに対応するテクスチャ名が見つかりませんでした。"), true, alias);
    return Return(E_FAIL);
  }
  // Unload first so that the file is read afresh.
  CPolygon::UnloadTexture(*file);
  CPolygon::LoadTexture(*file);
  return Finish();
}

CMsgBox::Outcome CMsgBox::CmdTexUnload() {
  const std::string& alias = NextArgument();
  const std::string* file = script_.AliasedTexture(alias);
  if (!file) {
    DXTRACE("CMsgBox", E_FAIL, SJ("エイリアスネームに対応するテクスチャ名が見つかりませんでした。"), true, alias);
    return Return(E_FAIL);
  }
  CPolygon::UnloadTexture(*file);
  return Finish();
}

// The other commands are beside the role they drive: see CMsgBox.h.
