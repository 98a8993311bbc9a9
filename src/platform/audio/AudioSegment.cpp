// Effect files: read and parsed (WAV) when loaded, converted once to the
// output format when first needed.
#include "platform/audio/AudioSegment.h"

#include <SDL.h>
#include <sys/stat.h>

#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/audio/AudioInternal.h"
#include "platform/audio/AudioMix.h"
#include "platform/audio/AudioPerformance.h"
#include "platform/audio/WavImage.h"
#include "platform/files/Files.h"

namespace platform {
namespace {
constexpr int kMinWavRate = 100, kMaxWavRate = 200000;
constexpr size_t kMaxEffectFrames = size_t(256) << 20 >> 2;  // 256 MiB of 16-bit stereo
// Parses a WAV image with SDL, so that every check SDL makes is made now,
// and checks that its format converts to ours; the conversion itself waits.
bool ParseWav(std::string& bytes, AudioSegment::Impl& out) {
  ClampWavChunkLengths(bytes);
  NarrowDoubleWavSamples(bytes);
  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (!rw) return false;
  SDL_AudioSpec spec;
  Uint8* data = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV_RW(rw, 1, &spec, &data, &length)) return false;
  SDL_AudioCVT cvt;
  if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, 2, kAudioRate) < 0) {
    SDL_FreeWAV(data);
    return false;
  }
  size_t frameBytes = static_cast<size_t>(SDL_AUDIO_BITSIZE(spec.format) / 8) * spec.channels;
  length -= frameBytes ? length % frameBytes : 0;  // a cut last frame is dropped
  // Rates the platform's sound buffers never took (a file at 1 Hz would be
  // stretched 48,000 times), and files that would come out longer than the
  // longest the size cap lets in at the output's rate, are refused.
  const double outFrames = frameBytes ? double(length / frameBytes) * kAudioRate / std::max(spec.freq, 1) : 0;
  if (spec.freq < kMinWavRate || spec.freq > kMaxWavRate || outFrames > double(kMaxEffectFrames)) {
    SDL_FreeWAV(data);
    return false;
  }
  out.source = data;
  out.sourceBytes = length;
  out.sourceFormat = spec.format;
  out.sourceChannels = spec.channels;
  out.sourceRate = spec.freq;
  return true;
}

size_t SourceFrameBytes(const AudioSegment::Impl& s) {
  return static_cast<size_t>(SDL_AUDIO_BITSIZE(s.sourceFormat) / 8) * s.sourceChannels;
}
}  // namespace

AudioSegment::Impl::~Impl() { SDL_FreeWAV(source); }

namespace {
// Converts the file's samples to stereo at their own rate (floats), with SDL.
bool ToStereoFloats(const AudioSegment::Impl& s, std::vector<float>& out) {
  SDL_AudioCVT cvt;
  if (SDL_BuildAudioCVT(&cvt, s.sourceFormat, s.sourceChannels, s.sourceRate, AUDIO_F32SYS, 2, s.sourceRate) < 0)
    return false;
  // Converted in place, in the vector that keeps the result.
  const size_t bufferBytes = static_cast<size_t>(s.sourceBytes) * static_cast<size_t>(cvt.len_mult) + 16;
  out.resize((bufferBytes + 3) / 4);
  if (s.sourceBytes) std::memcpy(out.data(), s.source, s.sourceBytes);
  cvt.buf = reinterpret_cast<Uint8*>(out.data());
  cvt.len = static_cast<int>(s.sourceBytes);
  if (cvt.needed && SDL_ConvertAudio(&cvt) != 0) return false;
  out.resize((cvt.needed ? static_cast<size_t>(cvt.len_cvt) : s.sourceBytes) / 8 * 2);
  return true;
}

// To the output's rate with libsoxr at high quality. SDL's own converter
// left images of the source's band above it, 14 to 20 dB under the sound
// for files at 4 to 11 kHz, which the ear takes for hiss and whistles; this
// keeps them 55 dB or more under it, as sox does.
bool Resample(const std::vector<float>& in, int rate, std::vector<float>& out) {
  const size_t frames = in.size() / 2;
  const size_t room = static_cast<size_t>(std::ceil(double(frames) * kAudioRate / rate)) + 16;
  out.resize(room * 2);
  const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
  const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
  size_t used = 0, made = 0;
  if (soxr_oneshot(rate, kAudioRate, 2, in.data(), frames, &used, out.data(), room, &made, &io, &quality, nullptr))
    return false;
  out.resize(made * 2);
  return true;
}
}  // namespace

namespace audio_internal {
bool Decode(AudioSegment::Impl& s) {
  if (s.decoded) return true;
  s.decoded = true;
  std::vector<float> stereo, resampled;
  bool ok = ToStereoFloats(s, stereo);
  // A float file may hold NaN, infinities or values far beyond full scale:
  // silence and full scale (where the output clips them anyway), before the
  // resampler would spread them over their neighbours or overflow on them.
  for (float& v : stereo) v = std::isnan(v) ? 0.0f : std::clamp(v, -1.0f, 1.0f);
  if (ok && s.sourceRate != kAudioRate) {
    ok = Resample(stereo, s.sourceRate, resampled);
    stereo.swap(resampled);
  }
  if (ok) {
    s.samples.resize(stereo.size());
    for (size_t i = 0; i < stereo.size(); ++i)
      s.samples[i] = static_cast<int16_t>(std::clamp(std::nearbyint(stereo[i] * 32768.0f), -32768.0f, 32767.0f));
  } else {
    s.samples.clear();
  }
  s.frames = s.samples.size() / 2;
  SDL_FreeWAV(s.source);
  s.source = nullptr;
  s.sourceBytes = 0;
  return ok;
}

bool MakePlayable(AudioSegment::Impl& s) {
  if (s.chunk) return true;
  if (!Decode(s) || s.frames == 0) return false;
  s.mixSamples.resize(s.samples.size());
  for (size_t i = 0; i < s.samples.size(); ++i) s.mixSamples[i] = static_cast<float>(s.samples[i]) / 32768.0f;
  s.chunk = MakeChunk(s.mixSamples.data(), s.mixSamples.size() * sizeof(float));
  if (!s.chunk) {
    s.mixSamples = std::vector<float>();
    return false;
  }
  s.samples = std::vector<int16_t>();  // the float copy is what plays
  return true;
}
}  // namespace audio_internal

AudioSegment::AudioSegment(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

AudioSegment::~AudioSegment() { audio_internal::FreeChunk(impl_->chunk); }

HRESULT AudioSegment::SetStandardMidiFile() { return S_OK; }

HRESULT AudioSegment::GetLength(int64_t& frames) const {
  const Impl& s = *impl_;
  if (!s.decoded && s.sourceRate == kAudioRate) {
    // Without resampling the conversion keeps the number of frames.
    size_t frameBytes = SourceFrameBytes(s);
    frames = frameBytes ? static_cast<int64_t>(s.sourceBytes / frameBytes) : 0;
  } else {
    frames = static_cast<int64_t>(Frames());
  }
  return S_OK;
}

HRESULT AudioSegment::SetLoopPoints(int64_t start, int64_t end) {
  // The mixer repeats whole sounds only: 0, 0 (or the full range) it is.
  if (!(start == 0 && (end == 0 || end == static_cast<int64_t>(Frames())))) return E_NOTIMPL;
  impl_->loopStart = start;
  impl_->loopEnd = end;
  return S_OK;
}

HRESULT AudioSegment::SetRepeats(uint32_t repeats) {
  impl_->repeats = repeats;
  return S_OK;
}

HRESULT AudioSegment::Download(AudioPerformance&) {
  // The mixer chunk is made on the first play (audio_internal::MakePlayable),
  // once the samples are converted.
  return S_OK;
}

const int16_t* AudioSegment::Samples() const {
  Impl& s = *impl_;
  audio_internal::Decode(s);
  if (s.samples.empty() && !s.mixSamples.empty()) {
    s.samples.resize(s.mixSamples.size());
    for (size_t i = 0; i < s.mixSamples.size(); ++i) s.samples[i] = static_cast<int16_t>(s.mixSamples[i] * 32768.0f);
  }
  return s.samples.data();
}

size_t AudioSegment::Frames() const {
  audio_internal::Decode(*impl_);
  return impl_->frames;
}

bool AudioSegment::Decoded() const { return impl_->decoded; }

HRESULT AudioLoader::SetSearchDirectory(const std::string& hostDirectory) {
  struct stat st;
  if (::stat(hostDirectory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return DMUS_E_LOADER_FAILEDOPEN;
  directory_ = hostDirectory;
  return S_OK;
}

HRESULT AudioLoader::LoadSegment(std::string_view enginePath, AudioSegmentPtr& out) {
  out.reset();
  std::string bytes;
  if (!ReadWholeFile(enginePath, bytes, file_caps::kEffect)) return DMUS_E_LOADER_FAILEDOPEN;
  if (bytes.size() > 0x7FFFFFFF) return E_OUTOFMEMORY;  // SDL reads at most 2 GB
  auto impl = std::make_unique<AudioSegment::Impl>();
  if (!ParseWav(bytes, *impl)) return E_FAIL;
  out = std::make_shared<AudioSegment>(std::move(impl));
  return S_OK;
}

}  // namespace platform
