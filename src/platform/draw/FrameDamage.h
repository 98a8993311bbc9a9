#pragma once
// Which part of the screen two recorded frames differ in.
#include <vector>

#include "platform/draw/Device.h"
#include "platform/draw/ScreenRect.h"

namespace platform {

// The part of a width x height screen whose pixels may differ between two
// recorded frames: empty when the lists are equal. Commands that both frames
// share at the start and at the end draw the same pixels, so only the
// quads between them count (each by its bounding box, for its old and its
// new place); a differing clear, or coordinates that are not finite, give
// the whole screen.
ScreenRect ChangedRect(const std::vector<Device::Command>& before, const std::vector<Device::Command>& after,
                       int width, int height);

// The pixels a quad may draw (a pixel wider on every side), clipped to the
// screen; the whole screen for a clear or coordinates that are not finite.
ScreenRect CommandBounds(const Device::Command& c, int width, int height);

}  // namespace platform
