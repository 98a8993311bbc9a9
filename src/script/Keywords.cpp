#include "script/Keywords.h"

#include "platform/text/TextCodec.h"

namespace script {

const std::vector<Keyword>& Keywords() {
  static const std::vector<Keyword> table = {
      {Command::Battle, "Battle", "", false, 0, 1},
      {Command::Map, "Map", "", false, 0, 1},
      {Command::NextScriptFile, "NextScriptFile", "", false, 1, 1},
      {Command::KeyConfig, SJ("キーコンフィグ"), "", false, 0, 1},
      {Command::GameEnd, "GameEnd", "", false, 0, 1},
      {Command::FadeIn, "FadeIn", "", false, 1, 1},
      {Command::FadeOut, "FadeOut", "", false, 1, 1},
      {Command::MidiLoad, "MIDILoad", "", false, 2, 1},
      {Command::SeLoad, "SELoad", "", false, 2, 1},
      {Command::MidiPlay, "MIDIPlay", "", false, 1, 1},
      {Command::SePlay, "SEPlay", "", false, 1, 1},
      {Command::TexLoad, "TexLoad", "", false, 1, 1},
      {Command::TexUnload, "TexUnload", "", false, 1, 1},
      {Command::SaveMenu, "SaveMenu", "", false, 1, 1},
      {Command::LoadMenu, "LoadMenu", "", false, 0, 1},
      {Command::Save, "Save", "save", false, 2, 1},
      {Command::Load, "Load", "load", false, 1, 1},
      {Command::FontMenu, "FontMenu", "", false, 0, 1},  // a block: its reader checks the words
      {Command::ButtonMenu, "ButtonMenu", "", false, 0, 1},
      {Command::Texture, "Texture", "texture", false, 2, 1},
      {Command::Assign, "", "", true, 2, 1},  // $name = value
      {Command::Goto, "goto", "", false, 1, 1},
      {Command::String, "string", "", false, 1, 1},  // or 3 words with "="
      {Command::BG, "BG", "bg", false, 1, 1},
      {Command::Right, "Right", "right", false, 1, 1},
      {Command::Center, "Center", "center", false, 1, 1},
      {Command::WideCenter, "WideCenter", "", false, 1, 1},
      {Command::Left, "Left", "left", false, 1, 1},
      {Command::Clear, "Clear", "", false, 1, 3},
  };
  return table;
}

}  // namespace script
