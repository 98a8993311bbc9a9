#include "gfx/CAnimPolygon.h"

#include <cmath>

HRESULT CAnimPolygon::Setup(std::vector<TexRect> frameList, float frameInterval, float px, float py, float pz,
                            float w, float h, float d, int32_t a, int32_t depthTestFlag) {
  frames = std::move(frameList);
  current = 0;
  interval = frameInterval;
  Set(px, py, pz, w, h, d, a, depthTestFlag);
  clock.Reset();
  // The rectangle is left alone: the first frame shows once the first
  // interval has passed.
  return 0;
}

HRESULT CAnimPolygon::Update() {
  clock.Update();
  // Taken on 32 bits like every other timer grid, so that the animation
  // keeps its pace across the clock's wrap.
  float elapsed = clock.Elapsed();
  if (elapsed > interval && !frames.empty()) {  // strictly greater
    if (current >= frames.size()) current = 0;
    const TexRect& r = frames[current];
    tu0 = r.tu0;
    tv0 = r.tv0;
    tu1 = r.tu1;
    tv1 = r.tv1;
    if (++current >= frames.size()) current = 0;
    clock.last = timeGetTime();  // a fresh reading, not clock.current
  }
  return 0;
}

double CAnimPolygon::SecondsUntilNextFrame(double now) const {
  if (frames.empty()) return due::kNever;
  // Update moves when the float elapsed time is strictly past the interval.
  const double guess = std::floor(static_cast<double>(interval) * 1000.0) - 2.0;
  uint32_t ms = guess > 0 ? static_cast<uint32_t>(guess) : 0;
  while (!(static_cast<float>(ms) * clock.scale > interval)) ++ms;
  return due::Until(static_cast<uint32_t>(clock.last) + ms, now);
}
