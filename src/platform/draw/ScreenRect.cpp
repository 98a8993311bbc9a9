#include "platform/draw/ScreenRect.h"

#include <algorithm>

namespace platform {

ScreenRect UnionRect(const ScreenRect& a, const ScreenRect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  int x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
  int x1 = std::max(a.x + a.w, b.x + b.w), y1 = std::max(a.y + a.h, b.y + b.h);
  return ScreenRect{x0, y0, x1 - x0, y1 - y0};
}

}  // namespace platform
