#pragma once
// Every picture the tool can draw, by name.
#include <functional>
#include <string>
#include <vector>

#include "Canvas.h"

namespace makeart {

struct PictureEntry {
  std::string name;
  std::string description;
  std::function<Image()> draw;
};

const std::vector<PictureEntry>& Catalog();

// The drawings, grouped by the file that holds them.
Image DrawMessageWindow();   // 470 x 136
Image DrawPictureFrame();    // 136 x 136, open in the middle
Image DrawWaitCursor();      // 96 x 32: four 24 x 32 frames side by side
Image DrawCorridor();        // 640 x 480
Image DrawPark(bool night);  // 640 x 480

enum class Cast { Hina, Shiori };
enum class Mood { Normal, Smile, Surprised };
Image DrawStanding(Cast who, Mood mood);  // 200 x 426
Image DrawFace(Cast who, Mood mood);      // 128 x 128
Image DrawCat(bool face);                 // 200 x 426 standing, or 128 x 128 face
// Picture buttons with a lettered label (UTF-8): for the title's column at
// the left edge (150 x 66) and for menus inside the message window (156 x 136).
Image DrawTitleButton(const std::string& labelUtf8);
Image DrawWindowButton(const std::string& labelUtf8);
Image DrawTitleLogo();  // 400 x 426, the title lettered over a glow
// The same glow and stars with another title (UTF-8) and a line below it.
// `face` letters the title: the fixed-pitch Gothic suits Japanese; Latin
// reads better in the proportional one (bold fills the fixed-pitch "m").
Image DrawTitleLogoOf(const std::string& title, const std::string& subtitle, const char* face = "ＭＳ ゴシック");
Image DrawIcon(int size);  // the application icon, size x size

}  // namespace makeart
