#include "platform/diagnostics/SystemInfo.h"

#include <SDL.h>

#include "platform/audio/AudioMix.h"
#include "platform/audio/SoundLibraries.h"
#include "platform/audio/MusicGraph.h"
#include "platform/draw/RendererChoice.h"
#include "platform/text/Font.h"
#include "platform/text/TextCodec.h"
#include "platform/window/DisplayDriver.h"

namespace platform {
namespace {

std::string Failed(const char* what) { return std::string("none (") + what + ": " + SDL_GetError() + ")"; }

std::string FormatName(SDL_AudioFormat f) {
  std::string bits = std::to_string(SDL_AUDIO_BITSIZE(f)) + "-bit";
  if (SDL_AUDIO_ISFLOAT(f)) return bits + " float";
  return bits + (SDL_AUDIO_ISSIGNED(f) ? " signed" : " unsigned");
}

void Video(std::vector<std::pair<std::string, std::string>>& out) {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    out.emplace_back("video driver", Failed("no video"));
    out.emplace_back("renderer", "none");
    return;
  }
  const char* driver = SDL_GetCurrentVideoDriver();
  std::string v = driver ? driver : "?";
  if (ShowsNoWindow(SDL_getenv("SDL_VIDEODRIVER"), driver)) v += " (no display: the game would not start)";
  out.emplace_back("video driver", v);
  SDL_Window* window = SDL_CreateWindow("vantorel --info", 0, 0, 64, 48, SDL_WINDOW_HIDDEN);
  bool software = false;
  SDL_Renderer* renderer = window ? CreateWindowRenderer(window, software) : nullptr;
  SDL_RendererInfo info{};
  if (renderer && SDL_GetRendererInfo(renderer, &info) == 0) {
    out.emplace_back("renderer", software ? std::string("SDL's software renderer on the window surface")
                                          : std::string(info.name) + ", accelerated, with vsync");
  } else {
    out.emplace_back("renderer", Failed("no renderer"));
  }
  if (renderer) SDL_DestroyRenderer(renderer);
  if (window) SDL_DestroyWindow(window);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void Audio(std::vector<std::pair<std::string, std::string>>& out) {
  sound_libraries::QuietAlsa();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    out.emplace_back("audio driver", Failed("no audio"));
    out.emplace_back("audio output", "none (the game plays silently)");
    return;
  }
  const char* driver = SDL_GetCurrentAudioDriver();
  out.emplace_back("audio driver", driver ? driver : "?");
  // The device as the game opens it.
  std::string why;
  const sound_libraries::MixerFunctions* mix = sound_libraries::Mixer(&why);
  if (!mix) {
    out.emplace_back("audio output", "none (" + why + "; the game plays silently)");
  } else if (mix->Mix_OpenAudioDevice(kAudioRate, AUDIO_F32SYS, 2, kDeviceFrames, nullptr, 0) == 0) {
    int freq = 0, channels = 0;
    Uint16 format = 0;
    mix->Mix_QuerySpec(&freq, &format, &channels);
    out.emplace_back("audio output", std::to_string(freq) + " Hz, " + std::to_string(channels) + " channels, " +
                                         FormatName(format));
    mix->Mix_CloseAudio();
  } else {
    out.emplace_back("audio output", Failed("no sound device; the game plays silently"));
  }
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace

std::vector<std::pair<std::string, std::string>> CollectSystemInfo() {
  std::vector<std::pair<std::string, std::string>> out;
  Video(out);
  Audio(out);
  std::string passedOver;
  const std::string font = ChooseSoundFont(&passedOver);
  out.emplace_back("soundfont", (font.empty() ? std::string("none (the music is silent)") : font) +
                                    (passedOver.empty() ? "" : " (" + passedOver + ")"));
  for (const char* face : {"ＭＳ Ｐゴシック", "ＭＳ ゴシック", "ＭＳ Ｐ明朝", "ＭＳ 明朝"}) {
    out.emplace_back(std::string("font ") + face, DescribeFace(ResolveFace(Utf8ToCp932Lossy(face), false, false)));
  }
  return out;
}

}  // namespace platform
