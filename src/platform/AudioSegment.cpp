// Effect files: read, decoded (WAV) and converted once to the output format.
#include <SDL.h>
#include <sys/stat.h>

#include <cstring>

#include "platform/Audio.h"
#include "platform/AudioInternal.h"
#include "platform/Files.h"

namespace platform {
namespace {
// Decodes a WAV image to interleaved stereo 16-bit frames at kAudioRate.
bool DecodeWav(const std::string& bytes, std::vector<int16_t>& out) {
  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (!rw) return false;
  SDL_AudioSpec spec;
  Uint8* data = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV_RW(rw, 1, &spec, &data, &length)) return false;
  SDL_AudioCVT cvt;
  bool ok = SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, 2, kAudioRate) >= 0;
  if (ok) {
    size_t frameBytes = static_cast<size_t>(SDL_AUDIO_BITSIZE(spec.format) / 8) * spec.channels;
    length -= frameBytes ? length % frameBytes : 0;  // a cut last frame is dropped
    std::vector<Uint8> buffer(static_cast<size_t>(length) * static_cast<size_t>(cvt.len_mult) + 16);
    std::memcpy(buffer.data(), data, length);
    cvt.buf = buffer.data();
    cvt.len = static_cast<int>(length);
    ok = cvt.needed == 0 || SDL_ConvertAudio(&cvt) == 0;
    if (ok) {
      size_t outBytes = cvt.needed ? static_cast<size_t>(cvt.len_cvt) : length;
      out.assign(outBytes / 4 * 2, 0);
      std::memcpy(out.data(), buffer.data(), out.size() * sizeof(int16_t));
    }
  }
  SDL_FreeWAV(data);
  return ok;
}
}  // namespace

AudioSegment::AudioSegment(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

AudioSegment::~AudioSegment() { audio_internal::FreeChunk(impl_->chunk); }

HRESULT AudioSegment::SetStandardMidiFile() { return S_OK; }

HRESULT AudioSegment::GetLength(int64_t& frames) const {
  frames = static_cast<int64_t>(Frames());
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

HRESULT AudioSegment::Download(AudioPerformance& performance) {
  if (impl_->chunk || !performance.HasDevice() || Frames() == 0) return S_OK;
  impl_->chunk = audio_internal::MakeChunk(impl_->samples.data(), impl_->samples.size() * sizeof(int16_t));
  return impl_->chunk ? S_OK : E_FAIL;
}

const int16_t* AudioSegment::Samples() const { return impl_->samples.data(); }
size_t AudioSegment::Frames() const { return impl_->samples.size() / 2; }

HRESULT AudioLoader::SetSearchDirectory(const std::string& hostDirectory) {
  struct stat st;
  if (::stat(hostDirectory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return DMUS_E_LOADER_FAILEDOPEN;
  directory_ = hostDirectory;
  return S_OK;
}

HRESULT AudioLoader::LoadSegment(std::string_view enginePath, AudioSegmentPtr& out) {
  out.reset();
  std::string bytes;
  if (!ReadWholeFile(enginePath, bytes)) return DMUS_E_LOADER_FAILEDOPEN;
  if (bytes.size() > 0x7FFFFFFF) return E_OUTOFMEMORY;  // SDL reads at most 2 GB
  auto impl = std::make_unique<AudioSegment::Impl>();
  if (!DecodeWav(bytes, impl->samples)) return E_FAIL;
  out = std::make_shared<AudioSegment>(std::move(impl));
  return S_OK;
}

}  // namespace platform
