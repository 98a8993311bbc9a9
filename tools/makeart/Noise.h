#pragma once
// Smooth value noise for grain, foliage and clouds: repeatable, no state.
#include <cmath>
#include <cstdint>

namespace makeart {

inline float Hash2(int x, int y, uint32_t seed) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return float(h & 0xFFFFFF) / float(0xFFFFFF);
}

// 0..1, smooth between integer lattice points.
inline float ValueNoise(float x, float y, uint32_t seed) {
  int ix = int(std::floor(x)), iy = int(std::floor(y));
  float fx = x - float(ix), fy = y - float(iy);
  fx = fx * fx * (3 - 2 * fx);
  fy = fy * fy * (3 - 2 * fy);
  float a = Hash2(ix, iy, seed), b = Hash2(ix + 1, iy, seed);
  float c = Hash2(ix, iy + 1, seed), d = Hash2(ix + 1, iy + 1, seed);
  return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

// Several octaves; 0..1.
inline float Fbm(float x, float y, uint32_t seed, int octaves = 4) {
  float sum = 0, amp = 0.5f, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += ValueNoise(x, y, seed + uint32_t(i) * 101u) * amp;
    norm += amp;
    x *= 2.03f;
    y *= 2.03f;
    amp *= 0.5f;
  }
  return sum / norm;
}

}  // namespace makeart
