#pragma once
// A floating-point picture with premultiplied alpha that shapes are painted
// into. Shapes are given in model coordinates; the view maps them to pixels,
// so one drawing routine serves a full standing picture and a close-up face.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

#include "Shapes.h"

namespace makeart {

struct Color {
  float r = 0, g = 0, b = 0, a = 1;  // straight alpha, 0..1
};
// 0xRRGGBB with an alpha.
Color Hex(uint32_t rgb, float a = 1.0f);
Color Mix(Color x, Color y, float t);
Color WithAlpha(Color c, float a);
// Multiplies the colour by a factor (darker below 1, brighter above).
Color Shade(Color c, float f);

// A colour for each model point.
using Paint = std::function<Color(float x, float y)>;
Paint Solid(Color c);
// Colour stops along the line from (x0, y0) to (x1, y1); t runs 0..1.
Paint Linear(float x0, float y0, float x1, float y1, std::initializer_list<std::pair<float, Color>> stops);
// Colour stops from the centre (t = 0) to the radius (t = 1).
Paint Radial(float cx, float cy, float r, std::initializer_list<std::pair<float, Color>> stops);

enum class Blend {
  Over,  // paint over what is there
  Atop,  // only where something is already painted, keeping its alpha
  Erase,    // removes alpha
  Add,      // adds light (for opaque pictures)
  Multiply  // darkens by the colour
};

struct FillOptions {
  float feather = 1.0f;  // width of the soft edge in pixels (1 = crisp anti-aliasing)
  float opacity = 1.0f;
  Blend blend = Blend::Over;
};

struct Image {
  int width = 0, height = 0;
  std::vector<uint32_t> argb;  // 0xAARRGGBB, top row first, straight alpha
};

class Canvas {
 public:
  Canvas(int width, int height);
  int Width() const { return w_; }
  int Height() const { return h_; }

  // model = (pixel - offset) / scale
  void SetView(float scale, float offsetX, float offsetY);
  float Scale() const { return scale_; }
  // An empty canvas of the same size and view: a layer to paint apart.
  Canvas Blank() const;

  void Fill(const ShapePtr& shape, const Paint& paint, FillOptions options = {});
  void Fill(const ShapePtr& shape, Color color, FillOptions options = {}) { Fill(shape, Solid(color), options); }
  void FillAll(const Paint& paint);
  // Paints another canvas of the same size over this one.
  void Draw(const Canvas& layer, float opacity = 1.0f, Blend blend = Blend::Over);
  // A band of colour around everything painted so far, radius in pixels,
  // drawn beneath it: the outer line of a figure.
  void OutlineBeneath(float radius, Color color);
  // Box blur of the given radius in pixels, three passes (close to Gaussian).
  void Blur(int radius);
  // Multiplies the alpha of every pixel by a paint's alpha (a soft mask).
  void MaskAlpha(const Paint& mask);

  Image ToImage() const;

 private:
  struct Px {
    float r, g, b, a;  // premultiplied
  };
  void Put(Px& dst, Color src, float coverage, Blend blend) const;
  float ModelX(int px) const { return (float(px) + 0.5f - offX_) / scale_; }
  float ModelY(int py) const { return (float(py) + 0.5f - offY_) / scale_; }

  int w_, h_;
  std::vector<Px> px_;
  float scale_ = 1.0f, offX_ = 0.0f, offY_ = 0.0f;
};

}  // namespace makeart
