// The message window, the speaker picture frame and the wait cursor: one
// family of deep-blue glass panels with a pale gold rim.
#include <cmath>

#include "Catalog.h"

namespace makeart {
namespace {

const Color kGold = Hex(0xF2DFA7);
const Color kGoldDeep = Hex(0xB8904A);
const Color kNavyTop = Hex(0x27335F, 0.80f);
const Color kNavyBottom = Hex(0x10162F, 0.86f);

// A four-petal sparkle: the corner ornament.
ShapePtr Sparkle(float cx, float cy, float r) {
  std::vector<Vec2> pts;
  for (int i = 0; i < 8; ++i) {
    float a = float(i) * 3.14159265f / 4.0f;
    float rr = (i % 2 == 0) ? r : r * 0.28f;
    pts.push_back({cx + std::cos(a) * rr, cy + std::sin(a) * rr});
  }
  return Polygon(pts);
}

// A five-petal blossom, for the faint watermark.
ShapePtr Blossom(float cx, float cy, float r) {
  std::vector<ShapePtr> petals;
  for (int i = 0; i < 5; ++i) {
    float a = -1.5708f + float(i) * 6.2831853f / 5.0f;
    float px = cx + std::cos(a) * r * 0.55f, py = cy + std::sin(a) * r * 0.55f;
    ShapePtr petal = Circle(px, py, r * 0.42f);
    // The notch at each petal's tip.
    float nx = cx + std::cos(a) * r * 1.02f, ny = cy + std::sin(a) * r * 1.02f;
    petals.push_back(Subtract(petal, Circle(nx, ny, r * 0.14f)));
  }
  return Union(petals);
}

void Panel(Canvas& c, float x0, float y0, float x1, float y1, float radius, ShapePtr hole) {
  ShapePtr body = Rect(x0, y0, x1, y1, radius);
  if (hole) body = Subtract(body, hole);
  c.Fill(body, Linear(0, y0, 0, y1, {{0.0f, kNavyTop}, {1.0f, kNavyBottom}}));
  // Glass sheen over the upper part.
  ShapePtr sheen = Intersect(body, Ellipse((x0 + x1) / 2, y0 - (y1 - y0) * 0.9f, (x1 - x0) * 0.8f, (y1 - y0) * 1.25f));
  c.Fill(sheen, Linear(0, y0, 0, y0 + (y1 - y0) * 0.45f, {{0.0f, Hex(0xFFFFFF, 0.14f)}, {1.0f, Hex(0xFFFFFF, 0.02f)}}),
         {4.0f});
  // Rim: a gold line with a darker line inside it, then a fine inner line.
  ShapePtr rim = Rect(x0 + 1.5f, y0 + 1.5f, x1 - 1.5f, y1 - 1.5f, radius - 1.5f);
  c.Fill(Outline(rim, 2.4f), Linear(0, y0, 0, y1, {{0.0f, kGold}, {1.0f, kGoldDeep}}));
  c.Fill(Outline(Rect(x0 + 3.6f, y0 + 3.6f, x1 - 3.6f, y1 - 3.6f, radius - 3.5f), 1.0f), Hex(0x0A0E20, 0.55f));
  c.Fill(Outline(Rect(x0 + 6.5f, y0 + 6.5f, x1 - 6.5f, y1 - 6.5f, std::max(radius - 6.0f, 2.0f)), 0.9f),
         Hex(0xE8E4FF, 0.30f));
}

}  // namespace

Image DrawMessageWindow() {
  Canvas c(470, 136);
  Panel(c, 0, 0, 470, 136, 12, nullptr);
  // A faint blossom behind the text, off to the right where rows rarely reach.
  c.Fill(Blossom(408, 60, 44), Hex(0xFFFFFF, 0.045f));
  c.Fill(Circle(408, 60, 7), Hex(0x27335F, 0.05f));
  c.Fill(Blossom(360, 104, 18), Hex(0xFFFFFF, 0.035f));
  for (Vec2 p : {Vec2{6.5f, 6.5f}, Vec2{463.5f, 6.5f}, Vec2{6.5f, 129.5f}, Vec2{463.5f, 129.5f}}) {
    c.Fill(Circle(p.x, p.y, 5.5f), Hex(0xFFF6D8, 0.18f), {3.0f});
    c.Fill(Sparkle(p.x, p.y, 6.0f), kGold);
  }
  return c.ToImage();
}

Image DrawPictureFrame() {
  Canvas c(136, 136);
  // The speaker picture sits at (2, 4) and is 128 x 128; the opening lets it
  // show and the frame overlaps its edges by a couple of pixels.
  ShapePtr hole = Rect(5, 7, 127, 129, 5);
  Panel(c, 0, 0, 136, 136, 10, hole);
  c.Fill(Outline(Rect(5, 7, 127, 129, 5), 1.6f), Hex(0xFFF3CF, 0.9f));
  // A touch of glass over the picture's top.
  ShapePtr glass = Intersect(hole, Ellipse(40, 10, 90, 40));
  c.Fill(glass, Linear(0, 7, 0, 48, {{0.0f, Hex(0xFFFFFF, 0.18f)}, {1.0f, Hex(0xFFFFFF, 0.0f)}}));
  for (Vec2 p : {Vec2{5.5f, 6.5f}, Vec2{130.5f, 6.5f}, Vec2{5.5f, 129.5f}, Vec2{130.5f, 129.5f}}) {
    c.Fill(Circle(p.x, p.y, 5.0f), Hex(0xFFF6D8, 0.2f), {3.0f});
    c.Fill(Sparkle(p.x, p.y, 6.0f), kGold);
  }
  return c.ToImage();
}

Image DrawWaitCursor() {
  Canvas c(96, 32);
  const float bob[4] = {0.0f, 2.0f, 4.0f, 2.0f};
  const float glow[4] = {0.35f, 0.55f, 0.8f, 0.55f};
  for (int f = 0; f < 4; ++f) {
    float cx = float(f) * 24 + 12, top = 7 + bob[f];
    // The shadow on the "floor" grows as the gem comes down.
    c.Fill(Ellipse(cx, 28.5f, 4.5f + bob[f] * 0.6f, 1.6f), Hex(0x000000, 0.25f + bob[f] * 0.04f), {2.0f});
    c.Fill(Circle(cx, top + 5, 9), Hex(0xFFE9A8, glow[f] * 0.45f), {7.0f});
    std::vector<Vec2> gem = {{cx - 7.5f, top}, {cx + 7.5f, top}, {cx, top + 12}};
    ShapePtr body = Offset(Polygon(gem), 1.2f);
    c.Fill(Offset(body, 1.3f), Hex(0x3A2A10, 0.85f));
    c.Fill(body, Linear(0, top, 0, top + 12, {{0.0f, Hex(0xFFF8E0)}, {0.5f, Hex(0xF5D27A)}, {1.0f, Hex(0xC98E2E)}}));
    // Facet: the left half a shade darker, the way a cut stone catches light.
    c.Fill(Intersect(body, Polygon({{cx - 10, top - 2}, {cx, top - 2}, {cx, top + 14}})), Hex(0xA0601A, 0.22f));
    c.Fill(Polyline({{cx - 4.5f, top + 1.8f}, {cx - 1.0f, top + 1.8f}}, 1.4f), Hex(0xFFFFFF, 0.9f));
  }
  return c.ToImage();
}

}  // namespace makeart
