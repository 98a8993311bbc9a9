// The cast: 陽菜 (Hina), cheerful, with a brown bob and a star clip, and
// 詩織 (Shiori), quiet, with long black hair, glasses and a cardigan.
#include "Figure.h"

namespace makeart {
namespace {

Look LookOf(Cast who) {
  Look l;
  if (who == Cast::Hina) {
    l.cut = HairCut::Bob;
    l.hair = Hex(0xA8623E);
    l.hairShadow = Hex(0x74402C);
    l.hairLight = Hex(0xF2B98A);
    l.hairLine = Hex(0x4A2418);
    l.eye = Hex(0xD4782A);
    l.eyeDark = Hex(0x6A2A10);
    l.eyeLight = Hex(0xFFCB6A);
    l.hairClip = true;
    l.ahoge = true;
    l.accent = Hex(0xFFC93A);
  } else {
    l.cut = HairCut::Long;
    l.hair = Hex(0x343048);
    l.hairShadow = Hex(0x1C1A2A);
    l.hairLight = Hex(0x8E8EC0);
    l.hairLine = Hex(0x120F1C);
    l.eye = Hex(0x7A58B0);
    l.eyeDark = Hex(0x2C1A50);
    l.eyeLight = Hex(0xC8A8F0);
    l.glasses = true;
    l.cardigan = true;
    l.lidDrop = 2.5f;
    l.accent = Hex(0x7A2E44);
  }
  return l;
}

}  // namespace

Image DrawStanding(Cast who, Mood mood) {
  Canvas c(200, 426);
  DrawFigure(c, LookOf(who), mood);
  return c.ToImage();
}

Image DrawFace(Cast who, Mood mood) {
  Canvas c(128, 128);
  Color a = who == Cast::Hina ? Hex(0xFFE2C4) : Hex(0xE2DAF4);
  Color b = who == Cast::Hina ? Hex(0xF6A88A) : Hex(0x9A8CC8);
  c.FillAll(Linear(0, 0, 40, 128, {{0.0f, a}, {1.0f, b}}));
  // Soft round lights behind the head.
  for (int i = 0; i < 6; ++i) {
    float x = float((i * 47) % 128), y = float((i * 71 + 20) % 128), r = 8.0f + float(i % 3) * 6.0f;
    c.Fill(Circle(x, y, r), Hex(0xFFFFFF, 0.18f), {5.0f});
  }
  // The standing picture's head, larger, centred.
  c.SetView(0.85f, 64 - 100 * 0.85f, 64 - 116 * 0.85f);
  DrawFigure(c, LookOf(who), mood);
  return c.ToImage();
}

}  // namespace makeart
