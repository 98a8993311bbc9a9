#include "NewGame.h"

namespace scripttool {

// A short story of a title, a choice, a rest point with a save screen and an
// ending, written to show each kind of command once, with comments that say
// what each does. Battle and Map are left out: in this engine they only
// stop a script for good.
const std::vector<NewGameFile>& NewGameScripts() {
  static const std::vector<NewGameFile> scripts = {
      {"オープニング/オープニング1.txt", R"(/* タイトル画面。ゲームはいつもこの台本から始まる。 */
/* 絵と音の名前（エイリアス）と変数は、ここで一度だけ決める。Texture は最初の */
/* 定義が残り、同じファイルの SELoad は二度目には何もしないので、タイトルに */
/* 戻るたびにここを通っても困らない。言葉はすべて vantorel-script help で引ける。 */

/* 絵：Texture エイリアス ファイル（GameData/Texture から）。 */
/* 話し手と同じ名前のエイリアスが、その話し手の顔になる。Nothing は絵なし。 */
Texture Nothing Nothing
Texture 公園 BG\Park.png
Texture 夜の公園 BG\ParkNight.jpg
Texture タイトル Title\Logo.png
Texture 立ち陽菜 Chara\Hina.png
Texture 立ち陽菜笑顔 Chara\HinaSmile.png
Texture 立ち詩織 Chara\Shiori.png
Texture 立ちミケ Chara\Mike.png
Texture 陽菜 Face\Hina.tga
Texture 陽菜・笑顔 Face\HinaSmile.tga
Texture 詩織 Face\Shiori.tga
Texture ミケ Face\Mike.tga

/* ボタンの絵は、項目の名前に「ボタン」をつけたエイリアスで引かれる。 */
Texture はじめからボタン Button\Start.png
Texture つづきからボタン Button\Continue.png
Texture キー設定ボタン Button\Keys.png
Texture おわるボタン Button\Quit.png
Texture セーブボタン Button\Save.png
Texture つづけるボタン Button\GoOn.png

/* 効果音：SELoad ファイル エイリアス（GameData/Music/SE から）。 */
SELoad Sparkle.wav きらめき
SELoad Footsteps.wav 足音
SELoad Meow.wav 鳴き声

/* セーブ画面とロード画面が使う変数。「←戻る」の行き先は、画面を開く台本が決める。 */
string $戻る = オープニング\オープニング1
string $セーブデータ1 = セーブデータ\セーブデータ1
string $セーブデータ2 = セーブデータ\セーブデータ2
string $セーブデータ3 = セーブデータ\セーブデータ3

/* 物語の分かれ道を覚えておく変数。セーブに残る。 */
string $呼び方

/* タイトル画面。MIDILoad は古い台本のための言葉で、何もしない（音楽は鳴らすときに読まれる）。 */
Clear All
BG 公園
WideCenter タイトル
MIDILoad Theme 1
MIDIPlay Theme
FadeIn Images
SEPlay きらめき
ButtonMenu Left {
  フォーマット 1 6
  メニューアイテム {
    はじめから 1 本編\はじまり
    つづきから 2 システム\ロード画面
    キー設定 3 システム\キー設定
    おわる 4 システム\おわり
  }
}
)"},
      {"本編/はじまり.txt", R"(/* 物語のはじまり。FadeOut All で画面を消し、絵を替えてから FadeIn All で戻す。 */
/* フェードの間は決定ボタンが効かず、終わると台本がひとりでに進む。 */
FadeOut All
Clear All
BG 公園
/* TexLoad は絵を先に読んでおく。 */
TexLoad 立ち陽菜
FadeIn All
ナレーション： 放課後の公園。芝生が夕日に染まっている。
.
SEPlay 足音
＊陽菜： 「おーい、待ってー！」
.
Left 立ち陽菜
FadeIn Left
陽菜： 「やっと追いついた。猫を探しに来たんでしょ？」
.
Right 立ち詩織
FadeIn Right
詩織： 「ベンチの下に、いるかもしれない」
.
ナレーション： さて、どうしよう。
.
FontMenu {
  フォーマット 1 3
  メニューアイテム {
    「名前を呼んでみる」 1 本編\呼ぶ
    「静かに待ってみる」 2 本編\待つ
  }
}
)"},
      {"本編/呼ぶ.txt", R"(/* 選んだ道を変数に覚えておく。NextScriptFile は、この台本を読み終えたら */
/* 開く台本を決める（拡張子 .Dat まで書く）。 */
$呼び方 = ミケ
NextScriptFile 本編\ひと休み.Dat
Left 立ち陽菜笑顔
Right 立ち詩織
陽菜・笑顔： 「ミケー！　出ておいでー！」
.
Center 立ちミケ
SEPlay 鳴き声
ミケ： 「にゃー」
)"},
      {"本編/待つ.txt", R"(/* goto は、すぐに別の台本へ移る（拡張子なし）。 */
$呼び方 = ねこさん
Left 立ち陽菜
Right 立ち詩織
詩織： 「……しーっ」
.
Center 立ちミケ
ミケ： 「……にゃ」
.
goto 本編\ひと休み
)"},
      {"本編/ひと休み.txt", R"(/* ひと休み。台本が替わると立ち絵は消えるので、もう一度出す。 */
/* ウィンドウの中のボタンで、セーブするか、先へ進むかを選ぶ。 */
Left 立ち陽菜笑顔
Center 立ちミケ
Right 立ち詩織
ナレーション： 空がゆっくりと、夜の色に変わっていく。
.
ButtonMenu {
  フォーマット 3 1
  メニューアイテム {
    セーブ 1 本編\セーブ画面
    つづける 2 本編\夜
  }
}
)"},
      {"本編/セーブ画面.txt", R"(/* セーブ画面。セーブは夜の場面から始まり、「←戻る」も夜の場面へ進む。 */
/* セーブするとこの台本がもう一度始まり、画面が開き直す。 */
$戻る = 本編\夜
SaveMenu 本編\夜
どこにセーブしますか？
)"},
      {"本編/夜.txt", R"(/* 夜の場面。音楽と絵をいったん消し、替えてから戻す。 */
FadeOut Volume
FadeOut All
Clear All
BG 夜の公園
MIDIPlay Night
FadeIn Volume
FadeIn All
Left 立ち陽菜
Right 立ち詩織
ナレーション： 気がつけば、街灯に明かりがともっていた。
.
陽菜： 「また明日も来ようね」
.
/* Save は画面なしでセーブし、Load はそれを読んで、記録した台本を最初から始める。 */
/* ここでは、しおりを書いてすぐに読み、結末へ進む。 */
Save 本編\結末 セーブデータ\しおり
Load セーブデータ\しおり
)"},
      {"本編/結末.txt", R"(/* 結末。TexUnload は、もう使わない絵のメモリを返す。GameEnd で物語が終わる。 */
Clear All
TexUnload 立ち陽菜
WideCenter タイトル
FadeIn Images
ナレーション： おしまい。　遊んでくれて、ありがとう。
GameEnd
)"},
      {"システム/ロード画面.txt", R"(/* タイトルから開くロード画面。「←戻る」でタイトルへ戻る。 */
$戻る = オープニング\オープニング1
LoadMenu
)"},
      {"システム/キー設定.txt", R"(/* キー設定の画面。閉じたらタイトルへ戻る。 */
キーコンフィグ
goto オープニング\オープニング1
)"},
      {"システム/おわり.txt", R"(/* タイトルの「おわる」。 */
ナレーション： また遊んでね。　ウィンドウを閉じると、ゲームが終わります。
GameEnd
)"},
  };
  return scripts;
}

}  // namespace scripttool
