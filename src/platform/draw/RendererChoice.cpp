// Which renderer a window gets. OpenGL that is only a software rasteriser
// (Mesa's llvmpipe under Xvfb or without a GPU) costs ~80 MiB, ~0.3 s of
// start-up and a full copy of the window per frame; SDL's software renderer on
// the window surface updates just the rectangles that changed.
#include "platform/draw/RendererChoice.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/diagnostics/Debug.h"
#include "platform/draw/SdlTexture.h"

namespace platform {
namespace {
enum class Choice { Automatic, Software, Accelerated };

Choice Requested() {
  const char* v = std::getenv("VANTOREL_RENDERER");
  if (!v || !*v) return Choice::Automatic;
  if (std::strcmp(v, "software") == 0) return Choice::Software;
  if (std::strcmp(v, "accelerated") == 0) return Choice::Accelerated;
  OutputDebugString(std::string("VANTOREL_RENDERER: unknown value ") + v + " (software or accelerated); chosen automatically");
  return Choice::Automatic;
}

// True when no GPU device node exists at all (Linux): OpenGL could then only
// be a software rasteriser. Anything unusual counts as a GPU.
bool SurelyNoGpu() {
#ifdef __linux__
  std::error_code ec;
  if (std::filesystem::exists("/dev/nvidiactl", ec) || std::filesystem::exists("/dev/nvidia0", ec)) return false;
  if (!std::filesystem::exists("/dev/dri", ec)) return !ec;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", ec)) {
    std::string name = entry.path().filename().string();
    if (name.rfind("card", 0) == 0 || name.rfind("renderD", 0) == 0) return false;
  }
  return !ec;
#else
  return false;
#endif
}

// The renderer's OpenGL implementation is a software rasteriser.
bool SoftwareGl(SDL_Renderer* renderer) {
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(renderer, &info) != 0) return false;
  if (info.flags & SDL_RENDERER_SOFTWARE) return true;
  if (!info.name || std::strncmp(info.name, "opengl", 6) != 0) return false;  // opengl, opengles2
  using GetString = const unsigned char* (*)(unsigned);
  auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  const auto* name = getString ? reinterpret_cast<const char*>(getString(0x1F01 /* GL_RENDERER */)) : nullptr;
  if (!name) return false;
  for (const char* soft : {"llvmpipe", "softpipe", "SWR", "Software Rasterizer", "swrast"})
    if (std::strstr(name, soft)) return true;
  return false;
}
}  // namespace

SDL_Renderer* CreateWindowRenderer(SDL_Window* window, bool& software) {
  Choice choice = Requested();
  const char* driver = SDL_GetCurrentVideoDriver();
  bool noGl = driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0);
  SDL_Renderer* renderer = nullptr;
  if (choice == Choice::Accelerated || (choice == Choice::Automatic && !noGl && !SurelyNoGpu())) {
    renderer = SDL_CreateRenderer(window, -1,
                                  SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC | SDL_RENDERER_TARGETTEXTURE);
    if (renderer && choice == Choice::Automatic && SoftwareGl(renderer)) {
      DestroySdlRenderer(renderer);
      renderer = nullptr;
    }
  }
  if (!renderer) {
    // The window surface must be the window system's own buffer, not a
    // texture on yet another (OpenGL) renderer.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  }
  SDL_RendererInfo info;
  software = renderer && SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE);
  if (renderer) OutputDebugString(std::string("Window: renderer ") + (software ? "software" : "accelerated"));
  return renderer;
}

}  // namespace platform
