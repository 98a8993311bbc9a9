#include "platform/audio/SdlSharedState.h"

#include <SDL.h>

namespace platform {
void SettleSdlSharedState() {
  // SDL fills in its word of CPU features in place: it stores 0, then adds
  // one feature at a time with CPUID calls in between, and a thread that
  // reads it meanwhile takes it as final. SDL_ttf asks for SSE2 on the font
  // worker; the effects load on the main thread meanwhile converts with
  // SDL_BuildAudioCVT, which then sees no SSE2, chooses no converters (an
  // x86-64 build has no others) and fails: "No conversion from source
  // format to float available", an effect not loaded. Both are settled
  // here, once: the features, and the converters chosen from them.
  SDL_HasSSE2();
  SDL_AudioCVT cvt;
  SDL_BuildAudioCVT(&cvt, AUDIO_S16SYS, 1, 44100, AUDIO_F32SYS, 2, 44100);
}
}  // namespace platform
