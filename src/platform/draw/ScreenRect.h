#pragma once
// Screen rectangles, for the parts of a frame that changed.

namespace platform {

// A rectangle of screen pixels; empty when w or h is not positive.
struct ScreenRect {
  int x = 0, y = 0, w = 0, h = 0;
  bool Empty() const { return w <= 0 || h <= 0; }
  bool operator==(const ScreenRect& o) const = default;
};
// The smallest rectangle holding both (an empty one adds nothing).
ScreenRect UnionRect(const ScreenRect& a, const ScreenRect& b);

}  // namespace platform
