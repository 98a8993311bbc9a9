#include "KeywordReference.h"

#include "platform/text/TextCodec.h"

namespace scripttool {
namespace {
using C = script::Command;

// What a failed step leads to, said once for the entries that need it.
const char kStepFails[] =
    "the step fails, and the game starts the script named last by `NextScriptFile`, `goto`, a menu or a load "
    "(as when a script runs out of words)";
}  // namespace

const std::vector<KeywordEntry>& KeywordEntries() {
  static const std::vector<KeywordEntry> entries = {
      {C::Battle,
       {},
       "",
       "Stops the script for good (a battle mode this engine does not have).",
       "The script stands on this word from now on: every later press comes back to it, and the message shown "
       "stays. Ends the step.",
       "Nothing is reported while playing; `check` warns, since the game cannot go on from here.",
       "Battle"},
      {C::Map,
       {},
       "",
       "Stops the script for good (a map mode this engine does not have).",
       "As `Battle`: the script stands on this word from now on. Ends the step.",
       "Nothing is reported while playing; `check` warns.",
       "Map"},
      {C::NextScriptFile,
       {"SCRIPT"},
       "",
       "Names the script that starts when this one runs out of words.",
       "SCRIPT is a script file below `GameData\\Text` with its extension (`本編\\おしまい.Dat`). Nothing happens "
       "now: when the script's last word has been shown and the player presses decide once more, SCRIPT starts "
       "from its first word. Without it, a script that ends starts the script named last, perhaps itself "
       "again. The step goes on.",
       "A SCRIPT that does not exist is found out when the script ends: the box "
       "\"指定された名前のスクリプトファイルが見つかりませんでした。\" names it, and the game asks whether to quit.",
       "NextScriptFile 本編\\おしまい.Dat\nナレーション： 星がひとつ、またひとつと灯った。"},
      {C::KeyConfig,
       {},
       "",
       "Shows the key configuration screen.",
       "The player binds the game's actions to keys and pad buttons; the script waits until the screen is "
       "closed (OK or Cancel), and the press that closed it does not advance the text. The step goes on.",
       "Nothing fails here.",
       "キーコンフィグ\ngoto オープニング\\オープニング1"},
      {C::GameEnd,
       {},
       "",
       "Ends the story: the script stops here.",
       "The last message stays on screen without the wait cursor and every later press does nothing; the "
       "player closes the window (the game asks first). Ends the step.",
       "Nothing fails here.",
       "ナレーション： 遊んでくれて、ありがとうございました。\nGameEnd"},
      {C::FadeIn,
       {"TARGET"},
       "",
       "Fades pictures, or the music, in.",
       "TARGET is one of `Volume` (the music, from 50 dB down to full volume over 100 logic steps, 1.6 s), "
       "`Right`, `Center`, `Left` (one standing picture), `Images` (the background and the four picture places) "
       "or `All` (those, the speaker's face and its frame, the window and the text). The pictures jump to "
       "transparent and rise in 51 steps at least 40 ms apart (about 2 s). Ends the step; while the fade runs "
       "the decide button does nothing, and when it ends the script goes on by itself. A picture fade clears "
       "the message shown. Pictures faded out stay invisible, also when a script gives their place a new "
       "picture, until a fade in of a target that includes them.",
       "Another TARGET fades nothing: the fade ends at once and the script goes on (`check` warns).",
       "BG 夜の公園\nFadeIn All\nFadeIn Volume"},
      {C::FadeOut,
       {"TARGET"},
       "",
       "Fades pictures, or the music, out.",
       "As `FadeIn`, the other way: from opaque (or full volume) to nothing (50 dB down). After `FadeOut All` "
       "new messages stay invisible until `FadeIn All`.",
       "Another TARGET fades nothing: the fade ends at once and the script goes on (`check` warns).",
       "FadeOut Volume\nFadeOut All\nClear All"},
      {C::MidiLoad,
       {"NAME", "WORD"},
       "",
       "Takes two words and does nothing (music is read when it plays).",
       "Kept so that older scripts run; `MIDIPlay` needs no loading first. The step goes on.",
       "Nothing fails here.",
       "MIDILoad School 1"},
      {C::SeLoad,
       {"FILE", "ALIAS"},
       "",
       "Loads a sound effect under an alias.",
       "FILE is below `GameData\\Music\\SE` (a WAV file); `SEPlay ALIAS` plays it. A FILE loaded before keeps "
       "its first alias, so a script that runs again may load its sounds again. The menus' own sounds, "
       "`決定キー音` (`Kachi04.wav`) and `方向キー音` (`Push11.wav`), are loaded by the engine. The step goes on.",
       "A missing or unreadable FILE shows the box \"セグメントのロードに失敗。\" naming it; the script goes on "
       "and `SEPlay` of the alias plays nothing.",
       "SELoad Door.wav 戸の音\nSEPlay 戸の音"},
      {C::MidiPlay,
       {"NAME"},
       "",
       "Plays a piece of music, over and over.",
       "NAME is a Standard MIDI File below `GameData\\Music\\MIDI`, without its `.mid`. It replaces the piece "
       "playing and starts again when it ends. The step goes on.",
       "A missing NAME is reported on stderr and in the trace (no box) and the music playing goes on; a file "
       "the synthesiser cannot play ends at once, reported once.",
       "MIDIPlay Evening\nFadeIn Volume"},
      {C::SePlay,
       {"ALIAS"},
       "",
       "Plays a sound effect loaded by `SELoad`.",
       "The effect plays over the music and any other effect; the step goes on at once.",
       "An ALIAS no `SELoad` loaded plays nothing, without a report (`check` names it).",
       "SEPlay 足音\nナレーション： ぱたぱたと足音が近づいてくる。"},
      {C::TexLoad,
       {"ALIAS"},
       "",
       "Reads the picture file of an alias afresh.",
       "Pictures are read when first shown; `TexLoad` reads one ahead of time, or again after the file "
       "changed. Pictures selected afterwards show the new file; those on screen keep the old one until they "
       "are selected again. The step goes on.",
       std::string("An ALIAS no `Texture` defined shows the box "
                   "\"エイリアスネームに対応するテクスチャ名が見つかりませんでした。\" naming it, and ") +
           kStepFails + ".",
       "Texture 公園 BG\\Park.png\nTexLoad 公園"},
      {C::TexUnload,
       {"ALIAS"},
       "",
       "Frees the memory of an alias's picture.",
       "A picture on screen keeps showing it until its place is given another picture or cleared; the next "
       "use reads the file again. The step goes on.",
       std::string("An ALIAS no `Texture` defined: as for `TexLoad`, the box and ") + kStepFails + ".",
       "Clear All\nTexUnload 立ち陽菜"},
      {C::SaveMenu,
       {"SCRIPT"},
       "",
       "Opens the save screen.",
       "The screen lists `←戻る` (back) and the three slots with the date and time of their saves (empty ones "
       "read `空き`). A save made there records SCRIPT (a script name without `.Dat`) as the script to resume, "
       "with every variable; after it, the script that opened the screen starts again from its first word. "
       "`←戻る` starts the script the variable `$戻る` names. The slots save to the names the variables "
       "`$セーブデータ1` to `$セーブデータ3` hold, which must be `セーブデータ\\セーブデータ1` to "
       "`セーブデータ\\セーブデータ3` for the screen to find them. The words after `SaveMenu` still run in "
       "this step; from the next press on, the screen holds the script until the player chooses.",
       "Without `$戻る`, choosing `←戻る` shows \"変数の置き換えに失敗\" and then the missing-script box; a save "
       "that cannot be written shows \"セーブデータの書き込みに失敗しました。\" with the reason.",
       "$戻る = 本編\\公園2\nSaveMenu 本編\\公園2"},
      {C::LoadMenu,
       {},
       "",
       "Opens the load screen.",
       "As the save screen, but a slot without a save cannot be chosen; choosing a slot loads it: the "
       "variables come back and the script it recorded starts from its first word. `←戻る` starts the script "
       "`$戻る` names. The step ends, and the game opens the script named last (normally this one) from its "
       "first word, which waits while the screen is open.",
       "If the script named last does not exist, the missing-script box shows and the game asks whether to "
       "quit.",
       "$戻る = オープニング\\オープニング1\nLoadMenu"},
      {C::Save,
       {"SCRIPT", "FILE"},
       "",
       "Saves the game without asking.",
       "Writes `GameData\\Text\\FILE.Dat` (enciphered) with the date, SCRIPT (without `.Dat`) as the script to "
       "resume and every variable that has a value. Either word that names a variable stands for its value. The "
       "step goes on.",
       "A FILE that leads out of the game (`..`, an absolute path) is refused, and so is one whose folder "
       "is missing or cannot be written: the box \"セーブデータの書き込みに失敗しました。\" says why; nothing "
       "is written.",
       "Save 本編\\公園2 セーブデータ\\セーブデータ1"},
      {C::Load,
       {"FILE"},
       "",
       "Loads a save and goes on where it says.",
       "Reads `GameData\\Text\\FILE.Dat`: the variables it holds are set (others keep their values) and the "
       "script it recorded starts from its first word. Pictures and music are not part of a save. Ends the "
       "step.",
       "A missing or unreadable save shows the box \"データのロードに失敗。\" and changes nothing; the script "
       "named last starts again (a script that loads a missing save at its start is stopped after one round, "
       "with one box).",
       "Load セーブデータ\\セーブデータ1"},
      {C::FontMenu,
       {},
       "[FRAME] { フォーマット COLUMNS ROWS メニューアイテム { LABEL ID TARGET ... } }",
       "Offers a choice as lines of text in the message window.",
       "FRAME may only be `InsideSerifuFrame` (the default). The items are laid out in a grid of COLUMNS over "
       "the window's text area, ROWS setting the row height, in ascending ID order (decimal numbers; an ID "
       "given twice keeps the first item). Each LABEL is drawn in white (ＭＳ ゴシック, 14 points), the one "
       "under the cursor brighter; the arrow keys move, decide chooses, and TARGET (a script without `.Dat`, "
       "or a variable holding one) starts from its first word. There is no cancel. Ends the step.",
       "Without `{` after the keyword (and frame) it is no menu and the next word is read as usual. Another "
       "FRAME shows \"フォントメニューの項目が設定されていません。\" and the step fails. A block the script "
       "ends in ends the script. A block without items is reported and passed over. A TARGET variable that "
       "was never declared shows \"変数の置き換えに失敗\", then the missing-script box.",
       "FontMenu {\n  フォーマット 1 3\n  メニューアイテム {\n    「煮干しで呼んでみよう」 1 本編\\公園_煮干し\n"
       "    「静かに待ってみよう」 2 本編\\公園_待つ\n  }\n}"},
      {C::ButtonMenu,
       {},
       "[FRAME] { フォーマット COLUMNS ROWS メニューアイテム { LABEL ID TARGET ... } }",
       "Offers a choice as picture buttons.",
       "As `FontMenu`, but each item is a picture: the alias LABEL followed by `ボタン` (define `はいボタン` "
       "with `Texture` for the label `はい`), stretched to its cell. FRAME `InsideSerifuFrame` (the default) "
       "lays the buttons over the message window (470 × 136 pixels divided by COLUMNS and ROWS), `Left` in a "
       "column at the screen's left edge (150 pixels wide and 400 high, divided the same way). The button "
       "under the cursor moves 2 pixels up and left; while the menu is open the window and its text are "
       "hidden. Ends the step.",
       "As `FontMenu` (the message is \"ボタンメニューの項目が設定されていません。\"); a button whose picture "
       "alias is missing shows \"ボタンテクスチャが見つかりません。\" once each time the menu opens.",
       "Texture はいボタン Button\\Yes.png\nTexture いいえボタン Button\\No.png\n"
       "ButtonMenu { フォーマット 2 1 メニューアイテム { はい 1 本編\\分岐A いいえ 2 本編\\分岐B } }"},
      {C::Texture,
       {"ALIAS", "FILE"},
       "",
       "Names a picture file.",
       "FILE is below `GameData\\Texture` (DDS, TGA, PNG, JPEG or BMP); commands and speaker words use ALIAS. "
       "The first definition of an alias stands for the whole game: defining it again does nothing (define "
       "the game's pictures once, in the opening script). FILE `Nothing` is no picture: an alias of it clears "
       "a place. Also written `texture`. The step goes on.",
       "Nothing fails here; a FILE that cannot be read is reported when the picture is first shown "
       "(\"CPolygon内で、D3DUtil_CreateTextureの失敗。\"), and the place then shows nothing.",
       "Texture 公園 BG\\Park.png\nTexture 陽菜 Face\\Hina.tga\nTexture 立ち陽菜 Chara\\Hina.png"},
      {C::Assign,
       {"=", "VALUE"},
       "",
       "Gives a declared variable a new value.",
       "Any word that begins with `$` (and stands where a command may) is an assignment: `$NAME = VALUE`. A "
       "VALUE that is itself a declared variable's name copies that variable's value. Values are words: text, "
       "or script names for `goto` and menu targets. The step goes on.",
       std::string("Without `=` as the next word: \"変数の代入の構文が間違っています。\"; a NAME no `string` "
       "declared before: \"変数の代入の失敗：変数名が定義されていません。\" (declaring it later in the script "
       "does not help). Either way ") +
           kStepFails + ".",
       "string $結末 = 本編\\結末_待つ\n$結末 = 本編\\結末_煮干し"},
      {C::Goto,
       {"SCRIPT"},
       "",
       "Jumps to another script.",
       "SCRIPT is a script below `GameData\\Text` without `.Dat`, or a variable holding one; it starts from its "
       "first word at once and runs to its first wait. A script cannot jump inside itself. Ends the step.",
       "A SCRIPT variable never declared shows \"変数の置き換えに失敗\" and the step fails; a missing script "
       "shows \"指定された名前のスクリプトファイルが見つかりませんでした。\", and at the next press the game "
       "asks whether to quit.",
       "goto $公園の場面\ngoto オープニング\\オープニング1"},
      {C::String,
       {"NAME"},
       "[= VALUE]",
       "Declares a variable, with a value or empty.",
       "NAME begins with `$` (only such names can be assigned, replaced and saved). With `= VALUE` the "
       "variable starts with VALUE, else empty (and the word after NAME is not taken). Declaring it again "
       "replaces its value. Variables live for the whole game, across scripts, and are saved. The step goes "
       "on.",
       "Nothing fails here.",
       "string $戻る = オープニング\\オープニング1\nstring $ミケの呼び方 = まだ"},
      {C::BG,
       {"ALIAS"},
       "",
       "Shows a picture as the background.",
       "The background covers 620 × 460 pixels at (10, 10) of the 640 × 480 game; the picture is stretched to "
       "it. It stays when another script opens. Also written `bg`. The step goes on.",
       "An ALIAS no `Texture` defined shows the box \"エイリアスネームに対応するテクスチャ名が見つかりませんでした。\" "
       "naming it; the background stays as it was and the script goes on.",
       "Texture 廊下 BG\\Corridor.dds\nBG 廊下"},
      {C::Right,
       {"ALIAS"},
       "",
       "Shows a standing picture on the right.",
       "The place is 200 × 426 pixels at (430, 20); the picture is stretched to it. Standing pictures go "
       "blank when another script opens (set them again there). Also written `right`. The step goes on.",
       "As `BG`: an undefined ALIAS is reported and the place stays as it was.",
       "Right 立ち詩織\nFadeIn Right"},
      {C::Center,
       {"ALIAS"},
       "",
       "Shows a standing picture in the centre.",
       "The place is 200 × 426 pixels at (230, 20). Also written `center`. Otherwise as `Right`.",
       "As `BG`: an undefined ALIAS is reported and the place stays as it was.",
       "Center 立ちミケ"},
      {C::WideCenter,
       {"ALIAS"},
       "",
       "Shows a wide picture in the centre.",
       "The place is 400 × 426 pixels at (130, 20), drawn over the standing pictures (a title, a still). It "
       "stays when another script opens. The step goes on.",
       "As `BG`: an undefined ALIAS is reported and the place stays as it was.",
       "WideCenter タイトルロゴ"},
      {C::Left,
       {"ALIAS"},
       "",
       "Shows a standing picture on the left.",
       "The place is 200 × 426 pixels at (30, 20). Also written `left`. Otherwise as `Right`.",
       "As `BG`: an undefined ALIAS is reported and the place stays as it was.",
       "Left 立ち陽菜笑顔"},
      {C::Clear,
       {"TARGET"},
       "",
       "Takes pictures away.",
       "TARGET `Left`, `Right`, `Center` or `WideCenter` empties that place; `All` empties all four. The "
       "background and the speaker's face stay. Only these spellings count (`left` is no target). The step "
       "goes on.",
       "Another TARGET is taken and does nothing (`check` warns).",
       "Clear All\nBG 夜の公園"},
  };
  return entries;
}

std::string KeywordSynopsis(const KeywordEntry& entry) {
  const script::Keyword& row = script::Keywords()[size_t(entry.command)];
  std::string out = row.dollarPrefix ? "$NAME" : platform::Cp932ToUtf8(row.word);
  for (const std::string& a : entry.arguments) out += " " + a;
  if (!entry.more.empty()) out += " " + entry.more;
  return out;
}

namespace {
// The words a heading names the keyword by.
std::string Title(const KeywordEntry& entry) {
  const script::Keyword& row = script::Keywords()[size_t(entry.command)];
  if (row.dollarPrefix) return "`$NAME = VALUE` (assignment)";
  std::string title = "`" + platform::Cp932ToUtf8(row.word) + "`";
  if (!row.otherSpelling.empty()) title += " or `" + platform::Cp932ToUtf8(row.otherSpelling) + "`";
  return title;
}

std::string Anchor(const KeywordEntry& entry) {
  const script::Keyword& row = script::Keywords()[size_t(entry.command)];
  return row.dollarPrefix ? "assignment" : platform::Cp932ToUtf8(row.word);
}

std::string Indented(const std::string& text) {
  std::string out = "    ";
  for (char c : text) {
    out += c;
    if (c == '\n') out += "    ";
  }
  return out + "\n";
}
}  // namespace

std::string KeywordMarkdown(const KeywordEntry& entry) {
  std::string out = "### " + Title(entry) + "\n\n";
  out += "    " + KeywordSynopsis(entry) + "\n\n";
  out += entry.summary + " " + entry.does + "\n\n";
  out += "**If it fails:** " + entry.fails + "\n\n";
  out += "**Example:**\n\n" + Indented(entry.example);
  return out;
}

std::string KeywordReferenceMarkdown() {
  std::string out =
      "The keywords in the order a pass tests them (see [How a script runs](#how-a-script-runs)), with the "
      "words each takes. Words in capitals stand for the script's own words; `[...]` may be left out.\n\n"
      "| keyword | words | what it does |\n|---|---|---|\n";
  for (const KeywordEntry& e : KeywordEntries()) {
    out += "| " + Title(e) + " | `" + KeywordSynopsis(e) + "` | " + e.summary + " |\n";
  }
  for (const KeywordEntry& e : KeywordEntries()) {
    out += "\n<a id=\"keyword-" + Anchor(e) + "\"></a>\n" + KeywordMarkdown(e);
  }
  return out;
}

const KeywordEntry* FindKeywordEntry(const std::string& utf8Word) {
  const std::string word = platform::Utf8ToCp932Lossy(utf8Word);
  for (const KeywordEntry& e : KeywordEntries()) {
    if (script::Keywords()[size_t(e.command)].Matches(word)) return &e;
  }
  return nullptr;
}

}  // namespace scripttool
