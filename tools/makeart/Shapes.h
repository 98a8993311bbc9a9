#pragma once
// Shapes as signed distance functions (negative inside, in model units), so
// that every edge can be anti-aliased, softened, outlined or grown by the
// same arithmetic. Shapes combine by union, intersection and subtraction.
#include <memory>
#include <utility>
#include <vector>

namespace makeart {

struct Vec2 {
  float x = 0, y = 0;
};
inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
inline Vec2 operator*(Vec2 a, float s) { return {a.x * s, a.y * s}; }
Vec2 Lerp(Vec2 a, Vec2 b, float t);

struct Box {
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  Box Grown(float d) const { return {x0 - d, y0 - d, x1 + d, y1 + d}; }
};

class Shape {
 public:
  virtual ~Shape() = default;
  virtual float Distance(float x, float y) const = 0;
  // Where Distance can be negative; drawing also looks a little around it.
  virtual Box Bounds() const = 0;
};
using ShapePtr = std::shared_ptr<const Shape>;

ShapePtr Circle(float cx, float cy, float r);
ShapePtr Ellipse(float cx, float cy, float rx, float ry);
ShapePtr Rect(float x0, float y0, float x1, float y1, float radius = 0);
ShapePtr Polygon(std::vector<Vec2> points);
// A line of thickness w along the points (round ends and joins).
ShapePtr Polyline(std::vector<Vec2> points, float w);
// A line whose thickness runs from w0 at the first point to w1 at the last:
// brush strokes for eyelashes, hair strands and folds.
ShapePtr TaperedLine(std::vector<Vec2> points, float w0, float w1);

ShapePtr Union(ShapePtr a, ShapePtr b);
ShapePtr Union(std::vector<ShapePtr> shapes);
ShapePtr Intersect(ShapePtr a, ShapePtr b);
ShapePtr Subtract(ShapePtr a, ShapePtr b);
// Grown by d (shrunk when d < 0); the outline of width w around the edge.
ShapePtr Offset(ShapePtr s, float d);
ShapePtr Outline(ShapePtr s, float w);
// Moved by (dx, dy); mirrored left-right about x = axis.
ShapePtr Translate(ShapePtr s, float dx, float dy);
ShapePtr MirrorX(ShapePtr s, float axis);

// Outlines built from curves, flattened into points for Polygon or Polyline.
class Path {
 public:
  explicit Path(Vec2 start) { points_.push_back(start); }
  Path& LineTo(Vec2 p);
  Path& QuadTo(Vec2 c, Vec2 p);
  Path& CubicTo(Vec2 c1, Vec2 c2, Vec2 p);
  const std::vector<Vec2>& Points() const { return points_; }
  ShapePtr Fill() const { return Polygon(points_); }
  ShapePtr Stroke(float w) const { return Polyline(points_, w); }
  ShapePtr Taper(float w0, float w1) const { return TaperedLine(points_, w0, w1); }

 private:
  std::vector<Vec2> points_;
};

// The same point list mirrored about x = axis, in reverse order, so that a
// left half outline plus its mirror closes into one symmetric polygon.
std::vector<Vec2> MirroredBack(const std::vector<Vec2>& half, float axis);

}  // namespace makeart
