// Which part of the screen a new frame changes, so that a window repaints
// only that: the wait cursor's 0.3 s animation touches a few hundred pixels.
#include "platform/draw/FrameDamage.h"

#include <algorithm>
#include <cmath>

#include "platform/draw/Device.h"
#include "platform/draw/ScreenRect.h"

namespace platform {

namespace {
// The pixels a quad may touch, one pixel wider on every side (filtering and
// the rasteriser's rounding stay inside); false when a coordinate is not
// finite.
bool QuadBounds(const Device::Command& c, int width, int height, ScreenRect& out) {
  float x0 = c.v[0].x, x1 = c.v[0].x, y0 = c.v[0].y, y1 = c.v[0].y;
  for (const Vertex& v : c.v) {
    if (!std::isfinite(v.x) || !std::isfinite(v.y)) return false;
    x0 = std::min(x0, v.x);
    x1 = std::max(x1, v.x);
    y0 = std::min(y0, v.y);
    y1 = std::max(y1, v.y);
  }
  // Clamp in float first: a huge coordinate must not overflow the int.
  auto clampX = [&](float f) { return int(std::clamp(f, -1.0f, float(width) + 1)); };
  auto clampY = [&](float f) { return int(std::clamp(f, -1.0f, float(height) + 1)); };
  int ix0 = std::max(0, clampX(std::floor(x0)) - 1), iy0 = std::max(0, clampY(std::floor(y0)) - 1);
  int ix1 = std::min(width, clampX(std::ceil(x1)) + 1), iy1 = std::min(height, clampY(std::ceil(y1)) + 1);
  out = ix1 > ix0 && iy1 > iy0 ? ScreenRect{ix0, iy0, ix1 - ix0, iy1 - iy0} : ScreenRect{};
  return true;
}
}  // namespace

ScreenRect CommandBounds(const Device::Command& c, int width, int height) {
  ScreenRect r;
  if (c.clear || !QuadBounds(c, width, height, r)) return ScreenRect{0, 0, width, height};
  return r;
}

ScreenRect ChangedRect(const std::vector<Device::Command>& before, const std::vector<Device::Command>& after,
                       int width, int height) {
  const ScreenRect whole{0, 0, width, height};
  size_t prefix = 0;
  while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
  size_t suffix = 0;
  while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
    ++suffix;
  const size_t nb = before.size() - prefix - suffix, na = after.size() - prefix - suffix;
  ScreenRect changed;
  // The start of a frame (before its first command) is opaque black, as in a
  // fresh back buffer: a clear that differs, appears or goes changes it all.
  auto add = [&](const Device::Command& c) {
    ScreenRect r;
    if (c.clear || !QuadBounds(c, width, height, r)) return false;
    changed = UnionRect(changed, r);
    return true;
  };
  if (nb == na) {
    // Same length: a pixel outside the differing pairs sees the same
    // commands in both frames.
    for (size_t i = prefix; i < prefix + nb; ++i)
      if (!(before[i] == after[i]) && (!add(before[i]) || !add(after[i]))) return whole;
  } else {
    for (size_t i = prefix; i < prefix + nb; ++i)
      if (!add(before[i])) return whole;
    for (size_t i = prefix; i < prefix + na; ++i)
      if (!add(after[i])) return whole;
  }
  return changed;
}

}  // namespace platform
