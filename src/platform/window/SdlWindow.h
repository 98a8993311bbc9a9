#pragma once
// Private to the platform library: the real window on SDL.
#include <memory>

#include "platform/window/Window.h"

namespace platform {

// Null when SDL cannot give a visible window.
std::unique_ptr<Window> CreateSdlWindow(const WindowConfig& config);

}  // namespace platform
