#pragma once
// Private to the platform library: SDL_Events into the platform's own.
#include <SDL.h>

#include "platform/window/Event.h"

namespace platform {

// False for events that have no counterpart (mouse, text, SDL's own).
bool FromSdlEvent(const SDL_Event& sdl, Event& out);

}  // namespace platform
