// The script interpreter driven through real script files: keyword order,
// speaker words, row breaks, variables, jumps and the end of a script.
#include <fstream>
#include <sstream>

#include "support/MsgBoxTestSupport.h"
#include "platform/diagnostics/Trace.h"

using namespace msgboxtest;
using CMsgBoxInterpreter = MsgBoxTest;

TEST_F(CMsgBoxInterpreter, KeywordInArgumentPositionIsTakenAsArgument) {
  ASSERT_EQ(Run({"NextScriptFile", "goto", "Texture", "BG", "bg.tga", "BG", "BG", "太郎：", "GameEnd"}), S_OK);
  EXPECT_EQ(U(CMsgBox::currentScriptName), "goto");
  EXPECT_EQ(box->Script().TextureAliases().at("BG"), "bg.tga");
  EXPECT_EQ(box->Window().BgSprite()->textureName, "bg.tga");
  // The text of a speaker word is never a command.
  EXPECT_EQ(Message(), "太郎：GameEnd\n\n");
  EXPECT_TRUE(box->Script().Running());
}

TEST_F(CMsgBoxInterpreter, CommandsRunInFileOrderAcrossPasses) {
  // BG stands late in the table and Texture early: a Texture after a BG
  // still runs after it, in the next pass.
  ASSERT_EQ(Run({"string", "$a", "=", "x", "Texture", "b", "bg.tga", "BG", "b", "Texture", "c", "wide.tga",
                 "WideCenter", "c", "$a", "=", "y", "テキスト"}),
            S_OK);
  EXPECT_EQ(box->Window().BgSprite()->textureName, "bg.tga");
  EXPECT_EQ(box->Window().WideCenterSprite()->textureName, "wide.tga");
  EXPECT_EQ(box->Script().Variables().at("$a"), "y");
  EXPECT_EQ(Message(), "テキスト\n\n");
}

TEST_F(CMsgBoxInterpreter, KeywordAfterAnUnopenedMenuIsOnlyTestedAgainstLaterKeywords) {
  // "ButtonMenu frame" without "{" opens nothing; the pass goes on with the
  // keywords after ButtonMenu, so Battle (earlier in the table) is text...
  ASSERT_EQ(Run({"ButtonMenu", "Left", "Battle", "次"}), S_OK);
  EXPECT_EQ(Message(), "Battle\n\n");
  // ...while BG (later in the table) runs as a command.
  ASSERT_EQ(Run({"Texture", "b", "bg.tga", "ButtonMenu", "Left", "BG", "b", "次"}), S_OK);
  EXPECT_EQ(box->Window().BgSprite()->textureName, "bg.tga");
  EXPECT_EQ(Message(), "次\n\n");
}

TEST_F(CMsgBoxInterpreter, SpeakerWordsSetLabelAndPicture) {
  ASSERT_EQ(Run({"Texture", "太郎", "taro.tga", "Texture", "太郎・笑顔", "taro_smile.tga", "太郎：", "こんにちは。", "元気？",
                 ".", "太郎・笑顔：", "はは。", ".", "花子・怒り：", "もう。"}),
            S_OK);
  EXPECT_EQ(Message(), "太郎：こんにちは。\n\n");
  EXPECT_EQ(U(box->Window().SpeakerKey()), "太郎");
  EXPECT_EQ(box->Window().SpeakerSprite()->textureName, "taro.tga");
  EXPECT_TRUE(box->Window().SpeakerSprite()->texture);

  // A plain text word keeps the last label; without "." typing goes on from
  // where it was.
  box->FrameMove();
  box->FrameMove();  // two full-width characters typed
  uint32_t typedBefore = box->Window().TypedLength();
  ASSERT_EQ(typedBefore, 4u);
  ASSERT_EQ(box->Step(), S_OK);
  EXPECT_EQ(Message(), "太郎：元気？\n\n");
  EXPECT_EQ(box->Window().TypedLength(), typedBefore);

  // A registered picture variant is labelled with the name before "・".
  ASSERT_EQ(box->Step(), S_OK);
  EXPECT_EQ(Message(), "太郎：はは。\n\n");
  EXPECT_EQ(box->Window().TypedLength(), 0u);
  EXPECT_EQ(box->Window().SpeakerSprite()->textureName, "taro_smile.tga");

  // An unregistered name keeps its "・" and leaves the picture.
  ASSERT_EQ(box->Step(), S_OK);
  EXPECT_EQ(Message(), "花子・怒り：もう。\n\n");
  EXPECT_EQ(box->Window().SpeakerSprite()->textureName, "taro_smile.tga");
}

TEST_F(CMsgBoxInterpreter, NarrationAndTheNothingPicture) {
  ASSERT_EQ(Run({"Texture", "Nothing", "nothing.tga", "Texture", "太郎", "taro.tga", "太郎：", "やあ", ".",
                 "ナレーション：", "夜が明けた。"}),
            S_OK);
  ASSERT_EQ(box->Step(), S_OK);
  EXPECT_EQ(Message(), "夜が明けた。\n\n");
  EXPECT_EQ(box->Window().SpeakerLabel(), "");
  // An unregistered speaker shows the picture of the alias "Nothing".
  EXPECT_EQ(box->Window().SpeakerSprite()->textureName, "nothing.tga");

  // Registered as an alias, narration is an ordinary name.
  ASSERT_EQ(Run({"Texture", "ナレーション", "hanako.tga", "ナレーション：", "朝。"}), S_OK);
  EXPECT_EQ(Message(), "ナレーション：朝。\n\n");
  EXPECT_EQ(box->Window().SpeakerSprite()->textureName, "hanako.tga");
}

TEST_F(CMsgBoxInterpreter, HiddenSpeakers) {
  ASSERT_EQ(Run({"Texture", "太郎", "taro.tga", "＊太郎：", "誰だ", "＊謎の男：", "ふふ"}), S_OK);
  EXPECT_EQ(Message(), "？？？：誰だ\n\n");
  EXPECT_EQ(U(box->Window().SpeakerKey()), "太郎");
  EXPECT_EQ(box->Window().SpeakerSprite()->textureName, "taro.tga");
  ASSERT_EQ(box->Step(), S_OK);
  EXPECT_EQ(Message(), "？？？：ふふ\n\n");
  EXPECT_EQ(box->Window().SpeakerKey(), "Nothing");
  EXPECT_EQ(box->Window().SpeakerSprite()->textureName, "taro.tga");
}

TEST_F(CMsgBoxInterpreter, TwoSpeakerWordsInARow) {
  ASSERT_EQ(Run({"太郎：", "花子：", "本文"}), S_OK);
  EXPECT_EQ(Message(), "太郎：花子：\n\n");
  ASSERT_EQ(box->Step(), S_OK);
  EXPECT_EQ(Message(), "太郎：本文\n\n");
}

TEST_F(CMsgBoxInterpreter, RowBreaksAtBytes52And104) {
  auto text = [](size_t n) { return std::string(n, 'a'); };
  ASSERT_EQ(Run({text(52), text(53), text(104), text(105), "ab：", text(103)}), S_OK);
  EXPECT_EQ(box->Window().MessageText(), text(52) + "\n\n");
  ASSERT_EQ(box->Step(), S_OK);
  EXPECT_EQ(box->Window().MessageText(), text(52) + "\n\n" + "a" + "\n\n");
  ASSERT_EQ(box->Step(), S_OK);
  EXPECT_EQ(box->Window().MessageText(), text(52) + "\n\n" + text(52) + "\n\n");
  ASSERT_EQ(box->Step(), S_OK);
  // The break at 104 comes first, so the second one stands at byte 106.
  EXPECT_EQ(box->Window().MessageText(), text(52) + "\n\n" + text(52) + "\n\n" + "a" + "\n\n");
  // The label counts: "ab：" is four bytes.
  ASSERT_EQ(box->Step(), S_OK);
  EXPECT_EQ(box->Window().MessageText().size(), 107u + 6u);
  EXPECT_EQ(box->Window().MessageText().substr(104 + 2, 2), "\n\n");
}

TEST_F(CMsgBoxInterpreter, RowBreakMaySplitADoubleByteCharacter) {
  // "a" then 26 full-width characters: byte 52 is a trail byte.
  std::string utf8 = "a";
  for (int i = 0; i < 26; ++i) utf8 += "あ";
  ASSERT_EQ(Run({utf8}), S_OK);
  ASSERT_EQ(box->Window().MessageText().size(), 53u + 4u);
  EXPECT_EQ(box->Window().MessageText().substr(52, 2), "\n\n");
  EXPECT_EQ(static_cast<unsigned char>(box->Window().MessageText()[51]), 0x82);  // the lead byte of the last あ
}

TEST_F(CMsgBoxInterpreter, VariablesDeclareAssignAndCopy) {
  ASSERT_EQ(Run({"string", "$a", "=", "一", "string", "$b", "string", "plain", "=", "v", "$b", "=", "$a", "$a", "=",
                 "二", "string", "$a", "表示"}),
            S_OK);
  EXPECT_EQ(box->Script().Variables().at("$a"), "");  // declared again without "=": emptied
  EXPECT_EQ(U(box->Script().Variables().at("$b")), "一");
  EXPECT_EQ(box->Script().Variables().at("plain"), "v");
  EXPECT_EQ(Message(), "表示\n\n");

  // "string" with a name and no "=": the next word runs as usual.
  ASSERT_EQ(Run({"string", "$c", "Texture", "x", "bg.tga", "次"}), S_OK);
  EXPECT_EQ(box->Script().Variables().at("$c"), "");
  EXPECT_EQ(box->Script().TextureAliases().at("x"), "bg.tga");
  // Variables and aliases outlive the script that made them.
  EXPECT_EQ(box->Script().Variables().count("$a"), 1u);
}

TEST_F(CMsgBoxInterpreter, VariableFailures) {
  testing::internal::CaptureStderr();
  // Undeclared even though a later "string" would declare it.
  EXPECT_EQ(Run({"$x", "=", "1", "string", "$x", "text"}), E_FAIL);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("変数の代入の失敗：変数名が定義されていません。"), std::string::npos);
  EXPECT_EQ(box->Script().Position(), 2u);  // on the value
  EXPECT_EQ(box->Script().Variables().count("$x"), 0u);

  testing::internal::CaptureStderr();
  EXPECT_EQ(Run({"string", "$x", "$x", "is", "2"}), E_FAIL);
  err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("変数の代入の構文が間違っています。"), std::string::npos);
  EXPECT_EQ(Word(), "is");

  // AssignVariable and ReplaceVariable directly.
  std::string word = W("$x");
  EXPECT_TRUE(box->ReplaceVariable(word));
  EXPECT_EQ(word, "");
  word = "$nothing";
  EXPECT_FALSE(box->ReplaceVariable(word));
  EXPECT_EQ(word, "$nothing");
  EXPECT_FALSE(box->AssignVariable("v", "$nothing"));
  EXPECT_EQ(box->Script().Variables().count("$nothing"), 0u);
}

TEST_F(CMsgBoxInterpreter, GotoOpensTheNamedScript) {
  std::filesystem::create_directories("GameData/Text/第二章");
  WriteScript("第二章\\二.Dat", {"二章です"});
  ASSERT_EQ(Run({"string", "$next", "=", "第二章\\二", "goto", "$next", "unused"}), S_OK);
  EXPECT_EQ(U(CMsgBox::currentScriptName), "第二章\\二.Dat");
  EXPECT_EQ(Message(), "二章です\n\n");
  EXPECT_EQ(box->Script().Words().size(), 1u);

  testing::internal::CaptureStderr();
  EXPECT_EQ(Run({"goto", "$undeclared"}), E_FAIL);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("変数の置き換えに失敗"), std::string::npos);
  EXPECT_EQ(Word(), "$undeclared");
}

TEST_F(CMsgBoxInterpreter, ScriptsThatJumpWithoutWaitingDoNotNestWithoutEnd) {
  WriteScript("loop.Dat", {"goto", "loop"});
  ASSERT_EQ(box->StartScript("loop.Dat"), S_OK);
  EXPECT_TRUE(box->Script().Running());
  EXPECT_EQ(box->Script().Position(), 0u);
  EXPECT_EQ(box->Step(), S_OK);  // one more round of jumps per step
}

TEST_F(CMsgBoxInterpreter, GotoToAMissingFileFailsOnTheNextStep) {
  testing::internal::CaptureStderr();
  ASSERT_EQ(Run({"goto", "ない"}), S_OK);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("指定された名前のスクリプトファイルが見つかりませんでした。"),
            std::string::npos);
  EXPECT_FALSE(box->Script().Running());
  EXPECT_TRUE(box->Script().Words().empty());
  EXPECT_EQ(U(CMsgBox::currentScriptName), "ない.Dat");
  // The frame loop's answer to the next step: start currentScriptName, which fails again.
  EXPECT_EQ(box->StepIfIdle(), E_FAIL);
  testing::internal::CaptureStderr();
  EXPECT_EQ(box->StartScript(CMsgBox::currentScriptName), E_FAIL);
  testing::internal::GetCapturedStderr();
}

TEST_F(CMsgBoxInterpreter, StartScriptFailsOnEmptyOrMissingNames) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(box->StartScript(""), E_FAIL);
  EXPECT_EQ(box->StartScript("missing.Dat"), E_FAIL);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(box->Script().Running());
  EXPECT_EQ(box->Step(), E_FAIL);
  size_t first = err.find("指定された名前のスクリプトファイルが見つかりませんでした。");
  ASSERT_NE(first, std::string::npos);
  EXPECT_NE(err.find("指定された名前のスクリプトファイルが見つかりませんでした。", first + 1), std::string::npos);
}

TEST_F(CMsgBoxInterpreter, StoppingWords) {
  ASSERT_EQ(Run({"最初", "GameEnd", "後"}), S_OK);
  EXPECT_EQ(box->Step(), GameEndResult);
  EXPECT_FALSE(box->Script().Running());
  EXPECT_EQ(box->Step(), GameEndResult);
  EXPECT_EQ(Word(), "GameEnd");

  // StartScript lets Battle and Map through as success; Step returns them.
  ASSERT_EQ(Run({"Battle", "x"}), S_OK);
  EXPECT_EQ(box->Step(), BattleResult);
  EXPECT_EQ(Word(), "Battle");
  EXPECT_TRUE(box->Script().Running());
  ASSERT_EQ(Run({"Map"}), S_OK);
  EXPECT_EQ(box->Step(), MapResult);
  EXPECT_EQ(Run({"GameEnd"}), GameEndResult);
}

TEST_F(CMsgBoxInterpreter, TheEndOfTheWords) {
  // The last text word ends the script one step later.
  ASSERT_EQ(Run({"NextScriptFile", "次.Dat", "太郎：", "終わり"}), S_OK);
  EXPECT_EQ(U(CMsgBox::currentScriptName), "次.Dat");
  EXPECT_EQ(box->Step(), E_FAIL);
  EXPECT_FALSE(box->Script().Running());

  // Words missing after a command or a speaker word end the script there;
  // nothing is read beyond the list.
  for (std::vector<std::string> words : std::vector<std::vector<std::string>>{
           {"Texture", "a"}, {"MIDILoad", "a"}, {"$a"}, {"string", "$a", "="}, {"goto"}, {"Clear"},
           {"太郎："}, {"."}, {"BG", "x"}, {"ButtonMenu", "{", "x"}}) {
    SCOPED_TRACE(words[0]);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run(words), E_FAIL);
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(box->Script().Running());
    EXPECT_EQ(box->Script().Position(), box->Script().Words().size());
  }
  // A file with no words opens; its first step finds the end.
  WriteScript("empty.Dat", {});
  EXPECT_EQ(box->OpenScript("empty.Dat"), S_OK);
  EXPECT_EQ(box->Step(), E_FAIL);
}

TEST_F(CMsgBoxInterpreter, WaitFlagsHoldTheScript) {
  ASSERT_EQ(Run({"一", "二"}), S_OK);
  using Hold = CMsgBox::Hold;
  for (Hold hold : {Hold::ButtonMenu, Hold::FontMenu, Hold::ImageFade, Hold::MusicFade}) {
    box->ForceHold(hold, true);
    EXPECT_EQ(box->Step(), S_OK);
    EXPECT_EQ(Message(), "一\n\n");
    box->ForceHold(hold, false);
  }
  box->ForceHold(CMsgBox::Hold::Typing, true);
  EXPECT_EQ(box->StepIfIdle(), S_OK);
  EXPECT_EQ(Message(), "一\n\n");
  box->ForceHold(CMsgBox::Hold::Typing, false);
  EXPECT_EQ(box->StepIfIdle(), S_OK);
  EXPECT_EQ(Message(), "二\n\n");
}

TEST_F(CMsgBoxInterpreter, OpeningAScriptBlanksOnlyTheCharacterPictures) {
  ASSERT_EQ(Run({"Texture", "a", "taro.tga", "Texture", "b", "bg.tga", "Texture", "w", "wide.tga", "Left", "a", "Right",
                 "a", "Center", "a", "BG", "b", "WideCenter", "w", "文"}),
            S_OK);
  box->FrameMove();
  ASSERT_GT(box->Window().TypedLength(), 0u);
  WriteScript("next.Dat", {"次"});
  ASSERT_EQ(box->OpenScript("next.Dat"), S_OK);
  for (CPolygon* sprite : {box->Window().LeftSprite().get(), box->Window().RightSprite().get(), box->Window().CenterSprite().get()}) {
    EXPECT_FALSE(sprite->texture);
    EXPECT_EQ(sprite->textureName, "taro.tga");
  }
  EXPECT_TRUE(box->Window().BgSprite()->texture);
  EXPECT_TRUE(box->Window().WideCenterSprite()->texture);
  EXPECT_EQ(box->Window().TypedLength(), 0u);
  EXPECT_EQ(Message(), "文\n\n");  // kept until the next text word
  EXPECT_TRUE(box->Script().Running());
  EXPECT_EQ(box->Script().Position(), 0u);
}

TEST_F(CMsgBoxInterpreter, EncipheredScriptsAreRead) {
  CTextFile enciphered(true);
  box->Init(&enciphered, nullptr, actions, nullptr, nullptr, W("ＭＳ Ｐゴシック"), 12, 1);
  box->SetLayout(GameLayout());
  std::filesystem::create_directories("GameData/Text/" + std::string("オープニング"));
  WriteScript("オープニング\\オープニング1.Dat", {"太郎：", "暗号文"}, true);
  ASSERT_EQ(box->StartScript(W("オープニング\\オープニング1.Dat")), S_OK);
  EXPECT_EQ(Message(), "太郎：暗号文\n\n");
}

TEST_F(CMsgBoxInterpreter, TraceCarriesStateAndEvents) {
  std::string path = (std::filesystem::current_path() / "trace.jsonl").string();
  ASSERT_TRUE(platform::trace::Open(path));
  box->SetVariable(W("$名"), W("値"));
  actions[7] = 1;
  ASSERT_EQ(Run({"太郎：", "こんにちは"}), S_OK);
  platform::trace::EndFrame(1, 16);
  platform::trace::Close();
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  std::string line = text.str();
  EXPECT_NE(line.find(R"({"type":"open","name":"test.Dat","result":0})"), std::string::npos);
  EXPECT_NE(line.find(R"({"type":"step","result":0})"), std::string::npos);
  EXPECT_NE(line.find(R"("message":"太郎：こんにちは\n\n")"), std::string::npos);
  EXPECT_NE(line.find(R"("speakerLabel":"太郎：")"), std::string::npos);
  EXPECT_NE(line.find(R"("variables":{"$名":"値"})"), std::string::npos);
  EXPECT_NE(line.find(R"("actions":{"7":1})"), std::string::npos);
  EXPECT_NE(line.find(R"("running":true)"), std::string::npos);
  EXPECT_NE(line.find(R"("window":{"name":"MsgBox\\MsgBox.dds","shown":true,"alpha":255,"x":160,"y":296,"w":470,"h":136})"),
            std::string::npos);
}
