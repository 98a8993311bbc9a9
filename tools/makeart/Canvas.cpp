#include "Canvas.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace makeart {

Color Hex(uint32_t rgb, float a) {
  return {float((rgb >> 16) & 0xFF) / 255.0f, float((rgb >> 8) & 0xFF) / 255.0f, float(rgb & 0xFF) / 255.0f, a};
}

Color Mix(Color x, Color y, float t) {
  return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

Color WithAlpha(Color c, float a) { return {c.r, c.g, c.b, a}; }

Color Shade(Color c, float f) {
  return {std::min(c.r * f, 1.0f), std::min(c.g * f, 1.0f), std::min(c.b * f, 1.0f), c.a};
}

namespace {

using Stops = std::vector<std::pair<float, Color>>;

Color AtStop(const Stops& stops, float t) {
  if (t <= stops.front().first) return stops.front().second;
  for (size_t i = 1; i < stops.size(); ++i) {
    if (t <= stops[i].first) {
      float span = stops[i].first - stops[i - 1].first;
      float u = span > 0 ? (t - stops[i - 1].first) / span : 1.0f;
      // Smoothed between stops, so gradients show no hard seams.
      u = u * u * (3 - 2 * u);
      return Mix(stops[i - 1].second, stops[i].second, u);
    }
  }
  return stops.back().second;
}

}  // namespace

Paint Solid(Color c) {
  return [c](float, float) { return c; };
}

Paint Linear(float x0, float y0, float x1, float y1, std::initializer_list<std::pair<float, Color>> stops) {
  Stops s(stops);
  float dx = x1 - x0, dy = y1 - y0;
  float len2 = dx * dx + dy * dy;
  return [s, x0, y0, dx, dy, len2](float x, float y) {
    float t = len2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / len2 : 0.0f;
    return AtStop(s, t);
  };
}

Paint Radial(float cx, float cy, float r, std::initializer_list<std::pair<float, Color>> stops) {
  Stops s(stops);
  return [s, cx, cy, r](float x, float y) {
    float t = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) / r;
    return AtStop(s, t);
  };
}

Canvas::Canvas(int width, int height) : w_(width), h_(height), px_(size_t(width) * size_t(height), Px{0, 0, 0, 0}) {}

void Canvas::SetView(float scale, float offsetX, float offsetY) {
  scale_ = scale;
  offX_ = offsetX;
  offY_ = offsetY;
}

Canvas Canvas::Blank() const {
  Canvas c(w_, h_);
  c.SetView(scale_, offX_, offY_);
  return c;
}

void Canvas::Put(Px& dst, Color src, float coverage, Blend blend) const {
  float k = std::clamp(src.a * coverage, 0.0f, 1.0f);
  if (k <= 0) return;
  switch (blend) {
    case Blend::Over:
      dst.r = src.r * k + dst.r * (1 - k);
      dst.g = src.g * k + dst.g * (1 - k);
      dst.b = src.b * k + dst.b * (1 - k);
      dst.a = k + dst.a * (1 - k);
      break;
    case Blend::Atop:
      dst.r = src.r * k * dst.a + dst.r * (1 - k);
      dst.g = src.g * k * dst.a + dst.g * (1 - k);
      dst.b = src.b * k * dst.a + dst.b * (1 - k);
      break;
    case Blend::Erase:
      dst.r *= 1 - k;
      dst.g *= 1 - k;
      dst.b *= 1 - k;
      dst.a *= 1 - k;
      break;
    case Blend::Add:
      dst.r = std::min(dst.r + src.r * k, dst.a);
      dst.g = std::min(dst.g + src.g * k, dst.a);
      dst.b = std::min(dst.b + src.b * k, dst.a);
      break;
    case Blend::Multiply:
      dst.r *= 1 - k + src.r * k;
      dst.g *= 1 - k + src.g * k;
      dst.b *= 1 - k + src.b * k;
      break;
  }
}

void Canvas::Fill(const ShapePtr& shape, const Paint& paint, FillOptions options) {
  float feather = std::max(options.feather, 0.01f);
  Box b = shape->Bounds().Grown(feather / scale_ + 1.0f / scale_);
  int x0 = std::max(0, int(std::floor(b.x0 * scale_ + offX_)));
  int y0 = std::max(0, int(std::floor(b.y0 * scale_ + offY_)));
  int x1 = std::min(w_ - 1, int(std::ceil(b.x1 * scale_ + offX_)));
  int y1 = std::min(h_ - 1, int(std::ceil(b.y1 * scale_ + offY_)));
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      float mx = ModelX(x), my = ModelY(y);
      float d = shape->Distance(mx, my) * scale_;
      float coverage = std::clamp(0.5f - d / feather, 0.0f, 1.0f) * options.opacity;
      if (coverage <= 0) continue;
      Put(px_[size_t(y) * w_ + x], paint(mx, my), coverage, options.blend);
    }
  }
}

void Canvas::FillAll(const Paint& paint) {
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) Put(px_[size_t(y) * w_ + x], paint(ModelX(x), ModelY(y)), 1.0f, Blend::Over);
}

void Canvas::Draw(const Canvas& layer, float opacity, Blend blend) {
  if (layer.w_ != w_ || layer.h_ != h_) return;
  for (size_t i = 0; i < px_.size(); ++i) {
    const Px& s = layer.px_[i];
    if (s.a <= 0) continue;
    Color straight{s.r / s.a, s.g / s.a, s.b / s.a, s.a};
    Put(px_[i], straight, opacity, blend);
  }
}

void Canvas::OutlineBeneath(float radius, Color color) {
  int r = int(std::ceil(radius)) + 1;
  std::vector<float> grown(px_.size(), 0.0f);
  for (int y = 0; y < h_; ++y) {
    for (int x = 0; x < w_; ++x) {
      float best = 0;
      for (int dy = -r; dy <= r && best < 1; ++dy) {
        int yy = y + dy;
        if (yy < 0 || yy >= h_) continue;
        for (int dx = -r; dx <= r; ++dx) {
          int xx = x + dx;
          if (xx < 0 || xx >= w_) continue;
          float a = px_[size_t(yy) * w_ + xx].a;
          if (a <= best) continue;
          float reach = std::clamp(radius + 0.5f - std::sqrt(float(dx * dx + dy * dy)), 0.0f, 1.0f);
          best = std::max(best, a * reach);
        }
      }
      grown[size_t(y) * w_ + x] = best;
    }
  }
  for (size_t i = 0; i < px_.size(); ++i) {
    Px under{color.r * color.a * grown[i], color.g * color.a * grown[i], color.b * color.a * grown[i],
             color.a * grown[i]};
    Px& top = px_[i];
    top = {top.r + under.r * (1 - top.a), top.g + under.g * (1 - top.a), top.b + under.b * (1 - top.a),
           top.a + under.a * (1 - top.a)};
  }
}

void Canvas::Blur(int radius) {
  if (radius <= 0) return;
  std::vector<Px> tmp(px_.size());
  auto pass = [&](bool horizontal) {
    int n = horizontal ? w_ : h_, lines = horizontal ? h_ : w_;
    for (int line = 0; line < lines; ++line) {
      auto at = [&](int i) -> Px& {
        i = std::clamp(i, 0, n - 1);
        return horizontal ? px_[size_t(line) * w_ + i] : px_[size_t(i) * w_ + line];
      };
      Px sum{0, 0, 0, 0};
      for (int i = -radius; i <= radius; ++i) {
        const Px& p = at(i);
        sum = {sum.r + p.r, sum.g + p.g, sum.b + p.b, sum.a + p.a};
      }
      float inv = 1.0f / float(2 * radius + 1);
      for (int i = 0; i < n; ++i) {
        size_t out = horizontal ? size_t(line) * w_ + i : size_t(i) * w_ + line;
        tmp[out] = {sum.r * inv, sum.g * inv, sum.b * inv, sum.a * inv};
        const Px& add = at(i + radius + 1);
        const Px& sub = at(i - radius);
        sum = {sum.r + add.r - sub.r, sum.g + add.g - sub.g, sum.b + add.b - sub.b, sum.a + add.a - sub.a};
      }
    }
    px_.swap(tmp);
  };
  for (int i = 0; i < 3; ++i) {
    pass(true);
    pass(false);
  }
}

void Canvas::MaskAlpha(const Paint& mask) {
  for (int y = 0; y < h_; ++y) {
    for (int x = 0; x < w_; ++x) {
      Px& p = px_[size_t(y) * w_ + x];
      float m = std::clamp(mask(ModelX(x), ModelY(y)).a, 0.0f, 1.0f);
      p = {p.r * m, p.g * m, p.b * m, p.a * m};
    }
  }
}

Image Canvas::ToImage() const {
  Image img{w_, h_, std::vector<uint32_t>(px_.size())};
  for (int y = 0; y < h_; ++y) {
    for (int x = 0; x < w_; ++x) {
      const Px& p = px_[size_t(y) * w_ + x];
      // A little fixed noise before rounding keeps smooth gradients free of
      // visible steps.
      uint32_t hsh = uint32_t(x) * 73856093u ^ uint32_t(y) * 19349663u;
      hsh = (hsh ^ (hsh >> 13)) * 1274126177u;
      float dither = float(hsh & 0xFF) / 255.0f - 0.5f;
      auto byte = [dither](float v) { return uint32_t(std::clamp(v * 255.0f + dither, 0.0f, 255.0f) + 0.5f) & 0xFF; };
      float a = std::clamp(p.a, 0.0f, 1.0f);
      uint32_t ab = uint32_t(a * 255.0f + 0.5f);
      if (ab == 0) {
        img.argb[size_t(y) * w_ + x] = 0;
        continue;
      }
      img.argb[size_t(y) * w_ + x] = ab << 24 | byte(p.r / a) << 16 | byte(p.g / a) << 8 | byte(p.b / a);
    }
  }
  return img;
}

}  // namespace makeart
