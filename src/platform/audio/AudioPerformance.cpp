// The output (SDL2_mixer or null), audio paths, the performance and the pump.
// The device mixes in floats: the music stream at the music bus's level, each
// effect at master x path x the effect bus's level, summed unclipped by the
// mixer, then the limiter over the sum.
#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "platform/audio/AudioInternal.h"
#include "platform/audio/AudioMix.h"
#include "platform/audio/AudioPerformance.h"
#include "platform/audio/AudioPump.h"
#include "platform/audio/AudioSegment.h"
#include "platform/audio/MusicGraph.h"
#include "platform/diagnostics/Debug.h"
#include "platform/headless/Clock.h"

namespace platform {
namespace {
constexpr int kFirstChannels = 16;
constexpr int kMaxChannels = 256;  // beyond this the oldest play gives way
constexpr int kMaxPaths = 64;
constexpr int kDeviceFrames = 1024;  // about 23 ms of latency

struct Output {
  AudioPerformance* owner = nullptr;
  bool device = false;
  int channels = 0;
  uint64_t serial[kMaxChannels] = {};  // which play each channel carries
  uint64_t nextSerial = 1;
  bool pathUsed[kMaxPaths] = {};
  MusicGraph* music = nullptr;
  bool musicHooked = false;
  MixLimiter limiter;  // used by the mixer thread only, while the device is open
  uint64_t pumpRemainder = 0;  // ms x rate not yet turned into whole frames
  bool pumpClockStarted = false;
  uint32_t pumpClockMs = 0;
};
Output g;

// Read by the mixer thread in the gain effect; written by the window thread.
std::atomic<float> g_master{1.0f};
std::atomic<float> g_pathGain[kMaxPaths];
std::atomic<int> g_channelPath[kMaxChannels];

void Scale(float* samples, size_t count, float gain) {
  for (size_t i = 0; i < count; ++i) samples[i] *= gain;
}

// Per-channel gain: master x path x the effect bus. Floats, so +10 dB on a
// loud effect neither wraps nor clips here; the limiter deals with the sum.
void SDLCALL GainEffect(int channel, void* stream, int len, void*) {
  if (channel < 0 || channel >= kMaxChannels) return;
  int slot = g_channelPath[channel].load(std::memory_order_relaxed);
  float gain = g_master.load(std::memory_order_relaxed) * g_pathGain[slot].load(std::memory_order_relaxed) *
               EffectBusGain();
  Scale(static_cast<float*>(stream), static_cast<size_t>(len) / sizeof(float), gain);
}

// The mixer calls this first in each block; the effects are mixed onto it.
void SDLCALL MusicHook(void* graph, Uint8* stream, int len) {
  auto* out = reinterpret_cast<float*>(stream);
  size_t samples = static_cast<size_t>(len) / sizeof(float);
  static_cast<MusicGraph*>(graph)->Render(out, samples / 2, false);
  Scale(out, samples, MusicBusGain());
}

// After every channel is mixed in: the whole output passes the limiter.
void SDLCALL LimitMix(void*, Uint8* stream, int len) {
  g.limiter.Process(reinterpret_cast<float*>(stream), static_cast<size_t>(len) / (2 * sizeof(float)));
}

void HookMusic() {
  if (g.device && g.music && !g.musicHooked) {
    Mix_HookMusic(MusicHook, g.music);
    g.musicHooked = true;
  }
}

void UnhookMusic() {
  // Mix_HookMusic takes the device lock, so no callback runs past this.
  if (g.musicHooked) Mix_HookMusic(nullptr, nullptr);
  g.musicHooked = false;
}

int AllocatePathSlot() {
  for (int i = 0; i < kMaxPaths; ++i) {
    if (!g.pathUsed[i]) {
      g.pathUsed[i] = true;
      g_pathGain[i] = 1.0f;
      return i;
    }
  }
  return -1;
}

// A free channel, more channels when all are busy, or the oldest play.
int PickChannel() {
  for (int c = 0; c < g.channels; ++c)
    if (!Mix_Playing(c)) return c;
  if (g.channels < kMaxChannels) {
    int first = g.channels;
    g.channels = Mix_AllocateChannels(std::min(kMaxChannels, g.channels * 2));
    if (g.channels > first) return first;
  }
  int oldest = 0;
  for (int c = 1; c < g.channels; ++c)
    if (g.serial[c] < g.serial[oldest]) oldest = c;
  Mix_HaltChannel(oldest);
  return oldest;
}
}  // namespace

namespace audio_internal {
void* MakeChunk(float* samples, size_t bytes) {
  if (!g.device || bytes > UINT32_MAX) return nullptr;
  return Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(samples), static_cast<Uint32>(bytes));
}

void FreeChunk(void* chunk) {
  // Stops the channels still playing it before the samples go.
  if (chunk) Mix_FreeChunk(static_cast<Mix_Chunk*>(chunk));
}

void AttachMusic(MusicGraph* graph) {
  UnhookMusic();
  g.music = graph;
  g.pumpRemainder = 0;
  g.pumpClockStarted = false;
  HookMusic();
}

void DetachMusic(MusicGraph* graph) {
  if (g.music != graph) return;
  UnhookMusic();
  g.music = nullptr;
}
}  // namespace audio_internal

bool AudioSegmentState::Playing() const {
  if (!g.device || channel_ < 0 || channel_ >= g.channels) return false;
  return g.serial[channel_] == serial_ && Mix_Playing(channel_);
}

AudioPath::~AudioPath() {
  if (slot_ < 0 || slot_ >= kMaxPaths) return;
  if (g.device) {
    for (int c = 0; c < g.channels; ++c)
      if (g_channelPath[c].load() == slot_ && Mix_Playing(c)) Mix_HaltChannel(c);
  }
  g.pathUsed[slot_] = false;
}

HRESULT AudioPath::SetVolume(int32_t hundredths, uint32_t) {
  volume_ = hundredths;
  g_pathGain[slot_] = DecibelGain(hundredths);
  return S_OK;
}

AudioPerformance::~AudioPerformance() { CloseDown(); }

HRESULT AudioPerformance::InitAudio(bool headless) {
  if (open_) return S_OK;
  open_ = true;
  ownsOutput_ = g.owner == nullptr;
  if (ownsOutput_) {
    g.owner = this;
    g_master = 1.0f;
    if (!headless) {
      if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        OutputDebugString(std::string("Sound: no audio system (") + SDL_GetError() + "); playing silently.");
      } else if (Mix_OpenAudioDevice(kAudioRate, AUDIO_F32SYS, 2, kDeviceFrames, nullptr, 0) != 0) {
        OutputDebugString(std::string("Sound: no sound device (") + Mix_GetError() + "); playing silently.");
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
      } else {
        g.device = true;
        g.channels = Mix_AllocateChannels(kFirstChannels);
        g.limiter.Reset();
        Mix_SetPostMix(LimitMix, nullptr);
      }
    }
    HookMusic();
  } else {
    OutputDebugString("Sound: the output is taken; this performance plays silently.");
  }
  int slot = AllocatePathSlot();
  if (slot >= 0) defaultPath_ = std::make_unique<AudioPath>(slot);
  return S_OK;
}

bool AudioPerformance::HasDevice() const { return open_ && ownsOutput_ && g.device; }

HRESULT AudioPerformance::GetDefaultAudioPath(AudioPath*& out) {
  out = defaultPath_.get();
  return out ? S_OK : E_FAIL;
}

HRESULT AudioPerformance::CreateStandardAudioPath(std::unique_ptr<AudioPath>& out) {
  out.reset();
  if (!open_) return E_FAIL;
  int slot = AllocatePathSlot();
  if (slot < 0) return E_OUTOFMEMORY;
  out = std::make_unique<AudioPath>(slot);
  return S_OK;
}

HRESULT AudioPerformance::SetNotificationHandle(AudioEvent* event) {
  event_ = event;
  return S_OK;
}

HRESULT AudioPerformance::PlaySegment(AudioSegment& segment, uint32_t flags, AudioPath* path,
                                      AudioSegmentStatePtr& state) {
  state.reset();
  if (!open_) return E_FAIL;
  if (!path) path = defaultPath_.get();
  if (!path) return E_FAIL;
  uint64_t serial = g.nextSerial++;
  if (!HasDevice() || segment.Frames() == 0) {
    state = std::make_shared<AudioSegmentState>(-1, serial);
    return S_OK;
  }
  auto& seg = segment.impl();
  if (!audio_internal::MakePlayable(seg)) return E_FAIL;
  bool primary = !(flags & kSecondary);
  if (primary && primaryChannel_ >= 0 && primaryChannel_ < g.channels && g.serial[primaryChannel_] == primarySerial_) {
    Mix_HaltChannel(primaryChannel_);
  }
  int channel = PickChannel();
  // The effect goes on before the play starts, so no block sounds at unity
  // gain. Registering takes the device lock: a channel that just finished has
  // had its old effects removed by then.
  Mix_UnregisterEffect(channel, GainEffect);
  g_channelPath[channel] = path->Slot();
  if (!Mix_RegisterEffect(channel, GainEffect, nullptr, nullptr)) return E_FAIL;
  int loops = seg.repeats == AudioSegment::kRepeatForever ? -1 : static_cast<int>(std::min<uint32_t>(seg.repeats, INT_MAX));
  if (Mix_PlayChannel(channel, static_cast<Mix_Chunk*>(seg.chunk), loops) < 0) {
    Mix_UnregisterEffect(channel, GainEffect);
    return E_FAIL;
  }
  g.serial[channel] = serial;
  if (primary) {
    primaryChannel_ = channel;
    primarySerial_ = serial;
  }
  state = std::make_shared<AudioSegmentState>(channel, serial);
  return S_OK;
}

HRESULT AudioPerformance::SetMasterVolume(int32_t hundredths) {
  if (!open_) return E_FAIL;
  master_ = DecibelGain(hundredths);
  if (ownsOutput_) g_master = master_;
  return S_OK;
}

int AudioPerformance::PlayingVoices() const {
  if (!HasDevice()) return 0;
  int n = 0;
  for (int c = 0; c < g.channels; ++c) n += Mix_Playing(c) ? 1 : 0;
  return n;
}

int AudioPerformance::Channels() const { return HasDevice() ? g.channels : 0; }

HRESULT AudioPerformance::CloseDown() {
  if (!open_) return S_OK;
  defaultPath_.reset();
  if (ownsOutput_) {
    if (g.device) {
      UnhookMusic();
      Mix_SetPostMix(nullptr, nullptr);
      Mix_HaltChannel(-1);
      Mix_CloseAudio();
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      g.device = false;
      g.channels = 0;
    }
    g.owner = nullptr;
    g_master = 1.0f;
  }
  ownsOutput_ = false;
  primaryChannel_ = -1;
  event_ = nullptr;
  open_ = false;
  return S_OK;
}

void AudioPump(uint32_t ms) {
  if (g.device || !g.music || ms == 0) return;
  static std::vector<int16_t> scratch;
  uint64_t total = g.pumpRemainder + static_cast<uint64_t>(ms) * kAudioRate;
  size_t frames = static_cast<size_t>(total / 1000);
  g.pumpRemainder = total % 1000;
  constexpr size_t kBlock = 2048;
  scratch.resize(kBlock * 2);
  while (frames > 0) {
    size_t n = std::min(frames, kBlock);
    g.music->Render(scratch.data(), n);
    frames -= n;
  }
}

void AudioPumpToClock() {
  uint32_t now = timeGetTime();
  uint32_t elapsed = g.pumpClockStarted ? now - g.pumpClockMs : 0;  // unsigned: right across the wrap
  g.pumpClockStarted = true;
  g.pumpClockMs = now;
  AudioPump(std::min<uint32_t>(elapsed, 1000));
}

}  // namespace platform
