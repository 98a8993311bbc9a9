#include "Shapes.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace makeart {

Vec2 Lerp(Vec2 a, Vec2 b, float t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

namespace {

float Dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
float Len(Vec2 a) { return std::sqrt(Dot(a, a)); }

Box BoundsOf(const std::vector<Vec2>& pts) {
  Box b{std::numeric_limits<float>::max(), std::numeric_limits<float>::max(), std::numeric_limits<float>::lowest(),
        std::numeric_limits<float>::lowest()};
  for (Vec2 p : pts) {
    b.x0 = std::min(b.x0, p.x);
    b.y0 = std::min(b.y0, p.y);
    b.x1 = std::max(b.x1, p.x);
    b.y1 = std::max(b.y1, p.y);
  }
  return b;
}

class CircleShape : public Shape {
 public:
  CircleShape(float cx, float cy, float r) : c_{cx, cy}, r_(r) {}
  float Distance(float x, float y) const override { return Len(Vec2{x, y} - c_) - r_; }
  Box Bounds() const override { return {c_.x - r_, c_.y - r_, c_.x + r_, c_.y + r_}; }

 private:
  Vec2 c_;
  float r_;
};

class EllipseShape : public Shape {
 public:
  EllipseShape(float cx, float cy, float rx, float ry) : c_{cx, cy}, rx_(rx), ry_(ry) {}
  // The usual first-order estimate: the implicit function over its gradient.
  float Distance(float x, float y) const override {
    float px = x - c_.x, py = y - c_.y;
    float k0 = std::sqrt((px * px) / (rx_ * rx_) + (py * py) / (ry_ * ry_));
    float k1 = std::sqrt((px * px) / (rx_ * rx_ * rx_ * rx_) + (py * py) / (ry_ * ry_ * ry_ * ry_));
    if (k1 < 1e-6f) return -std::min(rx_, ry_);
    return k0 * (k0 - 1.0f) / k1;
  }
  Box Bounds() const override { return {c_.x - rx_, c_.y - ry_, c_.x + rx_, c_.y + ry_}; }

 private:
  Vec2 c_;
  float rx_, ry_;
};

class RectShape : public Shape {
 public:
  RectShape(float x0, float y0, float x1, float y1, float r) : box_{x0, y0, x1, y1}, r_(r) {}
  float Distance(float x, float y) const override {
    float cx = (box_.x0 + box_.x1) / 2, cy = (box_.y0 + box_.y1) / 2;
    float hx = (box_.x1 - box_.x0) / 2 - r_, hy = (box_.y1 - box_.y0) / 2 - r_;
    float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
    float outside = Len(Vec2{std::max(qx, 0.0f), std::max(qy, 0.0f)});
    return outside + std::min(std::max(qx, qy), 0.0f) - r_;
  }
  Box Bounds() const override { return box_; }

 private:
  Box box_;
  float r_;
};

class PolygonShape : public Shape {
 public:
  explicit PolygonShape(std::vector<Vec2> pts) : pts_(std::move(pts)), box_(BoundsOf(pts_)) {}
  // Distance to the nearest edge, signed by the even-odd crossing rule.
  float Distance(float x, float y) const override {
    if (pts_.size() < 3) return 1e6f;
    Vec2 p{x, y};
    float d = Dot(p - pts_[0], p - pts_[0]);
    float s = 1.0f;
    for (size_t i = 0, j = pts_.size() - 1; i < pts_.size(); j = i, ++i) {
      Vec2 e = pts_[j] - pts_[i];
      Vec2 w = p - pts_[i];
      float ee = Dot(e, e);
      float t = ee > 0 ? std::clamp(Dot(w, e) / ee, 0.0f, 1.0f) : 0.0f;
      Vec2 b = w - e * t;
      d = std::min(d, Dot(b, b));
      bool c1 = p.y >= pts_[i].y, c2 = p.y < pts_[j].y, c3 = e.x * w.y > e.y * w.x;
      if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
    }
    return s * std::sqrt(d);
  }
  Box Bounds() const override { return box_; }

 private:
  std::vector<Vec2> pts_;
  Box box_;
};

class LineShape : public Shape {
 public:
  LineShape(std::vector<Vec2> pts, float w0, float w1) : pts_(std::move(pts)), w0_(w0), w1_(w1) {
    box_ = BoundsOf(pts_).Grown(std::max(w0, w1) / 2);
    along_.push_back(0);
    for (size_t i = 1; i < pts_.size(); ++i) along_.push_back(along_.back() + Len(pts_[i] - pts_[i - 1]));
  }
  float Distance(float x, float y) const override {
    Vec2 p{x, y};
    float total = along_.back() > 0 ? along_.back() : 1.0f;
    if (pts_.size() == 1) return Len(p - pts_[0]) - w0_ / 2;
    float best = 1e6f;
    for (size_t i = 1; i < pts_.size(); ++i) {
      Vec2 e = pts_[i] - pts_[i - 1];
      Vec2 w = p - pts_[i - 1];
      float ee = Dot(e, e);
      float t = ee > 0 ? std::clamp(Dot(w, e) / ee, 0.0f, 1.0f) : 0.0f;
      float at = (along_[i - 1] + t * (along_[i] - along_[i - 1])) / total;
      float half = (w0_ + (w1_ - w0_) * at) / 2;
      best = std::min(best, Len(w - e * t) - half);
    }
    return best;
  }
  Box Bounds() const override { return box_; }

 private:
  std::vector<Vec2> pts_;
  std::vector<float> along_;
  float w0_, w1_;
  Box box_;
};

enum class Op { Union, Intersect, Subtract };

class CombinedShape : public Shape {
 public:
  CombinedShape(Op op, std::vector<ShapePtr> parts) : op_(op), parts_(std::move(parts)) {}
  float Distance(float x, float y) const override {
    float d = parts_[0]->Distance(x, y);
    for (size_t i = 1; i < parts_.size(); ++i) {
      float e = parts_[i]->Distance(x, y);
      switch (op_) {
        case Op::Union: d = std::min(d, e); break;
        case Op::Intersect: d = std::max(d, e); break;
        case Op::Subtract: d = std::max(d, -e); break;
      }
    }
    return d;
  }
  Box Bounds() const override {
    Box b = parts_[0]->Bounds();
    for (size_t i = 1; i < parts_.size() && op_ != Op::Subtract; ++i) {
      Box o = parts_[i]->Bounds();
      if (op_ == Op::Union) b = {std::min(b.x0, o.x0), std::min(b.y0, o.y0), std::max(b.x1, o.x1), std::max(b.y1, o.y1)};
      else b = {std::max(b.x0, o.x0), std::max(b.y0, o.y0), std::min(b.x1, o.x1), std::min(b.y1, o.y1)};
    }
    return b;
  }

 private:
  Op op_;
  std::vector<ShapePtr> parts_;
};

class OffsetShape : public Shape {
 public:
  OffsetShape(ShapePtr s, float d, bool outline) : s_(std::move(s)), d_(d), outline_(outline) {}
  float Distance(float x, float y) const override {
    float d = s_->Distance(x, y);
    return outline_ ? std::fabs(d) - d_ : d - d_;
  }
  Box Bounds() const override { return s_->Bounds().Grown(std::max(d_, 0.0f)); }

 private:
  ShapePtr s_;
  float d_;
  bool outline_;
};

class MovedShape : public Shape {
 public:
  MovedShape(ShapePtr s, float dx, float dy, bool mirror, float axis)
      : s_(std::move(s)), dx_(dx), dy_(dy), mirror_(mirror), axis_(axis) {}
  float Distance(float x, float y) const override {
    if (mirror_) return s_->Distance(2 * axis_ - x, y);
    return s_->Distance(x - dx_, y - dy_);
  }
  Box Bounds() const override {
    Box b = s_->Bounds();
    if (mirror_) return {2 * axis_ - b.x1, b.y0, 2 * axis_ - b.x0, b.y1};
    return {b.x0 + dx_, b.y0 + dy_, b.x1 + dx_, b.y1 + dy_};
  }

 private:
  ShapePtr s_;
  float dx_, dy_;
  bool mirror_;
  float axis_;
};

int CurveSteps(float length) { return std::clamp(int(length / 2.5f), 4, 64); }

}  // namespace

ShapePtr Circle(float cx, float cy, float r) { return std::make_shared<CircleShape>(cx, cy, r); }
ShapePtr Ellipse(float cx, float cy, float rx, float ry) { return std::make_shared<EllipseShape>(cx, cy, rx, ry); }
ShapePtr Rect(float x0, float y0, float x1, float y1, float radius) {
  return std::make_shared<RectShape>(x0, y0, x1, y1, radius);
}
ShapePtr Polygon(std::vector<Vec2> points) { return std::make_shared<PolygonShape>(std::move(points)); }
ShapePtr Polyline(std::vector<Vec2> points, float w) { return std::make_shared<LineShape>(std::move(points), w, w); }
ShapePtr TaperedLine(std::vector<Vec2> points, float w0, float w1) {
  return std::make_shared<LineShape>(std::move(points), w0, w1);
}
ShapePtr Union(ShapePtr a, ShapePtr b) { return Union(std::vector<ShapePtr>{std::move(a), std::move(b)}); }
ShapePtr Union(std::vector<ShapePtr> shapes) { return std::make_shared<CombinedShape>(Op::Union, std::move(shapes)); }
ShapePtr Intersect(ShapePtr a, ShapePtr b) {
  return std::make_shared<CombinedShape>(Op::Intersect, std::vector<ShapePtr>{std::move(a), std::move(b)});
}
ShapePtr Subtract(ShapePtr a, ShapePtr b) {
  return std::make_shared<CombinedShape>(Op::Subtract, std::vector<ShapePtr>{std::move(a), std::move(b)});
}
ShapePtr Offset(ShapePtr s, float d) { return std::make_shared<OffsetShape>(std::move(s), d, false); }
ShapePtr Outline(ShapePtr s, float w) { return std::make_shared<OffsetShape>(std::move(s), w / 2, true); }
ShapePtr Translate(ShapePtr s, float dx, float dy) { return std::make_shared<MovedShape>(std::move(s), dx, dy, false, 0.0f); }
ShapePtr MirrorX(ShapePtr s, float axis) { return std::make_shared<MovedShape>(std::move(s), 0.0f, 0.0f, true, axis); }

Path& Path::LineTo(Vec2 p) {
  points_.push_back(p);
  return *this;
}

Path& Path::QuadTo(Vec2 c, Vec2 p) {
  Vec2 a = points_.back();
  int n = CurveSteps(Len(c - a) + Len(p - c));
  for (int i = 1; i <= n; ++i) {
    float t = float(i) / float(n);
    points_.push_back(Lerp(Lerp(a, c, t), Lerp(c, p, t), t));
  }
  return *this;
}

Path& Path::CubicTo(Vec2 c1, Vec2 c2, Vec2 p) {
  Vec2 a = points_.back();
  int n = CurveSteps(Len(c1 - a) + Len(c2 - c1) + Len(p - c2));
  for (int i = 1; i <= n; ++i) {
    float t = float(i) / float(n);
    Vec2 ab = Lerp(a, c1, t), bc = Lerp(c1, c2, t), cd = Lerp(c2, p, t);
    points_.push_back(Lerp(Lerp(ab, bc, t), Lerp(bc, cd, t), t));
  }
  return *this;
}

std::vector<Vec2> MirroredBack(const std::vector<Vec2>& half, float axis) {
  std::vector<Vec2> all = half;
  for (auto it = half.rbegin(); it != half.rend(); ++it) all.push_back({2 * axis - it->x, it->y});
  return all;
}

}  // namespace makeart
