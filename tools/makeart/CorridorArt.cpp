// A school corridor at dusk: windows on the left let in a low sun that lays
// bright slabs across the wooden floor and up the right wall, past classroom
// doors and a notice board, towards a glowing window at the far end.
#include <algorithm>
#include <cmath>

#include "Catalog.h"
#include "Noise.h"
#include "Scene3d.h"

namespace makeart {
namespace {

constexpr float kHalfWidth = 1.6f;  // walls at x = -1.6 and +1.6
constexpr float kCeiling = 2.9f;
constexpr float kNear = 0.8f, kFar = 26.0f;
constexpr float kSillY = 0.95f, kLintelY = 2.45f;

const Vec3 kSun{1.0f, -0.42f, -0.28f};  // direction the light travels

const Camera3 kCam{380.0f, 296.0f, 236.0f, {0.42f, 1.45f, 0.0f}};

// How far the warm haze of the corridor has swallowed a colour at depth z.
Color Hazed(Color c, float z) {
  float t = std::pow(std::clamp((z - 2.0f) / 28.0f, 0.0f, 1.0f), 0.75f);
  return Mix(c, Hex(0xC99C8A), t * 0.85f);
}

ShapePtr Quad(std::vector<Vec3> pts) { return Polygon(kCam.Project(pts)); }

ShapePtr LeftWallRect(float y0, float y1, float z0, float z1) {
  return Quad({{-kHalfWidth, y0, z0}, {-kHalfWidth, y1, z0}, {-kHalfWidth, y1, z1}, {-kHalfWidth, y0, z1}});
}
ShapePtr RightWallRect(float y0, float y1, float z0, float z1) {
  return Quad({{kHalfWidth, y0, z0}, {kHalfWidth, y1, z0}, {kHalfWidth, y1, z1}, {kHalfWidth, y0, z1}});
}

Paint LeftWallPaint(Color c) {
  return [c](float x, float) { return Hazed(c, kCam.DepthOnWall(x, -kHalfWidth)); };
}
Paint RightWallPaint(Color c) {
  return [c](float x, float) { return Hazed(c, kCam.DepthOnWall(x, kHalfWidth)); };
}

// The view out of the windows: an evening sky over a low skyline, in screen
// coordinates (it is far enough away that the windows only frame it).
Color Outside(float x, float y) {
  Color sky = Mix(Hex(0x6A5A9E), Hex(0xE98A7A), std::clamp((y + 40.0f) / 230.0f, 0.0f, 1.0f));
  sky = Mix(sky, Hex(0xFFC987), std::clamp((y - 170.0f) / 70.0f, 0.0f, 1.0f));
  float glow = std::exp(-((x + 80) * (x + 80) + (y - 250) * (y - 250)) / (2 * 210.0f * 210.0f));
  sky = Mix(sky, Hex(0xFFF0C2), glow * 0.75f);
  // Soft streaks of cloud.
  float cloud = Fbm(x / 90.0f, y / 18.0f, 7);
  sky = Mix(sky, Hex(0xFFB49A), std::clamp((cloud - 0.55f) * 3.0f, 0.0f, 1.0f) * 0.35f);
  // Hills, then rooftops.
  float hill = 246 - 10 * Fbm(x / 120.0f, 0.5f, 3, 3);
  if (y > hill) sky = Mix(sky, Hex(0xA7728A), 0.8f);
  int cell = int(std::floor(x / 17.0f));
  float roof = 256 - 10 * Hash2(cell, 1, 5) - (Hash2(cell, 2, 5) > 0.85f ? 8.0f : 0.0f);
  if (y > roof) {
    sky = Mix(Hex(0x5B3D5E), Hex(0x3E2A45), std::clamp((y - roof) / 40.0f, 0.0f, 1.0f));
    // A lit window here and there.
    int wx = int(std::floor(x / 4.0f)), wy = int(std::floor(y / 5.0f));
    if (Hash2(wx, wy, 9) > 0.93f && y > roof + 4) sky = Hex(0xFFD58A);
  }
  return sky;
}

struct Pane {
  float y0, y1, z0, z1;
};

std::vector<Pane> WindowPanes() {
  std::vector<Pane> panes;
  for (float bay = 1.6f; bay < kFar - 2.0f; bay += 3.3f) {
    float z0 = bay + 0.5f, z1 = bay + 3.3f;
    float mid = (z0 + z1) / 2;
    for (auto [a, b] : {std::pair{z0 + 0.07f, mid - 0.03f}, std::pair{mid + 0.03f, z1 - 0.07f}}) {
      panes.push_back({kSillY + 0.07f, 1.68f, a, b});
      panes.push_back({1.74f, kLintelY - 0.07f, a, b});
    }
  }
  return panes;
}

// Where the sun through a pane lands: on the floor, and what passes the far
// edge of the floor on the right wall.
void SunPatches(const Pane& p, std::vector<std::vector<Vec2>>& out, std::vector<Vec2>& landing) {
  std::vector<Vec3> pane = {{-kHalfWidth, p.y0, p.z0}, {-kHalfWidth, p.y1, p.z0}, {-kHalfWidth, p.y1, p.z1},
                            {-kHalfWidth, p.y0, p.z1}};
  std::vector<Vec2> floor, wall;  // (x, z) and (y, z)
  for (Vec3 v : pane) {
    float tFloor = v.y / -kSun.y;
    floor.push_back({v.x + kSun.x * tFloor, v.z + kSun.z * tFloor});
    float tWall = (kHalfWidth - v.x) / kSun.x;
    wall.push_back({v.y + kSun.y * tWall, v.z + kSun.z * tWall});
  }
  floor = ClipHalfPlane(floor, -1, 0, kHalfWidth);
  wall = ClipHalfPlane(wall, 1, 0, 0);
  std::vector<Vec2> s;
  for (Vec2 f : floor) s.push_back(kCam.Project(Vec3{f.x, 0, f.y}));
  if (s.size() >= 3) out.push_back(s);
  landing.insert(landing.end(), s.begin(), s.end());
  s.clear();
  for (Vec2 w : wall) s.push_back(kCam.Project(Vec3{kHalfWidth, w.x, w.y}));
  if (s.size() >= 3) out.push_back(s);
  landing.insert(landing.end(), s.begin(), s.end());
}

Color FloorBoards(float x, float y) {
  float z = kCam.DepthOnFloor(y, 0);
  float xw = kCam.eye.x + (x - kCam.cx) * (z - kCam.eye.z) / kCam.focal;
  float u = xw / 0.2f;
  int board = int(std::floor(u));
  float fr = u - float(board);
  float stagger = Hash2(board, 0, 21) * 2.4f;
  int plank = int(std::floor((z + stagger) / 2.4f));
  float tone = Hash2(board, plank, 22);
  Color wood = Mix(Hex(0x8C5B3E), Hex(0xA8724C), tone);
  float grain = Fbm(xw * 9.0f, z * 0.9f, 23, 3);
  wood = Shade(wood, 0.88f + grain * 0.24f);
  float footprint = (z / kCam.focal) / 0.2f;
  float seam = std::clamp(1.0f - std::min(fr, 1.0f - fr) / (footprint * 0.9f + 0.01f), 0.0f, 1.0f);
  float endSeam = std::fabs(std::fmod(z + stagger, 2.4f));
  float endFoot = z * z / (kCam.focal * 1.45f);
  seam = std::max(seam, std::clamp(1.0f - std::min(endSeam, 2.4f - endSeam) / (endFoot + 0.01f), 0.0f, 1.0f) * 0.7f);
  wood = Mix(wood, Hex(0x3E261C), seam * 0.55f);
  return Hazed(wood, z);
}

Color Ceiling(float x, float y) {
  float z = kCam.DepthOnFloor(y, kCeiling);
  float xw = kCam.eye.x + (x - kCam.cx) * (z - kCam.eye.z) / kCam.focal;
  Color c = Mix(Hex(0x8F7E86), Hex(0xB4A2A2), std::clamp(z / 14.0f, 0.0f, 1.0f));
  float foot = z / kCam.focal;
  float gx = std::fabs(std::remainder(xw, 0.6f)), gz = std::fabs(std::remainder(z, 0.6f));
  float line = std::max(std::clamp(1.0f - gx / (foot * 1.2f), 0.0f, 1.0f),
                        std::clamp(1.0f - gz / (z * foot * 0.9f), 0.0f, 1.0f));
  c = Mix(c, Hex(0x6E5E68), line * 0.35f);
  return Hazed(c, z);
}

void DrawRightWallFixtures(Canvas& c) {
  // Wainscot, its rail and the skirting.
  c.Fill(RightWallRect(0, 1.0f, kNear, kFar), RightWallPaint(Hex(0xB8917C)));
  c.Fill(RightWallRect(0.98f, 1.05f, kNear, kFar), RightWallPaint(Hex(0x7A5646)));
  c.Fill(RightWallRect(0, 0.12f, kNear, kFar), RightWallPaint(Hex(0x4A3029)));
  // Notice board with papers and pins.
  c.Fill(RightWallRect(1.12f, 1.92f, 6.1f, 9.4f), RightWallPaint(Hex(0x6B4A3A)));
  c.Fill(RightWallRect(1.16f, 1.88f, 6.18f, 9.32f), RightWallPaint(Hex(0xB9875A)));
  const uint32_t paper[] = {0xF4EEDC, 0xDDE8F0, 0xF5DDE0, 0xFFF6C8, 0xE2F0DA};
  for (int i = 0; i < 7; ++i) {
    float z0 = 6.35f + float(i) * 0.42f + Hash2(i, 1, 31) * 0.1f;
    float y0 = 1.24f + Hash2(i, 2, 31) * 0.22f, h = 0.3f + Hash2(i, 3, 31) * 0.2f;
    c.Fill(RightWallRect(y0, std::min(y0 + h, 1.84f), z0, z0 + 0.3f), RightWallPaint(Hex(paper[i % 5])));
    Vec2 pin = kCam.Project(Vec3{kHalfWidth, std::min(y0 + h, 1.84f) - 0.04f, z0 + 0.15f});
    c.Fill(Circle(pin.x, pin.y, std::max(1.0f, 7.0f / z0)), Hex(i % 2 ? 0xD0403A : 0x3A6AD0));
  }
  // Classroom doors, each with its name plate sticking out above.
  for (float z0 : {3.0f, 11.2f, 18.6f}) {
    float z1 = z0 + 1.5f;
    c.Fill(RightWallRect(0, 2.1f, z0 - 0.08f, z1 + 0.08f), RightWallPaint(Hex(0x5A3A2C)));
    c.Fill(RightWallRect(0.02f, 2.02f, z0, z1), RightWallPaint(Hex(0x9C7252)));
    c.Fill(RightWallRect(0.02f, 2.02f, z0 + 0.73f, z0 + 0.77f), RightWallPaint(Hex(0x5A3A2C)));
    for (float a : {z0 + 0.1f, z0 + 0.85f}) {
      c.Fill(RightWallRect(1.25f, 1.85f, a, a + 0.55f), RightWallPaint(Hex(0x5A3A2C)));
      c.Fill(RightWallRect(1.28f, 1.82f, a + 0.04f, a + 0.51f), RightWallPaint(Hex(0x5E5874)));
    }
    float pz = z0 - 0.2f;
    ShapePtr plate = Quad({{kHalfWidth, 2.2f, pz}, {kHalfWidth - 0.34f, 2.2f, pz}, {kHalfWidth - 0.34f, 2.44f, pz},
                           {kHalfWidth, 2.44f, pz}});
    c.Fill(Offset(plate, 0.8f), Hex(0x4A3A34));
    c.Fill(plate, Solid(Hazed(Hex(0xF0E8DA), pz)));
    c.Fill(Quad({{kHalfWidth - 0.06f, 2.28f, pz}, {kHalfWidth - 0.28f, 2.28f, pz}, {kHalfWidth - 0.28f, 2.36f, pz},
                 {kHalfWidth - 0.06f, 2.36f, pz}}),
           Hex(0x5A4A48, 0.8f));
  }
}

void DrawLeftWall(Canvas& c, const std::vector<Pane>& panes) {
  c.Fill(LeftWallRect(0, kCeiling, kNear, kFar), LeftWallPaint(Hex(0x8A6A78)));
  c.Fill(LeftWallRect(0, kSillY, kNear, kFar), LeftWallPaint(Hex(0x7A5C68)));
  c.Fill(LeftWallRect(0, 0.12f, kNear, kFar), LeftWallPaint(Hex(0x3E2A28)));
  for (float bay = 1.6f; bay < kFar - 2.0f; bay += 3.3f)
    c.Fill(LeftWallRect(kSillY, kLintelY, bay + 0.5f, bay + 3.3f), LeftWallPaint(Hex(0xA99AA8)));
  for (const Pane& p : panes) c.Fill(LeftWallRect(p.y0, p.y1, p.z0, p.z1), Outside);
  // The sill catches the light along its edge.
  c.Fill(Quad({{-kHalfWidth, kSillY, kNear}, {-kHalfWidth + 0.14f, kSillY, kNear}, {-kHalfWidth + 0.14f, kSillY, kFar},
               {-kHalfWidth, kSillY, kFar}}),
         LeftWallPaint(Hex(0xE0B896)));
}

}  // namespace

Image DrawCorridor() {
  Canvas c(640, 480);
  c.FillAll(Solid(Hex(0x2A1E22)));
  c.Fill(Quad({{-kHalfWidth, kCeiling, kNear}, {kHalfWidth, kCeiling, kNear}, {kHalfWidth, kCeiling, kFar},
               {-kHalfWidth, kCeiling, kFar}}),
         Ceiling);
  for (float z = 2.5f; z < kFar - 1; z += 3.3f) {
    ShapePtr lamp = Quad({{-0.12f, kCeiling, z}, {0.12f, kCeiling, z}, {0.12f, kCeiling, z + 1.25f},
                          {-0.12f, kCeiling, z + 1.25f}});
    c.Fill(Offset(lamp, 1.0f), Hex(0x6E6068));
    c.Fill(lamp, Solid(Hazed(Hex(0xDCD6DA), z)));
  }
  c.Fill(Quad({{-kHalfWidth, 0, kNear}, {kHalfWidth, 0, kNear}, {kHalfWidth, 0, kFar}, {-kHalfWidth, 0, kFar}}),
         FloorBoards);
  c.Fill(RightWallRect(0, kCeiling, kNear, kFar), RightWallPaint(Hex(0xD4AE96)));
  DrawRightWallFixtures(c);
  std::vector<Pane> panes = WindowPanes();
  DrawLeftWall(c, panes);

  // The end wall and its window, bright with the last of the sun.
  c.Fill(Quad({{-kHalfWidth, 0, kFar}, {kHalfWidth, 0, kFar}, {kHalfWidth, kCeiling, kFar}, {-kHalfWidth, kCeiling, kFar}}),
         Hex(0xB08C84));
  c.Fill(Quad({{-0.75f, 0.9f, kFar}, {0.75f, 0.9f, kFar}, {0.75f, 2.45f, kFar}, {-0.75f, 2.45f, kFar}}),
         Hex(0xFFE2B0));

  // Window reflections in the polished floor.
  Canvas shine(640, 480);
  for (const Pane& p : panes)
    shine.Fill(Quad({{-kHalfWidth, -p.y0, p.z0}, {-kHalfWidth, -p.y1, p.z0}, {-kHalfWidth, -p.y1, p.z1},
                     {-kHalfWidth, -p.y0, p.z1}}),
               Outside);
  shine.Fill(Quad({{-0.75f, -0.9f, kFar}, {0.75f, -0.9f, kFar}, {0.75f, -2.45f, kFar}, {-0.75f, -2.45f, kFar}}),
             Hex(0xFFE2B0));
  shine.Blur(2);
  shine.MaskAlpha([](float, float y) { return Color{0, 0, 0, std::clamp((y - 236.0f) / 200.0f, 0.0f, 1.0f)}; });
  c.Draw(shine, 0.32f, Blend::Add);

  // Sunlight: slabs on the floor and the wall, and faint shafts in the air.
  Canvas light(640, 480), shafts(640, 480);
  for (const Pane& p : panes) {
    std::vector<std::vector<Vec2>> patches;
    std::vector<Vec2> landing;
    SunPatches(p, patches, landing);
    for (const auto& patch : patches) light.Fill(Polygon(patch), Hex(0xFFA258));
    std::vector<Vec2> beam = kCam.Project(std::vector<Vec3>{{-kHalfWidth, p.y0, p.z0},
                                                            {-kHalfWidth, p.y1, p.z0},
                                                            {-kHalfWidth, p.y1, p.z1},
                                                            {-kHalfWidth, p.y0, p.z1}});
    beam.insert(beam.end(), landing.begin(), landing.end());
    shafts.Fill(Polygon(ConvexHull(beam)), Hex(0xFFC88A, 0.5f));
  }
  light.Blur(1);
  c.Draw(light, 0.5f, Blend::Add);
  shafts.Blur(4);
  c.Draw(shafts, 0.16f, Blend::Add);

  // Darker corners pull the eye down the corridor.
  c.Fill(Rect(0, 0, 640, 480), Radial(300, 240, 420, {{0.55f, Hex(0xFFFFFF)}, {1.0f, Hex(0x4A3048)}}),
         {1.0f, 0.55f, Blend::Multiply});
  return c.ToImage();
}

}  // namespace makeart
