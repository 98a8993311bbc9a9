#pragma once
// A sprite that steps its texture rectangle through a list of frames, one
// frame per interval (the message window's wait cursor).
#include <cstddef>
#include <vector>

#include "framework/TickTimer.h"
#include "gfx/CPolygon.h"

class CAnimPolygon : public CPolygon {
 public:
  HRESULT Setup(std::vector<TexRect> frames, float interval, float x, float y, float z, float width, float height,
                float depth, int32_t alpha, int32_t depthTest);
  // Called once per frame before drawing. Moves at most one frame per call,
  // however long the caller stalled.
  HRESULT Update();
  // Seconds from `now` until Update next moves a frame; never without frames.
  double SecondsUntilNextFrame(double now) const;

  std::vector<TexRect> frames;
  size_t current = 0;
  float interval = 0;
  TickTimer clock;  // last = when the current frame began
};
