// ミケ, the park's calico cat, sitting up and looking at the player. Drawn
// high in the standing picture so that the message window does not hide it.
#include <cmath>

#include "Catalog.h"

namespace makeart {
namespace {

constexpr float kMid = 100;
const Color kFur = Hex(0xFFF7EE);
const Color kFurShade = Hex(0xE2D2C8);
const Color kGinger = Hex(0xE8943E);
const Color kBlack = Hex(0x3A3034);
const Color kLine = Hex(0x4A3430);
const Color kPink = Hex(0xF4A8B0);

void DrawCatInto(Canvas& c) {
  Canvas cat = c.Blank();
  // Tail first: it curls round from behind.
  Path tail({132, 292});
  tail.CubicTo({172, 296}, {176, 250}, {160, 222});
  ShapePtr tailShape = tail.Taper(15.0f, 9.0f);
  cat.Fill(tailShape, kFur);
  cat.Fill(Intersect(tailShape, Circle(162, 222, 22)), kBlack, {1.0f, 1.0f, Blend::Atop});
  ShapePtr body = Union({Ellipse(kMid, 246, 42, 50), Ellipse(72, 280, 26, 20), Ellipse(128, 280, 26, 20)});
  cat.Fill(body, kFur);
  cat.Fill(Subtract(body, Translate(body, -10, -4)), WithAlpha(kFurShade, 0.9f), {4.0f, 1.0f, Blend::Atop});
  cat.Fill(Ellipse(126, 262, 30, 28), kGinger, {1.5f, 1.0f, Blend::Atop});
  cat.Fill(Ellipse(64, 236, 14, 22), kBlack, {1.5f, 1.0f, Blend::Atop});
  // Chest fluff and front legs.
  for (float s : {1.0f, -1.0f}) {
    ShapePtr leg = Rect(kMid - s * 14 - 8, 250, kMid - s * 14 + 8, 300, 8);
    cat.Fill(Offset(leg, 1.0f), kLine);
    cat.Fill(leg, kFur);
    cat.Fill(Ellipse(kMid - s * 14, 299, 10.5f, 6.5f), kFur);
    cat.Fill(Outline(Ellipse(kMid - s * 14, 299, 10.5f, 6.5f), 1.0f), WithAlpha(kLine, 0.8f));
    for (float t : {-3.5f, 3.5f})
      cat.Fill(Polyline({{kMid - s * 14 + t, 296}, {kMid - s * 14 + t, 302}}, 0.8f), WithAlpha(kLine, 0.6f));
  }
  std::vector<Vec2> fluff = {{78, 212}, {90, 232}, {94, 224}, {100, 240}, {106, 224}, {110, 232}, {122, 212}};
  cat.Fill(Polygon(fluff), kFur);

  // Head: wide, with cheek tufts and ears.
  ShapePtr head = Union({Ellipse(kMid, 168, 46, 37),
                         Polygon({{56, 172}, {48, 186}, {64, 184}, {58, 194}, {80, 196}}),
                         Polygon({{144, 172}, {152, 186}, {136, 184}, {142, 194}, {120, 196}})});
  for (float s : {1.0f, -1.0f}) {
    Path ear({kMid - s * 40, 156});
    ear.QuadTo({kMid - s * 40, 122}, {kMid - s * 32, 112}).QuadTo({kMid - s * 22, 124}, {kMid - s * 12, 136});
    head = Union(head, ear.Fill());
  }
  cat.Fill(Offset(head, 1.1f), kLine);
  cat.Fill(head, kFur);
  cat.Fill(Intersect(head, Ellipse(66, 138, 34, 26)), kGinger, {2.0f, 1.0f, Blend::Atop});
  cat.Fill(Intersect(head, Ellipse(136, 132, 26, 22)), kBlack, {2.0f, 1.0f, Blend::Atop});
  cat.Fill(Intersect(head, Ellipse(kMid, 200, 40, 14)), WithAlpha(kFurShade, 0.8f), {5.0f, 1.0f, Blend::Atop});
  for (float s : {1.0f, -1.0f}) {
    Path inner({kMid - s * 36, 148});
    inner.QuadTo({kMid - s * 36, 128}, {kMid - s * 31, 120}).QuadTo({kMid - s * 24, 130}, {kMid - s * 18, 140});
    cat.Fill(inner.Fill(), kPink);
  }
  // Eyes: green-gold with slit pupils.
  for (float s : {1.0f, -1.0f}) {
    float ex = kMid - s * 19;
    ShapePtr eye = Ellipse(ex, 166, 10, 11);
    cat.Fill(Offset(eye, 1.4f), kLine);
    cat.Fill(eye, Linear(0, 155, 0, 177, {{0.0f, Hex(0x7AA83A)}, {1.0f, Hex(0xE8D860)}}));
    cat.Fill(Ellipse(ex, 166, 3.0f, 9.0f), Hex(0x1A1418));
    cat.Fill(Circle(ex - 3.5f, 161, 2.6f), Hex(0xFFFFFF));
    cat.Fill(Circle(ex + 3.5f, 171, 1.2f), Hex(0xFFFFFF, 0.8f));
  }
  // Nose, mouth and whiskers.
  cat.Fill(Offset(Polygon({{95, 180}, {105, 180}, {100, 186}}), 1.0f), Hex(0xE07888));
  Path mouth({90, 190});
  mouth.QuadTo({95, 195}, {kMid, 188}).QuadTo({105, 195}, {110, 190});
  cat.Fill(mouth.Stroke(1.3f), kLine);
  cat.Fill(Polyline({{kMid, 186}, {kMid, 189}}, 1.2f), kLine);
  for (float s : {1.0f, -1.0f})
    for (float dy : {-5.0f, 0.0f, 5.0f}) {
      Path w({kMid - s * 30, 184 + dy * 0.5f});
      w.QuadTo({kMid - s * 48, 180 + dy}, {kMid - s * 66, 184 + dy * 1.8f});
      cat.Fill(w.Taper(1.2f, 0.3f), WithAlpha(kLine, 0.7f));
    }
  for (float s : {1.0f, -1.0f}) cat.Fill(Ellipse(kMid - s * 28, 182, 7, 3.5f), WithAlpha(kPink, 0.5f), {4.0f});
  cat.OutlineBeneath(1.4f * c.Scale(), kLine);
  // A soft shadow where the paws rest.
  c.Fill(Ellipse(kMid, 304, 56, 7), Hex(0x000000, 0.25f), {6.0f * c.Scale()});
  c.Draw(cat);
}

}  // namespace

Image DrawCat(bool face) {
  if (!face) {
    Canvas c(200, 426);
    c.SetView(1.1f, kMid - kMid * 1.1f, 250 - 304 * 1.1f);  // paws at 250, clear of the window
    DrawCatInto(c);
    return c.ToImage();
  }
  Canvas c(128, 128);
  c.FillAll(Linear(0, 0, 30, 128, {{0.0f, Hex(0xE4F2D6)}, {1.0f, Hex(0x9CC48A)}}));
  for (int i = 0; i < 5; ++i)
    c.Fill(Circle(float((i * 53) % 128), float((i * 37 + 14) % 128), 9.0f + float(i % 2) * 7.0f), Hex(0xFFFFFF, 0.2f), {5.0f});
  c.SetView(1.05f, 64 - kMid * 1.05f, 70 - 168 * 1.05f);
  DrawCatInto(c);
  return c.ToImage();
}

}  // namespace makeart
