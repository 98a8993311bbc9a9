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

}  // namespace makeart
