#include "platform/window/Clipboard.h"

#include <SDL.h>

#include <cstring>

namespace platform {
namespace {
std::string g_last;

bool HasDesktop() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0;
}
}  // namespace

bool SetClipboardText(const std::string& utf8) {
  g_last = utf8;
  if (!HasDesktop()) return true;
  return SDL_SetClipboardText(utf8.c_str()) == 0;
}

const std::string& LastClipboardText() { return g_last; }

}  // namespace platform
