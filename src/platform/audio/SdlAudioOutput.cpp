// The sound device: SDL2_mixer channels with a gain effect each, the music
// graph hooked in as the music stream, the limiter as the post-mix.
#include "platform/audio/SdlAudioOutput.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <string>

#include "platform/audio/MusicGraph.h"
#include "platform/audio/SoundLibraries.h"
#include "platform/diagnostics/Debug.h"

namespace platform {
namespace {
constexpr int kFirstChannels = 16;

// SDL_mixer's functions; every call below runs on an output that Open made,
// so the library is loaded.
const sound_libraries::MixerFunctions& Mix() { return *sound_libraries::Mixer(); }

void Scale(float* samples, size_t count, float gain) {
  for (size_t i = 0; i < count; ++i) samples[i] *= gain;
}

// The mixer calls this first in each block; the effects are mixed onto it.
void SDLCALL MusicHook(void* graph, Uint8* stream, int len) {
  auto* out = reinterpret_cast<float*>(stream);
  size_t samples = static_cast<size_t>(len) / sizeof(float);
  if (static_cast<MusicGraph*>(graph)->Render(out, samples / 2, false)) Scale(out, samples, MusicBusGain());
}
}  // namespace

// Per-channel gain: master x path x the effect bus. Floats, so +10 dB on a
// loud effect neither wraps nor clips here; the limiter deals with the sum.
void SdlAudioOutput::GainEffect(int channel, void* stream, int len, void* self) {
  if (channel < 0 || channel >= kMaxChannels) return;
  int slot = static_cast<SdlAudioOutput*>(self)->channelPath_[channel].load(std::memory_order_relaxed);
  float gain = audio_internal::MasterGain().load(std::memory_order_relaxed) *
               audio_internal::PathGain(slot).load(std::memory_order_relaxed) * EffectBusGain();
  Scale(static_cast<float*>(stream), static_cast<size_t>(len) / sizeof(float), gain);
}

// After every channel is mixed in: the whole output passes the limiter.
void SdlAudioOutput::LimitMix(void* self, Uint8* stream, int len) {
  static_cast<SdlAudioOutput*>(self)->limiter_.Process(reinterpret_cast<float*>(stream),
                                                       static_cast<size_t>(len) / (2 * sizeof(float)));
}

std::unique_ptr<SdlAudioOutput> SdlAudioOutput::Open() {
  std::string why;
  if (!sound_libraries::Mixer(&why)) {
    OutputDebugString("Sound: " + why + "; playing silently.");
    return nullptr;
  }
  sound_libraries::QuietAlsa();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    OutputDebugString(std::string("Sound: no audio system (") + SDL_GetError() + "); playing silently.");
    return nullptr;
  }
  if (Mix().Mix_OpenAudioDevice(kAudioRate, AUDIO_F32SYS, 2, kDeviceFrames, nullptr, 0) != 0) {
    OutputDebugString(std::string("Sound: no sound device (") + SDL_GetError() + "); playing silently.");
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  std::unique_ptr<SdlAudioOutput> out(new SdlAudioOutput());
  out->channels_ = Mix().Mix_AllocateChannels(kFirstChannels);
  out->limiter_.Reset();
  Mix().Mix_SetPostMix(LimitMix, out.get());
  return out;
}

SdlAudioOutput::~SdlAudioOutput() {
  SetMusic(nullptr);
  Mix().Mix_SetPostMix(nullptr, nullptr);
  Mix().Mix_HaltChannel(-1);
  Mix().Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void* SdlAudioOutput::MakeChunk(float* samples, size_t bytes) {
  if (bytes > UINT32_MAX) return nullptr;
  return Mix().Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(samples), static_cast<Uint32>(bytes));
}

void SdlAudioOutput::FreeChunk(void* chunk) {
  // Stops the channels still playing it before the samples go.
  if (chunk) Mix().Mix_FreeChunk(static_cast<Mix_Chunk*>(chunk));
}

void SdlAudioOutput::SetMusic(MusicGraph* music) {
  // Mix_HookMusic takes the device lock, so no callback runs past this.
  if (musicHooked_) Mix().Mix_HookMusic(nullptr, nullptr);
  musicHooked_ = false;
  if (music) {
    music->SetLevelling(true);
    Mix().Mix_HookMusic(MusicHook, music);
    musicHooked_ = true;
  }
}

// A free channel, more channels when all are busy, or the oldest play.
int SdlAudioOutput::PickChannel() {
  for (int c = 0; c < channels_; ++c)
    if (!Mix().Mix_Playing(c)) return c;
  if (channels_ < kMaxChannels) {
    int first = channels_;
    channels_ = Mix().Mix_AllocateChannels(std::min(kMaxChannels, channels_ * 2));
    if (channels_ > first) return first;
  }
  int oldest = 0;
  for (int c = 1; c < channels_; ++c)
    if (serial_[c] < serial_[oldest]) oldest = c;
  Mix().Mix_HaltChannel(oldest);
  return oldest;
}

HRESULT SdlAudioOutput::Play(AudioSegment::Impl& seg, int pathSlot, uint64_t serial, int& channel) {
  channel = PickChannel();
  // The effect goes on before the play starts, so no block sounds at unity
  // gain. Registering takes the device lock: a channel that just finished has
  // had its old effects removed by then.
  Mix().Mix_UnregisterEffect(channel, GainEffect);
  channelPath_[channel] = pathSlot;
  if (!Mix().Mix_RegisterEffect(channel, GainEffect, nullptr, this)) return E_FAIL;
  int loops = seg.repeats == AudioSegment::kRepeatForever ? -1 : static_cast<int>(std::min<uint32_t>(seg.repeats, INT_MAX));
  if (Mix().Mix_PlayChannelTimed(channel, static_cast<Mix_Chunk*>(seg.chunk), loops, -1) < 0) {
    Mix().Mix_UnregisterEffect(channel, GainEffect);
    return E_FAIL;
  }
  serial_[channel] = serial;
  return S_OK;
}

void SdlAudioOutput::Stop(int channel, uint64_t serial) {
  if (channel >= 0 && channel < channels_ && serial_[channel] == serial) Mix().Mix_HaltChannel(channel);
}

bool SdlAudioOutput::Playing(int channel, uint64_t serial) const {
  if (channel < 0 || channel >= channels_) return false;
  return serial_[channel] == serial && Mix().Mix_Playing(channel);
}

void SdlAudioOutput::StopPath(int pathSlot) {
  for (int c = 0; c < channels_; ++c)
    if (channelPath_[c].load() == pathSlot && Mix().Mix_Playing(c)) Mix().Mix_HaltChannel(c);
}

int SdlAudioOutput::PlayingVoices() const {
  int n = 0;
  for (int c = 0; c < channels_; ++c) n += Mix().Mix_Playing(c) ? 1 : 0;
  return n;
}

namespace audio_internal {
void FreeChunk(void* chunk) { SdlAudioOutput::FreeChunk(chunk); }
}  // namespace audio_internal

}  // namespace platform
