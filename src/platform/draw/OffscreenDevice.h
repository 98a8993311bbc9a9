#pragma once
// The headless runs' drawing device.
#include <memory>

#include "platform/draw/Device.h"

namespace platform {

// An off-screen device on SDL's software renderer: exact, repeatable pixels.
// Used by headless mode and by tests.
std::unique_ptr<Device> CreateOffscreenDevice(int width, int height);

}  // namespace platform
