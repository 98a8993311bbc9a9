#pragma once
// Private to the platform library: replaying recorded frames on an SDL
// renderer, whole or inside a rectangle.
#include <SDL.h>

#include <vector>

#include "platform/draw/Device.h"
#include "platform/draw/ScreenRect.h"

namespace platform {

// Copies an ARGB8888 surface's top-left width x height pixels, row by row.
void CopySurfacePixels(SDL_Surface* surface, int width, int height, std::vector<uint32_t>& argb);
// Draws a recorded frame over whatever the target holds.
void ReplayCommands(SDL_Renderer* renderer, const std::vector<Device::Command>& commands);
// Draws commands[from...] inside `rect` only, as they would draw there
// unclipped (stretched pictures aside: see SoftwareCanvas).
void ReplayClipped(SDL_Renderer* renderer, const std::vector<Device::Command>& commands, size_t from,
                   const ScreenRect& rect);
// Redraws one rectangle of the target as a whole repaint would (opaque black,
// then the frame), leaving the pixels outside it alone.
void RepaintRect(SDL_Renderer* renderer, const std::vector<Device::Command>& commands, const ScreenRect& rect);

}  // namespace platform
