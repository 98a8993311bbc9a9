#include "Figure.h"

#include <cmath>

namespace makeart {
namespace {

constexpr float kMid = 100;  // the figure's axis
const Color kUniformLine = Hex(0x252845);
const Color kNavy = Hex(0x2C3766);
const Color kBlouse = Hex(0xF6F6FA);
const Color kBlouseShade = Hex(0xC8CADC);
const Color kScarf = Hex(0xD9414E);

// Draws a shape with a line around it: the line first, grown by w, then the
// fill. Parts drawn later overlap earlier ones, lines included.
void Inked(Canvas& c, const ShapePtr& s, const Paint& paint, Color line, float w = 1.1f) {
  c.Fill(Offset(s, w), line);
  c.Fill(s, paint);
}
void Inked(Canvas& c, const ShapePtr& s, Color fill, Color line, float w = 1.1f) { Inked(c, s, Solid(fill), line, w); }

ShapePtr Symmetric(const Path& leftHalf) { return Polygon(MirroredBack(leftHalf.Points(), kMid)); }

// A lock of hair: from the edge a-b at the top down to a point, its sides
// bowed sideways by `bend`.
ShapePtr Lock(Vec2 a, Vec2 b, Vec2 tip, float bend) {
  Vec2 ca = Lerp(a, tip, 0.55f) + Vec2{bend, 0};
  Vec2 cb = Lerp(b, tip, 0.55f) + Vec2{bend, 0};
  Path p(a);
  p.QuadTo(ca, tip).QuadTo(cb, b);
  return p.Fill();
}

// ---- Hair -----------------------------------------------------------------

struct HairShapes {
  ShapePtr back;                 // behind the head and body
  std::vector<ShapePtr> front;   // over the face, drawn in order
  std::vector<std::vector<Vec2>> strands;
  std::vector<std::vector<Vec2>> sheens;  // long soft highlights
};

HairShapes BobHair() {
  HairShapes h;
  Path back({kMid, 40});
  back.CubicTo({64, 40}, {38, 62}, {37, 104}).CubicTo({35, 136}, {37, 160}, {43, 180}).QuadTo({53, 190}, {64, 180});
  back.LineTo({kMid, 176});
  h.back = Symmetric(back);
  Path crown({38, 112});
  crown.CubicTo({35, 60}, {66, 39}, {kMid, 39}).CubicTo({134, 39}, {165, 60}, {162, 112});
  crown.QuadTo({150, 80}, {kMid, 70}).QuadTo({50, 80}, {38, 112});
  h.front.push_back(crown.Fill());
  h.front.push_back(Lock({38, 92}, {56, 84}, {45, 182}, -5));
  h.front.push_back(Lock({144, 84}, {162, 92}, {155, 182}, 5));
  h.front.push_back(Lock({44, 74}, {70, 60}, {50, 114}, -3));
  h.front.push_back(Lock({60, 62}, {90, 56}, {70, 110}, 3));
  h.front.push_back(Lock({128, 58}, {158, 76}, {152, 114}, 3));
  h.front.push_back(Lock({112, 56}, {142, 62}, {133, 109}, -4));
  h.front.push_back(Lock({80, 56}, {108, 55}, {90, 106}, 2));
  h.front.push_back(Lock({98, 55}, {124, 58}, {113, 104}, -3));
  h.strands = {{{78, 50}, {72, 76}, {70, 100}}, {{104, 48}, {100, 74}, {94, 98}},
               {{126, 52}, {130, 78}, {132, 100}}, {{58, 64}, {50, 90}, {47, 140}},
               {{146, 66}, {153, 100}, {154, 150}}};
  return h;
}

HairShapes LongHair() {
  HairShapes h;
  Path back({kMid, 40});
  back.CubicTo({62, 40}, {36, 64}, {34, 110}).LineTo({33, 214}).LineTo({kMid, 214});
  h.back = Symmetric(back);
  Path crown({38, 112});
  crown.CubicTo({35, 60}, {66, 39}, {kMid, 39}).CubicTo({134, 39}, {165, 60}, {162, 112});
  crown.QuadTo({150, 80}, {kMid, 72}).QuadTo({50, 80}, {38, 112});
  h.front.push_back(crown.Fill());
  // Long locks down over the shoulders, in front of the uniform.
  Path left({37, 96});
  left.CubicTo({28, 170}, {40, 230}, {33, 318}).QuadTo({38, 350}, {47, 372}).QuadTo({52, 330}, {60, 300});
  left.CubicTo({64, 240}, {58, 170}, {58, 104});
  h.front.push_back(left.Fill());
  Path right({163, 96});
  right.CubicTo({172, 170}, {161, 236}, {168, 322}).QuadTo({162, 352}, {152, 368}).QuadTo({148, 326}, {141, 298});
  right.CubicTo({138, 240}, {142, 170}, {142, 104});
  h.front.push_back(right.Fill());
  // Straight-cut side locks and a blunt fringe.
  h.front.push_back(Polygon({{39, 90}, {58, 88}, {57, 168}, {48, 172}, {40, 168}}));
  h.front.push_back(Polygon({{142, 88}, {161, 90}, {160, 168}, {152, 172}, {143, 168}}));
  Path fringe({42, 104});
  fringe.CubicTo({44, 66}, {70, 54}, {kMid, 54}).CubicTo({130, 54}, {156, 66}, {158, 104});
  std::vector<Vec2> edge = {{150, 104}, {146, 98}, {140, 105}, {128, 103}, {121, 97}, {114, 104},
                            {100, 103}, {93, 96},  {86, 104},  {72, 103},  {66, 97},  {60, 105}, {50, 104}};
  for (Vec2 p : edge) fringe.LineTo(p);
  h.front.push_back(fringe.Fill());
  h.strands = {{{80, 58}, {76, 80}, {74, 100}}, {{108, 56}, {108, 80}, {106, 100}},
               {{128, 60}, {132, 82}, {134, 100}}, {{52, 180}, {50, 250}, {52, 320}},
               {{148, 180}, {150, 250}, {149, 318}}};
  h.sheens = {{{46, 150}, {44, 230}, {45, 310}}, {{154, 150}, {157, 230}, {156, 306}}};
  return h;
}

void DrawHairLayer(Canvas& c, const Look& look, const std::vector<ShapePtr>& parts, const HairShapes* detail) {
  Canvas layer = c.Blank();
  Paint body = Linear(0, 40, 0, 190, {{0.0f, look.hair}, {0.6f, look.hair}, {1.0f, look.hairShadow}});
  for (const ShapePtr& p : parts) Inked(layer, p, body, look.hairLine, 1.0f);
  if (detail) {
    // Shade under the crown and towards the tips.
    layer.Fill(Rect(0, 96, 200, 400), WithAlpha(look.hairShadow, 0.55f), {14.0f * c.Scale(), 1.0f, Blend::Atop});
    // The ring of light across the crown, broken into strands.
    ShapePtr ring = Intersect(Outline(Ellipse(kMid, 92, 54, 38), 5.0f), Rect(0, 0, 200, 70));
    for (float x : {64.0f, 84.0f, 106.0f, 124.0f, 140.0f})
      ring = Subtract(ring, TaperedLine({{x, 48}, {x - 2, 62}}, 3.0f, 0.5f));
    layer.Fill(ring, WithAlpha(look.hairLight, 0.85f), {1.5f, 1.0f, Blend::Atop});
  }
  for (const auto& s : detail ? detail->sheens : std::vector<std::vector<Vec2>>{}) {
    Path p(s[0]);
    p.QuadTo(s[1], s[2]);
    layer.Fill(p.Taper(2.0f, 9.0f), WithAlpha(look.hairLight, 0.28f), {8.0f * c.Scale(), 1.0f, Blend::Atop});
  }
  for (const auto& s : detail ? detail->strands : std::vector<std::vector<Vec2>>{}) {
    Path p(s[0]);
    p.QuadTo(s[1], s[2]);
    layer.Fill(p.Taper(1.3f, 0.2f), WithAlpha(look.hairLine, 0.55f), {1.0f, 1.0f, Blend::Atop});
  }
  // This layer is kept separate so the shading stays inside the hair.
  c.Draw(layer);
}

// ---- Body -----------------------------------------------------------------

ShapePtr TorsoShape() {
  Path half({kMid, 252});
  half.QuadTo({95, 224}, {90, 198}).CubicTo({76, 201}, {60, 204}, {48, 211}).CubicTo({40, 216}, {38, 228}, {40, 246});
  half.CubicTo({44, 300}, {52, 350}, {54, 390}).CubicTo({52, 405}, {48, 418}, {46, 432}).LineTo({kMid, 432});
  return Symmetric(half);
}

// The arm on the viewer's left; the other is its mirror image.
ShapePtr ArmShape() {
  Path p({48, 209});
  p.CubicTo({31, 220}, {28, 250}, {28, 290}).CubicTo({27, 330}, {24, 370}, {21, 434}).LineTo({46, 434});
  p.CubicTo({46, 370}, {51, 322}, {51, 290}).CubicTo({51, 262}, {53, 238}, {52, 222});
  return p.Fill();
}

void DrawArm(Canvas& c, const Look& look, bool mirrored, Color cloth, Color clothShade) {
  auto m = [&](ShapePtr s) { return mirrored ? MirrorX(s, kMid) : s; };
  ShapePtr arm = m(ArmShape());
  Canvas layer = c.Blank();
  Inked(layer, arm, cloth, kUniformLine, 1.2f);
  // Light from the viewer's left: the arm on the right is in shade, the
  // other only along its inner side.
  ShapePtr shade = mirrored ? Subtract(arm, Translate(arm, -8, 0)) : Subtract(arm, Translate(arm, 5, 0));
  layer.Fill(shade, WithAlpha(clothShade, mirrored ? 0.9f : 0.6f), {3.0f, 1.0f, Blend::Atop});
  Path fold({40, 300});
  fold.QuadTo({42, 322}, {38, 340});
  layer.Fill(m(fold.Taper(2.0f, 0.3f)), WithAlpha(clothShade, 0.9f), {1.5f, 1.0f, Blend::Atop});
  ShapePtr cuff = Intersect(arm, Rect(0, 392, 200, 440));
  if (look.cardigan) {
    layer.Fill(cuff, WithAlpha(clothShade, 0.6f), {1.0f, 1.0f, Blend::Atop});
    for (float x = 24; x < 48; x += 3.5f)
      layer.Fill(m(Polyline({{x, 394}, {x - 0.5f, 430}}, 0.7f)), WithAlpha(clothShade, 0.9f), {1.0f, 1.0f, Blend::Atop});
  } else {
    layer.Fill(cuff, kNavy, {1.0f, 1.0f, Blend::Atop});
    layer.Fill(Intersect(arm, Rect(0, 398, 200, 399.6f)), Hex(0xF4F2FF), {1.0f, 1.0f, Blend::Atop});
    layer.Fill(Intersect(arm, Rect(0, 402, 200, 403.2f)), Hex(0xF4F2FF), {1.0f, 1.0f, Blend::Atop});
  }
  layer.Fill(Intersect(arm, Polyline({{0, 392}, {200, 392}}, 1.2f)), kUniformLine, {1.0f, 1.0f, Blend::Atop});
  c.Draw(layer);
}

void DrawBody(Canvas& c, const Look& look) {
  // Neck, shaded under the chin, showing down into the collar's V.
  ShapePtr neck = Rect(88, 140, 112, 224, 6);
  Inked(c, neck, Linear(0, 160, 0, 184, {{0.0f, look.skinShadow}, {1.0f, look.skin}}), look.skinLine);
  ShapePtr body = TorsoShape();
  Color cloth = look.cardigan ? Hex(0xE3CFAA) : kBlouse;
  Color clothShade = look.cardigan ? Hex(0xB59C78) : kBlouseShade;
  Canvas layer = c.Blank();
  Inked(layer, body, cloth, kUniformLine, 1.2f);
  // Form shading on the far side, and folds towards the waist.
  layer.Fill(Subtract(body, Translate(body, -14, 0)), WithAlpha(clothShade, 0.85f), {4.0f, 1.0f, Blend::Atop});
  for (float s : {1.0f, -1.0f}) {
    Path fold({kMid - s * 34, 290});
    fold.QuadTo({kMid - s * 38, 330}, {kMid - s * 40, 380});
    layer.Fill(fold.Taper(0.3f, 2.6f), WithAlpha(clothShade, 0.8f), {2.0f, 1.0f, Blend::Atop});
  }
  if (look.cardigan) {
    layer.Fill(Rect(99.2f, 268, 100.8f, 432), WithAlpha(Hex(0x8A7358), 0.9f), {1.0f, 1.0f, Blend::Atop});
    for (float y : {300.0f, 332.0f, 364.0f}) {
      layer.Fill(Circle(104.5f, y, 3.0f), Hex(0x7A5A3E), {1.0f, 1.0f, Blend::Atop});
      layer.Fill(Circle(103.8f, y - 0.8f, 1.0f), Hex(0xFFFFFF, 0.5f), {1.0f, 1.0f, Blend::Atop});
    }
    // Ribbing at the hem.
    layer.Fill(Rect(0, 382, 200, 400), WithAlpha(clothShade, 0.5f), {1.0f, 1.0f, Blend::Atop});
  }
  // Pleated skirt below the hem.
  ShapePtr skirt = Intersect(body, Rect(0, 400, 200, 440));
  layer.Fill(skirt, Linear(0, 400, 0, 430, {{0.0f, Hex(0x1E254A)}, {1.0f, Hex(0x2C3562)}}));
  for (float x = 50; x < 160; x += 12) layer.Fill(Polyline({{x, 401}, {x + (x - kMid) * 0.08f, 432}}, 1.0f), Hex(0x111530, 0.8f));
  layer.Fill(Intersect(body, Polyline({{0, 400}, {200, 400}}, 1.4f)), kUniformLine);
  c.Draw(layer);
  DrawArm(c, look, false, cloth, clothShade);
  DrawArm(c, look, true, cloth, clothShade);

  // Sailor collar with its stripes, and the scarf.
  Path collarHalf({88, 194});
  collarHalf.LineTo({46, 210}).QuadTo({70, 248}, {kMid, 284}).LineTo({kMid, 252}).QuadTo({95, 224}, {91, 199});
  ShapePtr left = collarHalf.Fill();
  ShapePtr collar = Union(left, MirrorX(left, kMid));
  Inked(c, collar, Linear(0, 190, 0, 280, {{0.0f, Shade(kNavy, 1.15f)}, {1.0f, kNavy}}), kUniformLine);
  for (float s : {1.0f, -1.0f}) {
    for (float inset : {6.0f, 10.0f}) {
      Path stripe({kMid - s * (52 - inset * 0.2f), 210 + inset * 0.6f});
      stripe.QuadTo({kMid - s * (31 - inset * 0.3f), 244 - inset * 0.2f}, {kMid - s * 0.5f, 276 - inset * 1.2f});
      c.Fill(Intersect(stripe.Stroke(1.4f), collar), Hex(0xF4F2FF));
    }
  }
  // Low in the collar's V, the blouse's chest piece.
  Path vee({91, 199});
  vee.QuadTo({95, 224}, {kMid, 252}).QuadTo({105, 224}, {109, 199});
  ShapePtr piece = Intersect(vee.Fill(), Rect(0, 226, 200, 260));
  c.Fill(piece, Linear(0, 226, 0, 252, {{0.0f, Hex(0xD8D9E6)}, {1.0f, kBlouse}}));
  c.Fill(Intersect(vee.Fill(), Polyline({{0, 226}, {200, 226}}, 1.0f)), WithAlpha(kUniformLine, 0.7f));
  // Scarf: knot and two tails.
  Path tailL({96, 262});
  tailL.QuadTo({88, 286}, {80, 318}).LineTo({92, 314}).QuadTo({97, 288}, {kMid, 266});
  Path tailR({104, 262});
  tailR.QuadTo({114, 286}, {118, 320}).LineTo({107, 315}).QuadTo({103, 288}, {kMid, 266});
  Paint scarf = Linear(0, 256, 0, 320, {{0.0f, kScarf}, {1.0f, Shade(kScarf, 0.78f)}});
  Inked(c, tailL.Fill(), scarf, Hex(0x5A1A22));
  Inked(c, tailR.Fill(), scarf, Hex(0x5A1A22));
  ShapePtr knot = Rect(92, 254, 108, 270, 5);
  Inked(c, knot, scarf, Hex(0x5A1A22));
  c.Fill(Polyline({{95, 258}, {99, 257}}, 1.4f), Hex(0xFFFFFF, 0.55f));
}

// ---- Face -----------------------------------------------------------------

ShapePtr FaceShape() {
  Path half({kMid, 62});
  half.CubicTo({72, 62}, {54, 82}, {54, 110}).CubicTo({54, 132}, {60, 146}, {72, 157}).QuadTo({88, 170}, {kMid, 172});
  return Symmetric(half);
}

struct EyeGeometry {
  Vec2 inner{90, 123}, outer{64, 117};
  Vec2 lidC1{88, 110}, lidC2{73, 106};
  Vec2 lowC1{67, 131}, lowC2{82, 136};
  Vec2 iris{77.5f, 124};
  float irisRx = 9.5f, irisRy = 12.0f;
};

void DrawEye(Canvas& c, const Look& look, Mood mood, bool mirrored) {
  auto m = [&](ShapePtr s) { return mirrored ? MirrorX(s, kMid) : s; };
  auto mp = [&](Vec2 p) { return mirrored ? Vec2{2 * kMid - p.x, p.y} : p; };
  EyeGeometry g;
  const Color lash = Hex(0x2A1A20);
  if (mood == Mood::Smile) {
    // Closed, smiling eyes: an upward arch with a little flick.
    Path arc({65, 125});
    arc.QuadTo({77, 110}, {90, 123});
    c.Fill(m(arc.Taper(3.2f, 1.6f)), lash);
    c.Fill(m(TaperedLine({{66, 124}, {61, 127}}, 2.2f, 0.4f)), lash);
    return;
  }
  float lift = mood == Mood::Surprised ? 4.0f : -look.lidDrop;
  g.lidC1.y -= lift;
  g.lidC2.y -= lift;
  if (mood == Mood::Surprised) {
    g.irisRx = 8.0f;
    g.irisRy = 10.0f;
  }
  Path open(g.inner);
  open.CubicTo(g.lidC1, g.lidC2, g.outer).CubicTo(g.lowC1, g.lowC2, g.inner);
  ShapePtr white = m(open.Fill());
  c.Fill(white, Hex(0xFFFFFF));
  ShapePtr iris = m(Ellipse(g.iris.x, g.iris.y, g.irisRx, g.irisRy));
  ShapePtr seen = Intersect(iris, white);
  c.Fill(seen, Linear(0, g.iris.y - g.irisRy, 0, g.iris.y + g.irisRy,
                      {{0.0f, look.eyeDark}, {0.5f, look.eye}, {1.0f, look.eyeLight}}));
  c.Fill(Intersect(m(Ellipse(g.iris.x, g.iris.y - 0.5f, g.irisRx * 0.45f, g.irisRy * 0.55f)), white),
         Shade(look.eyeDark, 0.55f));
  c.Fill(Intersect(Outline(iris, 1.2f), white), look.eyeDark);
  // The lid's shadow on the eyeball.
  c.Fill(white, Linear(0, g.iris.y - 16, 0, g.iris.y - 4, {{0.0f, Hex(0x8A6070, 0.5f)}, {1.0f, Hex(0x8A6070, 0.0f)}}));
  Vec2 h1 = mp({g.iris.x - 4.0f, g.iris.y - 5.5f}), h2 = mp({g.iris.x + 4.0f, g.iris.y + 6.0f});
  c.Fill(Intersect(Ellipse(h1.x, h1.y, 3.4f, 3.8f), white), Hex(0xFFFFFF));
  c.Fill(Intersect(Circle(h2.x, h2.y, 1.6f), white), Hex(0xFFFFFF, 0.9f));
  // Lashes: a heavy upper line flicked out at the corner, a light lower one.
  Path upper(g.inner);
  upper.CubicTo(g.lidC1, g.lidC2, g.outer);
  c.Fill(m(upper.Taper(1.2f, 3.8f)), lash);
  c.Fill(m(TaperedLine({g.outer, {g.outer.x - 5, g.outer.y - 2.5f}}, 2.6f, 0.4f)), lash);
  c.Fill(m(TaperedLine({{g.outer.x + 1, g.outer.y + 2}, {g.outer.x - 4, g.outer.y + 4}}, 1.6f, 0.3f)), lash);
  Path lower({g.outer.x + 3, g.outer.y + 6});
  lower.CubicTo({g.lowC1.x + 2, g.lowC1.y + 1}, {g.lowC2.x, g.lowC2.y + 0.5f}, {g.inner.x - 2, g.inner.y + 6});
  c.Fill(m(lower.Taper(1.0f, 0.3f)), WithAlpha(lash, 0.6f));
  Path crease({g.inner.x - 2, g.lidC1.y - 3});
  crease.QuadTo({g.iris.x, g.lidC2.y - 6}, {g.outer.x + 3, g.outer.y - 5});
  c.Fill(m(crease.Taper(0.4f, 1.0f)), WithAlpha(look.skinLine, 0.45f));
}

void DrawBrows(Canvas& c, const Look& look, Mood mood) {
  float raise = mood == Mood::Surprised ? 5.0f : 0.0f;
  Path brow({89, 101 - raise});
  brow.QuadTo({79, 94 - raise}, {67, 99 - raise});
  ShapePtr b = brow.Taper(2.4f, 0.8f);
  c.Fill(Union(b, MirrorX(b, kMid)), WithAlpha(look.hairLine, 0.75f));
}

void DrawMouth(Canvas& c, const Look& look, Mood mood) {
  const Color line = Hex(0x8A3A3A);
  if (mood == Mood::Surprised) {
    ShapePtr o = Ellipse(kMid, 155, 3.6f, 4.8f);
    Inked(c, o, Hex(0xA8404A), line, 0.8f);
    return;
  }
  bool open = mood == Mood::Smile || !look.glasses;  // the quiet one smiles with her mouth closed
  if (!open) {
    Path smile({94, 152});
    smile.QuadTo({kMid, 156.5f}, {106, 152});
    c.Fill(smile.Taper(1.0f, 1.0f), line);
    return;
  }
  float depth = mood == Mood::Smile ? 14 : 9;
  Path m({92, 150});
  m.QuadTo({kMid, 150 + depth * 1.2f}, {108, 150}).QuadTo({kMid, 152}, {92, 150});
  ShapePtr mouth = m.Fill();
  Inked(c, mouth, Hex(0xA8404A), line, 0.8f);
  c.Fill(Intersect(mouth, Ellipse(kMid, 150 + depth, 6, depth * 0.45f)), Hex(0xF08A90));
}

void DrawFace(Canvas& c, const Look& look, Mood mood, const ShapePtr& frontHair) {
  ShapePtr face = FaceShape();
  // Ears, half hidden by the hair.
  for (float s : {1.0f, -1.0f}) Inked(c, Ellipse(kMid - s * 46, 124, 6, 10), look.skin, look.skinLine, 1.0f);
  Canvas layer = c.Blank();
  Inked(layer, face, look.skin, look.skinLine, 1.1f);
  // The fringe's shadow on the forehead, and a little under the cheekbones.
  layer.Fill(Translate(frontHair, 1.5f, 6.0f), WithAlpha(look.skinShadow, 0.9f), {2.0f, 1.0f, Blend::Atop});
  layer.Fill(Subtract(face, Translate(face, -6, -2)), WithAlpha(look.skinShadow, 0.6f), {4.0f, 1.0f, Blend::Atop});
  float blush = mood == Mood::Smile ? 0.55f : 0.32f;
  for (float s : {1.0f, -1.0f})
    layer.Fill(Ellipse(kMid - s * 29, 141, 11, 5), WithAlpha(look.blush, blush), {7.0f * c.Scale(), 1.0f, Blend::Atop});
  c.Draw(layer);
  c.Fill(Polyline({{101, 138}, {99.5f, 142}}, 1.2f), WithAlpha(look.skinLine, 0.55f));
  DrawEye(c, look, mood, false);
  DrawEye(c, look, mood, true);
  DrawMouth(c, look, mood);
}

void DrawGlasses(Canvas& c, const Look& look) {
  for (bool mirrored : {false, true}) {
    ShapePtr lens = Rect(59, 110, 94, 138, 9);
    if (mirrored) lens = MirrorX(lens, kMid);
    c.Fill(lens, Hex(0xFFFFFF, 0.08f));
    ShapePtr glare = Intersect(lens, Polygon({{70, 108}, {82, 108}, {68, 140}, {58, 140}}));
    c.Fill(mirrored ? glare : Translate(glare, 6, 0), Hex(0xFFFFFF, 0.22f));
    c.Fill(Outline(lens, 1.8f), look.accent);
  }
  Path bridge({94, 119});
  bridge.QuadTo({kMid, 115}, {106, 119});
  c.Fill(bridge.Stroke(1.6f), look.accent);
}

void DrawExtras(Canvas& c, const Look& look) {
  if (look.ahoge) {
    Path a({kMid + 2, 44});
    a.CubicTo({108, 30}, {106, 22}, {92, 20});
    ShapePtr s = a.Taper(5.0f, 0.6f);
    Inked(c, s, look.hair, look.hairLine, 1.0f);
  }
  if (look.hairClip) {
    std::vector<Vec2> star;
    for (int i = 0; i < 10; ++i) {
      float ang = -1.5708f + float(i) * 3.14159265f / 5.0f + 0.3f;
      float r = i % 2 == 0 ? 8.0f : 3.6f;
      star.push_back({56 + std::cos(ang) * r, 80 + std::sin(ang) * r});
    }
    ShapePtr s = Offset(Polygon(star), 0.8f);
    Inked(c, s, Radial(54, 77, 10, {{0.0f, Shade(look.accent, 1.25f)}, {1.0f, look.accent}}), Hex(0x8A5A10), 1.0f);
    c.Fill(Circle(53.5f, 77.5f, 1.6f), Hex(0xFFFFFF, 0.8f));
  }
}

}  // namespace

void DrawFigure(Canvas& canvas, const Look& look, Mood mood) {
  HairShapes hair = look.cut == HairCut::Bob ? BobHair() : LongHair();
  Canvas fig = canvas.Blank();
  float scale = canvas.Scale();
  DrawHairLayer(fig, look, {hair.back}, nullptr);
  DrawBody(fig, look);
  ShapePtr fringe = Union(hair.front);
  DrawFace(fig, look, mood, fringe);
  if (look.glasses) DrawGlasses(fig, look);
  DrawHairLayer(fig, look, hair.front, &hair);
  DrawBrows(fig, look, mood);
  DrawExtras(fig, look);
  fig.OutlineBeneath(1.4f * scale, Hex(0x2A1C24));
  canvas.Draw(fig);
}

}  // namespace makeart
