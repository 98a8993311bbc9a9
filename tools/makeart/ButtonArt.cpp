// Picture buttons and the title logo: the window's deep-blue glass with a
// gold rim, the label lettered in the game's Gothic face.
#include <algorithm>
#include <cmath>

#include "Catalog.h"
#include "platform/text/Font.h"
#include "platform/text/TextCodec.h"

namespace makeart {
namespace {

const Color kGold = Hex(0xF2DFA7);
const Color kGoldDeep = Hex(0xB8904A);

// Letters UTF-8 text centred on (cx, cy) in the colour, with a soft dark
// shadow under it, straight over the picture.
void Letter(Image& img, const std::string& utf8, int pixelHeight, float cx, float cy, Color color, bool bold,
            const char* face = "ＭＳ ゴシック") {
  auto font = platform::OpenFont(platform::Utf8ToCp932Lossy(face), pixelHeight, bold, false);
  platform::TextImage text;
  if (!font || !font->Render(utf8, text) || text.width == 0) return;
  int left = int(std::lround(cx - text.width / 2.0f)), top = int(std::lround(cy - text.height / 2.0f));
  auto over = [&](int x, int y, Color c, float coverage) {
    if (x < 0 || y < 0 || x >= img.width || y >= img.height || coverage <= 0) return;
    uint32_t& px = img.argb[size_t(y) * img.width + x];
    float da = float(px >> 24) / 255.0f, sa = c.a * coverage;
    float oa = sa + da * (1 - sa);
    auto channel = [&](int shift, float s) {
      float d = float((px >> shift) & 0xFF) / 255.0f;
      float v = oa > 0 ? (s * sa + d * da * (1 - sa)) / oa : 0;
      return uint32_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)) << shift;
    };
    px = (uint32_t(std::lround(oa * 255.0f)) << 24) | channel(16, c.r) | channel(8, c.g) | channel(0, c.b);
  };
  for (int pass = 0; pass < 2; ++pass) {
    for (int y = 0; y < text.height; ++y)
      for (int x = 0; x < text.width; ++x) {
        float cov = float(text.argb[size_t(y) * text.width + x] >> 24) / 255.0f;
        if (pass == 0) {
          for (int dy = 1; dy <= 2; ++dy) over(left + x + 1, top + y + dy, Hex(0x050818, 0.45f), cov);
        } else {
          over(left + x, top + y, color, cov);
        }
      }
  }
}

// The button's plate inside a transparent cell of w x h, inset by (mx, my).
Image Plate(int w, int h, float mx, float my, Color top, Color bottom, const std::string& label, int letterHeight) {
  Canvas c(w, h);
  float x0 = mx, y0 = my, x1 = float(w) - mx, y1 = float(h) - my;
  float radius = std::min(12.0f, (y1 - y0) / 2.0f);
  ShapePtr body = Rect(x0, y0, x1, y1, radius);
  // A faint shadow beneath, then the glass.
  c.Fill(Translate(body, 2, 3), Hex(0x000000, 0.35f), {5.0f});
  c.Fill(body, Linear(0, y0, 0, y1, {{0.0f, top}, {1.0f, bottom}}));
  ShapePtr sheen = Intersect(body, Ellipse((x0 + x1) / 2, y0 - (y1 - y0) * 0.6f, (x1 - x0) * 0.75f, (y1 - y0) * 1.05f));
  c.Fill(sheen, Hex(0xFFFFFF, 0.16f), {3.0f});
  c.Fill(Outline(Rect(x0 + 1.2f, y0 + 1.2f, x1 - 1.2f, y1 - 1.2f, radius - 1.2f), 2.0f),
         Linear(0, y0, 0, y1, {{0.0f, kGold}, {1.0f, kGoldDeep}}));
  c.Fill(Outline(Rect(x0 + 4.5f, y0 + 4.5f, x1 - 4.5f, y1 - 4.5f, std::max(radius - 4.0f, 2.0f)), 0.8f),
         Hex(0xE8E4FF, 0.30f));
  // A small gold diamond before the label.
  float dx = x0 + 11.0f, dy = (y0 + y1) / 2;
  c.Fill(Polygon({{dx - 4, dy}, {dx, dy - 5}, {dx + 4, dy}, {dx, dy + 5}}), kGold);
  Image img = c.ToImage();
  Letter(img, label, letterHeight, (x0 + x1) / 2 + 6, (y0 + y1) / 2, Hex(0xFFF8E8), true);
  return img;
}

}  // namespace

Image DrawTitleButton(const std::string& labelUtf8) {
  return Plate(150, 66, 14, 9, Hex(0x2E3C70, 0.88f), Hex(0x131A38, 0.92f), labelUtf8, 18);
}

Image DrawWindowButton(const std::string& labelUtf8) {
  return Plate(156, 136, 12, 38, Hex(0x4A3A70, 0.90f), Hex(0x1E1638, 0.94f), labelUtf8, 20);
}

// The title, lettered on the right of a 400 x 426 picture above a soft
// glow, with the subtitle and a line of small stars.
Image DrawTitleLogo() { return DrawTitleLogoOf("夕焼けの約束", "〜 Yuuyake no Yakusoku 〜"); }

Image DrawTitleLogoOf(const std::string& title, const std::string& subtitle, const char* face) {
  Canvas c(400, 426);
  c.Fill(Ellipse(250, 120, 160, 70), Radial(250, 120, 160, {{0.0f, Hex(0xFFF0D0, 0.55f)}, {1.0f, Hex(0xFFF0D0, 0.0f)}}),
         {20.0f});
  c.Fill(Polyline({{120, 168}, {380, 168}}, 1.6f), Linear(120, 0, 380, 0, {{0.0f, Hex(0xF2DFA7, 0.0f)},
                                                                       {0.5f, Hex(0xF2DFA7, 0.95f)},
                                                                       {1.0f, Hex(0xF2DFA7, 0.0f)}}));
  for (int i = 0; i < 5; ++i) {
    float x = 190 + 30.0f * float(i), y = 186, r = i == 2 ? 6.0f : 4.0f;
    std::vector<Vec2> pts;
    for (int k = 0; k < 8; ++k) {
      float a = float(k) * 3.14159265f / 4.0f;
      float rr = k % 2 == 0 ? r : r * 0.3f;
      pts.push_back({x + std::cos(a) * rr, y + std::sin(a) * rr});
    }
    c.Fill(Polygon(pts), kGold);
  }
  Image img = c.ToImage();
  // A long title is lettered smaller, to stay within the picture: centred
  // at x 252, it has 148 pixels on its right.
  int height = 44;
  constexpr int kWidest = 2 * (400 - 252) - 8;
  if (auto font = platform::OpenFont(platform::Utf8ToCp932Lossy(face), height, true, false)) {
    platform::TextImage text;
    if (font->Render(title, text) && text.width > kWidest)
      height = std::max(12, int(44.0f * float(kWidest) / float(text.width)));
  }
  Letter(img, title, height, 252, 118, Hex(0xFFF4E0), true, face);
  if (!subtitle.empty()) Letter(img, subtitle, 16, 252, 214, Hex(0xF2DFA7), false);
  return img;
}

}  // namespace makeart
