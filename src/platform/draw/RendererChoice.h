#pragma once
// Private to the platform library: which renderer a window gets.
#include <SDL.h>

namespace platform {

// The window's renderer: SDL's accelerated one with vsync on a real GPU, or
// SDL's software renderer on the window surface (`software` set) when OpenGL
// would only be a software rasteriser. VANTOREL_RENDERER=software|accelerated
// overrides the choice.
SDL_Renderer* CreateWindowRenderer(SDL_Window* window, bool& software);

}  // namespace platform
