#pragma once
// The placements the application hands the message window.
#include <cstdint>

// One placement: position (x, y in screen pixels, z depth) and size.
struct SpriteRect {
  float x = 0, y = 0, z = 0;
  float w = 0, h = 0, d = 0;
};

// What the application hands to SetLayout, in this order.
struct MsgBoxLayout {
  SpriteRect bg;
  SpriteRect pictureFrame;
  SpriteRect speaker;
  SpriteRect window;
  SpriteRect left;
  SpriteRect center;
  SpriteRect right;
  SpriteRect wideCenter;
  int32_t alpha = 0;
};

// The part of the layout the window keeps (the window placement is also the
// dialogue frame the menus and the save/load screen lay out in).
struct MsgBoxKeptLayout {
  SpriteRect bg;
  SpriteRect pictureFrame;
  SpriteRect speaker;
  SpriteRect window;
  int32_t alpha = 0;
};
