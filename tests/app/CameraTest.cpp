#include <gtest/gtest.h>

#include <cmath>

#include "app/Camera.h"
#include "platform/draw/OffscreenDevice.h"

TEST(Camera, ProjectionHasTheListedElements) {
  auto dev = platform::CreateOffscreenDevice(8, 8);
  Camera c;
  c.Initialise(dev.get(), 640.0f / 480.0f);
  float cot = 1.0f / std::tan(3.14159265358979f / 8);
  EXPECT_NEAR(c.projection[0], cot / (640.0f / 480.0f), 1e-5);
  EXPECT_NEAR(c.projection[5], cot, 1e-5);
  EXPECT_NEAR(c.projection[10], 1000.0f / 999.9f, 1e-5);
  EXPECT_EQ(c.projection[11], 1.0f);
  EXPECT_NEAR(c.projection[14], -0.1f * 1000.0f / 999.9f, 1e-6);
  EXPECT_EQ(c.projection[15], 0.0f);
  EXPECT_EQ(c.view[0], 1.0f);  // identity until the game sets a view
  c.SetView(LookAtLH({0, 0, -7}, {0, 0, 0}, {0, 1, 0}));
  EXPECT_NEAR(c.view[14], 7.0f, 1e-6);  // the eye 7 units in front of the origin
  c.Apply();
  EXPECT_EQ(dev->GetTransform(platform::D3DTS_VIEW), c.view);
  EXPECT_EQ(dev->GetTransform(platform::D3DTS_PROJECTION), c.projection);
}
