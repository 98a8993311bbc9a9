#pragma once
// A stylised schoolgirl in a sailor uniform, built from shapes in a model
// space of 200 x 426 (the standing picture's size): face, eyes, hair, body.
// The look (colours, hair, glasses, cardigan) and the mood vary per picture;
// the view of the canvas decides whether it becomes a standing picture or a
// close-up of the face.
#include <vector>

#include "Canvas.h"
#include "Catalog.h"

namespace makeart {

enum class HairCut { Bob, Long };

struct Look {
  HairCut cut = HairCut::Bob;
  Color hair, hairShadow, hairLight, hairLine;
  Color eye, eyeDark, eyeLight;
  Color skin = Hex(0xFFE9DC), skinShadow = Hex(0xF3C3AE), skinLine = Hex(0x8A4E40);
  Color blush = Hex(0xFF8A94);
  bool glasses = false;
  bool cardigan = false;
  bool hairClip = false;
  bool ahoge = false;
  float lidDrop = 0;  // lowers the upper lids: a calmer, sleepier look
  Color accent;       // hair clip or glasses frame
};

void DrawFigure(Canvas& canvas, const Look& look, Mood mood);

}  // namespace makeart
