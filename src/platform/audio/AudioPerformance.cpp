// The performance, its audio paths and its plays, on whichever output it
// holds: the sound device, or the null output.
#include "platform/audio/AudioPerformance.h"

#include <string>

#include "platform/audio/AudioInternal.h"
#include "platform/audio/AudioMix.h"
#include "platform/audio/AudioOutput.h"
#include "platform/audio/SdlAudioOutput.h"
#include "platform/diagnostics/Debug.h"

namespace platform {

bool AudioSegmentState::Playing() const { return audio_internal::CurrentOutput().Playing(channel_, serial_); }

AudioPath::~AudioPath() {
  if (slot_ < 0 || slot_ >= audio_internal::kMaxPaths) return;
  audio_internal::CurrentOutput().StopPath(slot_);
  audio_internal::ReleasePathSlot(slot_);
}

HRESULT AudioPath::SetVolume(int32_t hundredths, uint32_t) {
  volume_ = hundredths;
  audio_internal::PathGain(slot_) = DecibelGain(hundredths);
  return S_OK;
}

AudioPerformance::AudioPerformance() = default;
AudioPerformance::~AudioPerformance() { CloseDown(); }

AudioOutput& AudioPerformance::Output() const {
  return open_ && output_ ? *output_ : audio_internal::NullOutput();
}

HRESULT AudioPerformance::InitAudio(bool headless) {
  if (open_) return S_OK;
  open_ = true;
  output_ = &audio_internal::NullOutput();
  ownsOutput_ = audio_internal::OutputOwner() == nullptr;
  if (ownsOutput_) {
    audio_internal::OutputOwner() = this;
    audio_internal::MasterGain() = 1.0f;
    if (!headless) device_ = SdlAudioOutput::Open();
    if (device_) {
      output_ = device_.get();
      audio_internal::SetCurrentOutput(device_.get());
      device_->SetMusic(audio_internal::AttachedMusic());
    }
  } else {
    OutputDebugString("Sound: the output is taken; this performance plays silently.");
  }
  int slot = audio_internal::AllocatePathSlot();
  if (slot >= 0) defaultPath_ = std::make_unique<AudioPath>(slot);
  return S_OK;
}

bool AudioPerformance::HasDevice() const { return Output().PlaysSound(); }

HRESULT AudioPerformance::GetDefaultAudioPath(AudioPath*& out) {
  out = defaultPath_.get();
  return out ? S_OK : E_FAIL;
}

HRESULT AudioPerformance::CreateStandardAudioPath(std::unique_ptr<AudioPath>& out) {
  out.reset();
  if (!open_) return E_FAIL;
  int slot = audio_internal::AllocatePathSlot();
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
  uint64_t serial = audio_internal::NextPlaySerial();
  AudioOutput& out = Output();
  if (!out.PlaysSound() || segment.Frames() == 0) {
    state = std::make_shared<AudioSegmentState>(-1, serial);
    return S_OK;
  }
  if (!audio_internal::MakePlayable(segment.impl())) return E_FAIL;
  bool primary = !(flags & kSecondary);
  if (primary) out.Stop(primaryChannel_, primarySerial_);
  int channel = -1;
  if (FAILED(out.Play(segment.impl(), path->Slot(), serial, channel))) return E_FAIL;
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
  if (ownsOutput_) audio_internal::MasterGain() = master_;
  return S_OK;
}

int AudioPerformance::PlayingVoices() const { return Output().PlayingVoices(); }

int AudioPerformance::Channels() const { return Output().Channels(); }

HRESULT AudioPerformance::CloseDown() {
  if (!open_) return S_OK;
  defaultPath_.reset();
  if (ownsOutput_) {
    if (device_) {
      audio_internal::SetCurrentOutput(nullptr);
      device_.reset();
    }
    audio_internal::OutputOwner() = nullptr;
    audio_internal::MasterGain() = 1.0f;
  }
  output_ = nullptr;
  ownsOutput_ = false;
  primaryChannel_ = -1;
  event_ = nullptr;
  open_ = false;
  return S_OK;
}

}  // namespace platform
