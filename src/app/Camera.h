#pragma once
// The camera: view and projection transforms applied to the device each
// logic step. Sprites are pre-transformed, so nothing the game draws depends
// on them, but they are kept and applied as the framework expects.
#include "platform/draw/Device.h"

struct Vector3 {
  float x, y, z;
};

// Left-handed perspective with a vertical field of view (radians).
platform::Matrix PerspectiveFovLH(float fovY, float aspect, float zn, float zf);
// Left-handed look-at view matrix.
platform::Matrix LookAtLH(const Vector3& eye, const Vector3& at, const Vector3& up);

class Camera {
 public:
  void Initialise(platform::Device* device, float aspect);
  void SetView(const platform::Matrix& m) { view = m; }
  void Apply();

  platform::Device* device = nullptr;
  float aspect = 0;
  platform::Matrix view{};
  platform::Matrix projection{};
};
