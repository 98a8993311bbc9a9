// A small park seen along its path: a big tree on the left, a street lamp,
// a bench under trees on the right, hedges and hills towards the horizon.
// The same layout serves the sunset and the night; only the light differs.
#include <algorithm>
#include <cmath>

#include "Catalog.h"
#include "Noise.h"

namespace makeart {
namespace {

constexpr float kHorizon = 300;

struct Light {
  bool night;
  Color skyTop, skyMid, skyLow, skyHorizon;
  Color cloud, cloudRim;
  Color hills, farTrees;
  Color grassFar, grassNear;
  Color leafDark, leafMid, leafRim;
  Color path, pathEdge;
  Color wood, iron;
  float rimStrength;  // how strongly the low sun outlines things
  float lamp;         // the lamp's glow
};

Light Sunset() {
  return {false,           Hex(0x36396F), Hex(0x8E5C96), Hex(0xF08A6A), Hex(0xFFD58C),
          Hex(0x7A5C86),   Hex(0xFFB08A), Hex(0x8E6A92), Hex(0x5C4A74), Hex(0x8E8A58),
          Hex(0x3E5232),   Hex(0x243826), Hex(0x3E5C34), Hex(0xFFB46E), Hex(0xE2B49C),
          Hex(0x9C7A70),   Hex(0x6A4A3C), Hex(0x2E2630), 0.85f,         0.45f};
}

Light Night() {
  return {true,            Hex(0x0B1030), Hex(0x1C2456), Hex(0x3A3A72), Hex(0x5A4E80),
          Hex(0x262C52),   Hex(0x8A94C8), Hex(0x2A2A4E), Hex(0x1A1A36), Hex(0x2A3A40),
          Hex(0x16222A),   Hex(0x0E1820), Hex(0x1E3030), Hex(0x9AA8E0), Hex(0x6A6880),
          Hex(0x3E3A50),   Hex(0x3A2C30), Hex(0x141218), 0.35f,         1.0f};
}

constexpr float kSunX = 470, kSunY = 276;

void DrawSky(Canvas& c, const Light& L) {
  c.FillAll(Linear(0, 0, 0, kHorizon + 10,
                   {{0.0f, L.skyTop}, {0.45f, L.skyMid}, {0.78f, L.skyLow}, {1.0f, L.skyHorizon}}));
  if (!L.night) {
    c.Fill(Circle(kSunX, kSunY, 260), Radial(kSunX, kSunY, 260, {{0.0f, Hex(0xFFF2C8, 0.6f)}, {1.0f, Hex(0xFFE0A0, 0.0f)}}),
           {1.0f, 1.0f, Blend::Add});
    c.Fill(Circle(kSunX, kSunY, 34), Hex(0xFFF4D0, 0.5f), {12.0f});
    c.Fill(Circle(kSunX, kSunY, 22), Hex(0xFFFBEA));
  } else {
    // Stars, thicker towards the top, and a crescent moon.
    for (int i = 0; i < 170; ++i) {
      float x = Hash2(i, 1, 41) * 640, y = std::pow(Hash2(i, 2, 41), 1.6f) * 260;
      float b = 0.3f + 0.7f * Hash2(i, 3, 41);
      c.Fill(Circle(x, y, 0.5f + b * 0.7f), Hex(0xFFFFFF, b), {1.0f});
      if (b > 0.93f) {
        c.Fill(Circle(x, y, 5), Hex(0xBFD0FF, 0.25f), {5.0f});
        c.Fill(Union(Polyline({{x - 5, y}, {x + 5, y}}, 0.6f), Polyline({{x, y - 5}, {x, y + 5}}, 0.6f)),
               Hex(0xFFFFFF, 0.6f));
      }
    }
    c.Fill(Circle(520, 80, 70), Radial(520, 80, 70, {{0.0f, Hex(0xE8ECFF, 0.35f)}, {1.0f, Hex(0xE8ECFF, 0.0f)}}),
           {1.0f, 1.0f, Blend::Add});
    c.Fill(Subtract(Circle(520, 80, 20), Circle(529, 74, 18)), Hex(0xFFF8DA));
  }
  // Long clouds, lit from below.
  struct Cloud {
    float x, y, w;
  };
  int seed = 0;
  for (Cloud cl : {Cloud{120, 104, 190}, Cloud{340, 62, 130}, Cloud{560, 140, 170}, Cloud{240, 184, 230},
                   Cloud{610, 222, 110}}) {
    std::vector<ShapePtr> puffs;
    ++seed;
    for (int i = 0; i < 11; ++i) {
      float t = float(i) / 10.0f - 0.5f;
      float bulge = std::cos(t * 3.0f);
      float h = (6 + 9 * bulge) * (0.7f + 0.6f * Hash2(i, seed, 61));
      puffs.push_back(Ellipse(cl.x + t * cl.w + (Hash2(i, seed, 62) - 0.5f) * 10, cl.y - h * 0.5f + 3,
                              cl.w * (0.09f + 0.06f * Hash2(i, seed, 63)), h));
    }
    puffs.push_back(Ellipse(cl.x, cl.y + 2, cl.w * 0.52f, 5));  // the flat base
    ShapePtr cloud = Union(puffs);
    Canvas layer = c.Blank();
    layer.Fill(cloud, Linear(0, cl.y - 22, 0, cl.y + 7, {{0.0f, WithAlpha(L.cloud, 0.75f)}, {0.7f, WithAlpha(L.cloud, 0.95f)},
                                                       {1.0f, WithAlpha(L.cloudRim, 1.0f)}}),
               {3.0f});
    layer.Fill(Subtract(cloud, Translate(cloud, 0, -4)), WithAlpha(L.cloudRim, 0.9f), {3.0f, 1.0f, Blend::Atop});
    c.Draw(layer, L.night ? 0.7f : 0.9f);
  }
  if (!L.night) {
    // A few birds on their way home.
    for (Vec2 b : {Vec2{380, 120}, Vec2{396, 112}, Vec2{410, 126}}) {
      Path w({b.x - 5, b.y - 2});
      w.QuadTo({b.x - 2, b.y - 3}, {b.x, b.y}).QuadTo({b.x + 2, b.y - 3}, {b.x + 5, b.y - 2});
      c.Fill(w.Stroke(1.1f), Hex(0x3A2A40, 0.8f));
    }
  }
}

ShapePtr Canopy(float cx, float cy, float r, int seed) {
  std::vector<ShapePtr> blobs = {Circle(cx, cy, r * 0.75f)};
  for (int i = 0; i < 9; ++i) {
    float a = float(i) / 9.0f * 6.2831853f + Hash2(i, seed, 51) * 0.5f;
    float d = r * (0.45f + 0.2f * Hash2(i, seed, 52));
    blobs.push_back(Circle(cx + std::cos(a) * d * 1.15f, cy + std::sin(a) * d * 0.85f, r * (0.38f + 0.18f * Hash2(i, seed, 53))));
  }
  return Union(blobs);
}

void DrawTree(Canvas& c, const Light& L, float x, float groundY, float r, int seed) {
  float top = groundY - r * 2.6f;
  Path trunk({x - r * 0.12f, groundY});
  trunk.QuadTo({x - r * 0.06f, groundY - r}, {x - r * 0.08f, top + r * 0.6f}).LineTo({x + r * 0.08f, top + r * 0.6f});
  trunk.QuadTo({x + r * 0.06f, groundY - r}, {x + r * 0.14f, groundY});
  c.Fill(trunk.Fill(), Linear(x - r * 0.12f, 0, x + r * 0.14f, 0, {{0.0f, Hex(0x2A1E22)}, {1.0f, L.wood}}));
  ShapePtr canopy = Canopy(x, top + r * 0.4f, r, seed);
  Canvas layer = c.Blank();
  Light l = L;
  layer.Fill(canopy, [l, seed](float px, float py) {
    float n = Fbm(px / 7.0f, py / 7.0f, uint32_t(seed) + 60u, 3);
    return Mix(l.leafDark, l.leafMid, std::clamp(n * 1.6f - 0.3f, 0.0f, 1.0f));
  });
  layer.Fill(Rect(x - r * 2, top + r * 0.6f, x + r * 2, top + r * 2), WithAlpha(L.leafDark, 0.6f),
             {r * 0.5f, 1.0f, Blend::Atop});
  // The sun side of the crown catches the light.
  float dx = kSunX > x ? -r * 0.12f : r * 0.12f;
  layer.Fill(Subtract(canopy, Translate(canopy, dx, r * 0.1f)), WithAlpha(L.leafRim, L.rimStrength * 0.7f),
             {2.0f, 1.0f, Blend::Atop});
  c.Draw(layer);
}

// The path's centre line and width at t (0 = bottom of the picture, 1 = horizon).
Vec2 PathCentre(float t) {
  Vec2 a{250, 490}, b{360, 410}, d{360, 330}, e{408, kHorizon + 2};
  float u = 1 - t;
  return a * (u * u * u) + b * (3 * u * u * t) + d * (3 * u * t * t) + e * (t * t * t);
}

ShapePtr PathShape() {
  std::vector<Vec2> left, right;
  for (int i = 0; i <= 40; ++i) {
    float t = float(i) / 40.0f;
    Vec2 p = PathCentre(t);
    float w = 230 * std::pow(1 - t, 1.6f) + 6;
    left.push_back({p.x - w / 2, p.y});
    right.push_back({p.x + w / 2, p.y});
  }
  std::vector<Vec2> all = left;
  all.insert(all.end(), right.rbegin(), right.rend());
  return Polygon(all);
}

void DrawGround(Canvas& c, const Light& L) {
  Light l = L;
  c.Fill(Rect(-2, kHorizon - 8, 642, 482), [l](float x, float y) {
    float t = std::clamp((y - kHorizon) / 180.0f, 0.0f, 1.0f);
    Color g = Mix(l.grassFar, l.grassNear, t);
    // Tufts: finer and flatter towards the horizon.
    float n = Fbm(x / (3.0f + 9.0f * t), y / (1.5f + 7.0f * t), 71, 3);
    g = Shade(g, 0.8f + n * 0.4f);
    // The low sun warms the far lawn.
    float warm = std::exp(-((x - kSunX) * (x - kSunX)) / (2 * 160.0f * 160.0f)) * (1 - t);
    return Mix(g, l.leafRim, warm * l.rimStrength * 0.35f);
  });
  // Hills and a line of far trees on the horizon.
  std::vector<Vec2> hills = {{-2, kHorizon + 4}};
  for (int x = 0; x <= 640; x += 8) hills.push_back({float(x), kHorizon - 14 - 16 * Fbm(float(x) / 140.0f, 3.0f, 72, 3)});
  hills.push_back({642, kHorizon + 4});
  c.Fill(Polygon(hills), L.hills, {1.5f});
  std::vector<ShapePtr> far;
  for (int i = 0; i < 40; ++i) {
    float x = float(i) * 17 + Hash2(i, 0, 73) * 8;
    if (x > 420 && x < 520 && !L.night) continue;  // leave the sun clear
    far.push_back(Ellipse(x, kHorizon - 4, 8 + 5 * Hash2(i, 1, 73), 7 + 8 * Hash2(i, 2, 73)));
  }
  c.Fill(Union(far), L.farTrees);
  c.Fill(Rect(-2, kHorizon - 2, 642, kHorizon + 4), L.farTrees, {2.0f});
  if (L.night) {
    // Lights of houses beyond the park.
    for (int i = 0; i < 26; ++i) {
      float x = Hash2(i, 4, 74) * 640, y = kHorizon - 6 - Hash2(i, 5, 74) * 10;
      c.Fill(Circle(x, y, 1.2f), Hex(0xFFD890, 0.9f));
    }
  }
  // Gravel path with a soft edge of grass.
  ShapePtr path = PathShape();
  c.Fill(Offset(path, 3), WithAlpha(L.pathEdge, 0.7f), {4.0f});
  c.Fill(path, [l](float x, float y) {
    float t = std::clamp((y - kHorizon) / 180.0f, 0.0f, 1.0f);
    float n = Fbm(x / 3.0f, y / 2.0f, 75, 2);
    return Shade(Mix(Shade(l.path, 0.8f), l.path, t), 0.9f + n * 0.2f);
  });
}

void DrawLamp(Canvas& c, const Light& L) {
  const float x = 136, base = 402, top = 190;
  c.Fill(Ellipse(x, base + 2, 60 * L.lamp + 20, 10 * L.lamp + 4), Hex(0xFFD88A, 0.35f * L.lamp), {14.0f, 1.0f, Blend::Add});
  c.Fill(Rect(x - 2.5f, top, x + 2.5f, base, 2), L.iron);
  c.Fill(Rect(x - 5, base - 12, x + 5, base, 2), L.iron);
  c.Fill(Circle(x, top - 10, 70), Radial(x, top - 10, 70, {{0.0f, Hex(0xFFE6A8, 0.55f * L.lamp)}, {1.0f, Hex(0xFFE6A8, 0.0f)}}),
         {1.0f, 1.0f, Blend::Add});
  c.Fill(Polygon({{x - 9, top - 2}, {x + 9, top - 2}, {x + 6, top - 20}, {x - 6, top - 20}}), Hex(0xFFF0C0));
  c.Fill(Polygon({{x - 11, top - 20}, {x + 11, top - 20}, {x, top - 30}}), L.iron, {1.2f});
  c.Fill(Rect(x - 10, top - 3, x + 10, top + 1, 1), L.iron);
}

void DrawBench(Canvas& c, const Light& L) {
  // Seen from the front-left, on the grass beside the path.
  auto slat = [&](float x0, float y0, float x1, float y1, float h) {
    ShapePtr s = Polygon({{x0, y0}, {x1, y1}, {x1, y1 + h}, {x0, y0 + h}});
    c.Fill(s, Linear(0, y0, 0, y0 + h, {{0.0f, Shade(L.wood, 1.35f)}, {1.0f, L.wood}}));
  };
  c.Fill(Ellipse(528, 392, 70, 8), Hex(0x000000, 0.25f), {6.0f});
  for (float x : {474.0f, 576.0f}) c.Fill(Rect(x - 2, 350, x + 2, 392, 1), L.iron);
  slat(466, 330, 584, 326, 6);
  slat(466, 340, 584, 336, 6);
  slat(462, 356, 590, 352, 7);
  slat(460, 366, 592, 362, 7);
  for (float x : {470.0f, 580.0f}) c.Fill(Rect(x - 2, 326, x + 2, 372, 1), L.iron);
}

}  // namespace

Image DrawPark(bool night) {
  Light L = night ? Night() : Sunset();
  Canvas c(640, 480);
  DrawSky(c, L);
  DrawGround(c, L);
  // Hedges along the far edge of the lawn.
  std::vector<ShapePtr> hedge;
  for (int i = 0; i < 16; ++i) {
    float x = 10 + float(i) * 22;
    if (x > 380 && x < 430) continue;
    hedge.push_back(Ellipse(x, kHorizon + 14, 14, 9 + 3 * Hash2(i, 0, 81)));
  }
  c.Fill(Union(hedge), Mix(L.leafDark, L.farTrees, 0.45f));
  DrawTree(c, L, 560, 330, 44, 3);
  DrawTree(c, L, 620, 340, 52, 4);
  DrawBench(c, L);
  DrawLamp(c, L);
  DrawTree(c, L, 40, 420, 78, 5);
  // Long shadows from the low sun, or the cool of the night.
  if (!L.night)
    c.Fill(Polygon({{20, 420}, {80, 420}, {-40, 480}, {-120, 480}}), Hex(0x302040, 0.3f), {10.0f});
  c.Fill(Rect(0, 0, 640, 480), Radial(320, 250, 430, {{0.6f, Hex(0xFFFFFF)}, {1.0f, L.night ? Hex(0x202040) : Hex(0x5A3A5A)}}),
         {1.0f, 0.5f, Blend::Multiply});
  return c.ToImage();
}

}  // namespace makeart
