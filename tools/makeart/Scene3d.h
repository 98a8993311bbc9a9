#pragma once
// A pinhole camera for the interior backgrounds: points of a room (metres; x
// to the right, y up, z into the picture) become screen points, and the
// inverse gives the depth of a pixel on a wall or floor for shading.
#include <vector>

#include "Shapes.h"

namespace makeart {

struct Vec3 {
  float x = 0, y = 0, z = 0;
};
inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }

struct Camera3 {
  float focal = 400;            // pixels
  float cx = 320, cy = 240;     // principal point
  Vec3 eye{0, 1.5f, 0};

  Vec2 Project(Vec3 p) const {
    float z = p.z - eye.z;
    return {cx + focal * (p.x - eye.x) / z, cy - focal * (p.y - eye.y) / z};
  }
  std::vector<Vec2> Project(const std::vector<Vec3>& pts) const {
    std::vector<Vec2> out;
    for (const Vec3& p : pts) out.push_back(Project(p));
    return out;
  }
  // Depth of the pixel (sx, sy) on the plane x = wallX, or y = planeY.
  float DepthOnWall(float sx, float wallX) const { return focal * (wallX - eye.x) / (sx - cx) + eye.z; }
  float DepthOnFloor(float sy, float planeY) const { return focal * (eye.y - planeY) / (sy - cy) + eye.z; }
};

// Keeps the part of a polygon where a*x + b*y + c >= 0.
std::vector<Vec2> ClipHalfPlane(const std::vector<Vec2>& poly, float a, float b, float c);

// The smallest convex polygon around the points.
std::vector<Vec2> ConvexHull(std::vector<Vec2> pts);

}  // namespace makeart
