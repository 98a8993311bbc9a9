#include "app/Camera.h"

#include <cmath>

namespace {
constexpr platform::Matrix kIdentity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

Vector3 Sub(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vector3 Cross(const Vector3& a, const Vector3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vector3 Normalise(const Vector3& v) {
  float len = std::sqrt(Dot(v, v));
  return len > 0 ? Vector3{v.x / len, v.y / len, v.z / len} : v;
}
}  // namespace

platform::Matrix PerspectiveFovLH(float fovY, float aspect, float zn, float zf) {
  float yScale = 1.0f / std::tan(fovY / 2);
  float xScale = yScale / aspect;
  platform::Matrix m{};
  m[0] = xScale;
  m[5] = yScale;
  m[10] = zf / (zf - zn);
  m[11] = 1;
  m[14] = -zn * zf / (zf - zn);
  return m;
}

platform::Matrix LookAtLH(const Vector3& eye, const Vector3& at, const Vector3& up) {
  Vector3 z = Normalise(Sub(at, eye));
  Vector3 x = Normalise(Cross(up, z));
  Vector3 y = Cross(z, x);
  return platform::Matrix{x.x, y.x, z.x, 0, x.y, y.y, z.y, 0, x.z, y.z, z.z, 0, -Dot(x, eye), -Dot(y, eye), -Dot(z, eye), 1};
}

void Camera::Initialise(platform::Device* d, float a) {
  device = d;
  aspect = a;
  view = kIdentity;
  projection = PerspectiveFovLH(3.14159265358979f / 4, aspect, 0.1f, 1000.0f);
}

void Camera::Apply() {
  if (!device) return;
  device->SetTransform(platform::D3DTS_VIEW, view);
  device->SetTransform(platform::D3DTS_PROJECTION, projection);
}
