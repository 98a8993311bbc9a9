#include "Scene3d.h"

#include <algorithm>

namespace makeart {

std::vector<Vec2> ClipHalfPlane(const std::vector<Vec2>& poly, float a, float b, float c) {
  std::vector<Vec2> out;
  for (size_t i = 0; i < poly.size(); ++i) {
    Vec2 p = poly[i], q = poly[(i + 1) % poly.size()];
    float dp = a * p.x + b * p.y + c, dq = a * q.x + b * q.y + c;
    if (dp >= 0) out.push_back(p);
    if ((dp >= 0) != (dq >= 0)) out.push_back(Lerp(p, q, dp / (dp - dq)));
  }
  return out;
}

std::vector<Vec2> ConvexHull(std::vector<Vec2> pts) {
  std::sort(pts.begin(), pts.end(), [](Vec2 a, Vec2 b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
  if (pts.size() < 3) return pts;
  auto cross = [](Vec2 o, Vec2 a, Vec2 b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); };
  std::vector<Vec2> hull(pts.size() * 2);
  size_t k = 0;
  for (size_t i = 0; i < pts.size(); ++i) {
    while (k >= 2 && cross(hull[k - 2], hull[k - 1], pts[i]) <= 0) --k;
    hull[k++] = pts[i];
  }
  for (size_t i = pts.size() - 1, t = k + 1; i-- > 0;) {
    while (k >= t && cross(hull[k - 2], hull[k - 1], pts[i]) <= 0) --k;
    hull[k++] = pts[i];
  }
  hull.resize(k - 1);
  return hull;
}

}  // namespace makeart
