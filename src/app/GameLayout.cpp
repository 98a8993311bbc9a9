#include "app/GameLayout.h"

MsgBoxLayout GameLayout() {
  auto place = [](float x, float y, float w, float h) { return SpriteRect{x, y, 0.9f, w, h, 0}; };
  MsgBoxLayout layout;
  layout.bg = place(10, 10, 620, 460);
  layout.pictureFrame = place(10, 296, 136, 136);
  layout.speaker = place(12, 300, 128, 128);
  layout.window = place(160, 296, 470, 136);
  layout.left = place(30, 20, 200, 426);
  layout.center = place(230, 20, 200, 426);
  layout.right = place(430, 20, 200, 426);
  layout.wideCenter = place(130, 20, 400, 426);
  layout.alpha = 255;
  return layout;
}
