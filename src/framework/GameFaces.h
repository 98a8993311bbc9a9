#pragma once
// The font faces the game's text is drawn with, in UTF-8 (turn to CP932
// with SJ). The engine and the script checker both take them from here.
namespace gamefaces {
inline constexpr char kMessageFace[] = "ＭＳ Ｐゴシック";  // messages and speaker labels
inline constexpr char kMenuFace[] = "ＭＳ ゴシック";       // the text menu and the save screen
inline constexpr int kMessagePointSize = 12;  // the message font's size and style (1: bold)
inline constexpr unsigned kMessageStyle = 1;
}  // namespace gamefaces
