// The keyword table and the command set: pictures, texture aliases, and the
// sound, save, fade and key-configuration keywords.
#include <string>
#include <vector>

#include "gfx/CPolygon.h"
#include "msgbox/CMsgBox.h"
#include "platform/Report.h"
#include "platform/TextCodec.h"

// One keyword: its spellings, how many argument words must follow it before
// its handler may read them, and how often a pass tests it in a row.
struct CMsgBox::KeywordRow {
  std::string word;
  std::string otherSpelling;
  bool dollarPrefix;  // matches every word whose first byte is "$"
  int arguments;
  Handler handler;
  int tests = 1;

  bool Matches(const std::string& w) const {
    if (dollarPrefix) return !w.empty() && w[0] == '$';
    return w == word || (!otherSpelling.empty() && w == otherSpelling);
  }
};

// The order is the language: within one pass a keyword is only tested after
// every keyword above it, so a run of commands in file order may take more
// than one pass.
const std::vector<CMsgBox::KeywordRow>& CMsgBox::KeywordTable() {
  static const std::vector<KeywordRow> table = {
      {"Battle", "", false, 0, &CMsgBox::CmdBattle},
      {"Map", "", false, 0, &CMsgBox::CmdMap},
      {"NextScriptFile", "", false, 1, &CMsgBox::CmdNextScriptFile},
      {SJ("キーコンフィグ"), "", false, 0, &CMsgBox::CmdKeyConfig},
      {"GameEnd", "", false, 0, &CMsgBox::CmdGameEnd},
      {"FadeIn", "", false, 1, &CMsgBox::CmdFadeIn},
      {"FadeOut", "", false, 1, &CMsgBox::CmdFadeOut},
      {"MIDILoad", "", false, 2, &CMsgBox::CmdMidiLoad},
      {"SELoad", "", false, 2, &CMsgBox::CmdSeLoad},
      {"MIDIPlay", "", false, 1, &CMsgBox::CmdMidiPlay},
      {"SEPlay", "", false, 1, &CMsgBox::CmdSePlay},
      {"TexLoad", "", false, 1, &CMsgBox::CmdTexLoad},
      {"TexUnload", "", false, 1, &CMsgBox::CmdTexUnload},
      {"SaveMenu", "", false, 1, &CMsgBox::CmdSaveMenu},
      {"LoadMenu", "", false, 0, &CMsgBox::CmdLoadMenu},
      {"Save", "save", false, 2, &CMsgBox::CmdSave},
      {"Load", "load", false, 1, &CMsgBox::CmdLoad},
      {"FontMenu", "", false, 0, &CMsgBox::CmdFontMenu},  // a block: its reader checks the words
      {"ButtonMenu", "", false, 0, &CMsgBox::CmdButtonMenu},
      {"Texture", "texture", false, 2, &CMsgBox::CmdTexture},
      {"", "", true, 2, &CMsgBox::CmdAssign},  // $name = value
      {"goto", "", false, 1, &CMsgBox::CmdGoto},
      {"string", "", false, 1, &CMsgBox::CmdString},  // or 3 words with "="
      {"BG", "bg", false, 1, &CMsgBox::CmdBG},
      {"Right", "right", false, 1, &CMsgBox::CmdRight},
      {"Center", "center", false, 1, &CMsgBox::CmdCenter},
      {"WideCenter", "", false, 1, &CMsgBox::CmdWideCenter},
      {"Left", "left", false, 1, &CMsgBox::CmdLeft},
      {"Clear", "", false, 1, &CMsgBox::CmdClear, 3},
  };
  return table;
}

std::vector<CMsgBox::KeywordInfo> CMsgBox::Keywords() {
  std::vector<KeywordInfo> view;
  for (const KeywordRow& row : KeywordTable()) {
    view.push_back({row.word, row.otherSpelling, row.dollarPrefix, row.arguments, row.tests});
  }
  return view;
}

CMsgBox::Outcome CMsgBox::RunPass(bool& matched) {
  for (const KeywordRow& row : KeywordTable()) {
    for (int t = 0; t < row.tests && row.Matches(words[position]); ++t) {
      // Words missing at the end of the list end the script as NextWord
      // would; nothing reads past the list.
      if (position + row.arguments >= words.size()) return EndOfWords();
      Outcome outcome = (this->*row.handler)();
      if (outcome.kind == Outcome::Return) return outcome;
      if (outcome.kind == Outcome::NotMatched) break;
      matched = true;
    }
  }
  return Next();
}

CMsgBox::Outcome CMsgBox::SkipArguments(int count) {
  position += count;
  return Finish();
}

// --- pictures and texture aliases ---

CMsgBox::Outcome CMsgBox::CmdTexture() {
  const std::string& alias = NextArgument();
  const std::string& file = NextArgument();
  textureAliases.emplace(alias, file);  // the first definition of an alias stands
  return Finish();
}

CMsgBox::Outcome CMsgBox::SetPicture(CPolygon* sprite) {
  auto alias = textureAliases.find(NextArgument());
  if (alias == textureAliases.end()) {
    // An undefined alias leaves the picture as it was; the script goes on.
    DXTRACE("CMsgBox", E_FAIL, SJ("エイリアスネームに対応するテクスチャ名が見つかりませんでした。"), true);
  } else if (sprite) {
    sprite->SetTexture(alias->second);
  }
  return Finish();
}

CMsgBox::Outcome CMsgBox::CmdBG() { return SetPicture(bgSprite.get()); }
CMsgBox::Outcome CMsgBox::CmdRight() { return SetPicture(rightSprite.get()); }
CMsgBox::Outcome CMsgBox::CmdCenter() { return SetPicture(centerSprite.get()); }
CMsgBox::Outcome CMsgBox::CmdWideCenter() { return SetPicture(wideCenterSprite.get()); }
CMsgBox::Outcome CMsgBox::CmdLeft() { return SetPicture(leftSprite.get()); }

CMsgBox::Outcome CMsgBox::CmdClear() {
  const std::string& target = NextArgument();
  std::vector<CPolygon*> cleared;
  if (target == "Left") cleared = {leftSprite.get()};
  else if (target == "Right") cleared = {rightSprite.get()};
  else if (target == "Center") cleared = {centerSprite.get()};
  else if (target == "WideCenter") cleared = {wideCenterSprite.get()};
  else if (target == "All") cleared = {leftSprite.get(), centerSprite.get(), rightSprite.get(), wideCenterSprite.get()};
  for (CPolygon* sprite : cleared) {
    if (sprite) sprite->SetTexture("Nothing");
  }
  return Finish();
}

CMsgBox::Outcome CMsgBox::CmdTexLoad() {
  auto alias = textureAliases.find(NextArgument());
  if (alias == textureAliases.end()) {
    DXTRACE("CMsgBox", E_FAIL, SJ("エイリアスネームに対応するテクスチャ名が見つかりませんでした。"), true);
    return Return(E_FAIL);
  }
  // Unload first so that the file is read afresh.
  CPolygon::UnloadTexture(alias->second);
  CPolygon::LoadTexture(alias->second);
  return Finish();
}

CMsgBox::Outcome CMsgBox::CmdTexUnload() {
  auto alias = textureAliases.find(NextArgument());
  if (alias == textureAliases.end()) {
    DXTRACE("CMsgBox", E_FAIL, SJ("エイリアスネームに対応するテクスチャ名が見つかりませんでした。"), true);
    return Return(E_FAIL);
  }
  CPolygon::UnloadTexture(alias->second);
  return Finish();
}

// FadeIn and FadeOut are in MsgBoxFades.cpp; the sound, save, load and
// key-configuration commands in MsgBoxSoundSaveCommands.cpp.
