// The picture and music fades, stepped once per logic step.
#include "msgbox/Fades.h"

#include <cstdint>
#include <string>

#include "framework/TextFont.h"
#include "gfx/CPolygon.h"
#include "msgbox/MessageWindow.h"
#include "msgbox/DeviceCalls.h"
#include "platform/headless/Clock.h"

namespace msgbox {

namespace {
using Phase = FadePhase;

constexpr int32_t kAlphaStep = 5;
constexpr float kMinStepInterval = 0.04f;  // seconds between two alpha steps
constexpr int32_t kVolumeStep = 50;        // hundredths of a decibel per logic step
constexpr int32_t kQuietVolume = -5000;
constexpr int32_t kFullVolume = 0;
}  // namespace

void Fades::Start(bool in, const std::string& target, const MessageWindow& window) {
  if (target == "Volume") {
    volumeFadeActive = true;
    volumeFadeIn = in;
    musicPhase = Phase::Start;
    return;
  }
  imageFadeActive = true;
  imageFadeIn = in;
  imagePhase = Phase::Start;
  CPolygon* const pictures[] = {window.RightSprite().get(), window.CenterSprite().get(), window.LeftSprite().get(),
                                window.WideCenterSprite().get(), window.BgSprite().get()};
  auto add = [this](CPolygon* sprite) {
    if (sprite) fadeSprites.push_back(sprite);
  };
  if (target == "Right") {
    add(window.RightSprite().get());
  } else if (target == "Center") {
    add(window.CenterSprite().get());
  } else if (target == "Left") {
    add(window.LeftSprite().get());
  } else if (target == "Images" || target == "All") {
    for (CPolygon* sprite : pictures) add(sprite);
    if (target == "All") {
      add(window.PictureFrameSprite().get());
      add(window.SpeakerSprite().get());
      add(window.WindowSprite().get());
      if (window.MessageTextObject()) fadeTexts.push_back(window.MessageTextObject().get());
    }
  }
}

FadeStep Fades::StepImage() {
  const int32_t step = imageFadeIn ? kAlphaStep : -kAlphaStep;
  switch (imagePhase) {
    case Phase::Start: {
      const int32_t from = imageFadeIn ? 0 : 255;
      for (TextFont* text : fadeTexts) text->setAlpha(from);
      for (CPolygon* sprite : fadeSprites) sprite->SetAlpha(from);
      lastStepMs = timeGetTime();
      // With nothing to fade there is no alpha to wait for.
      if (fadeSprites.empty()) break;
      imagePhase = Phase::Running;
      return FadeStep::Going;
    }
    case Phase::Running: {
      // Unsigned difference: correct across the clock's wrap.
      const uint32_t elapsed = timeGetTime() - lastStepMs;
      if (static_cast<float>(elapsed) * 0.001f < kMinStepInterval) return FadeStep::Going;
      for (TextFont* text : fadeTexts) text->addAlpha(step);
      int32_t alpha = 0;
      for (CPolygon* sprite : fadeSprites) {
        sprite->AddAlpha(step);
        alpha = sprite->GetAlpha();
      }
      // The last sprite of the list decides the end.
      if (imageFadeIn ? alpha > 254 : alpha < 1) imagePhase = Phase::Finish;
      lastStepMs = timeGetTime();
      return FadeStep::Going;
    }
    case Phase::Finish:
      break;
  }
  // A fade with nothing in it took no time: it was no wait for the player.
  const bool lasted = !fadeSprites.empty();
  imageFadeActive = false;
  fadeSprites.clear();
  fadeTexts.clear();
  imagePhase = Phase::Start;
  return lasted ? FadeStep::EndedAfterTime : FadeStep::EndedAtOnce;
}

FadeStep Fades::StepMusic(CDSMusic* bgmPlayer) {
  switch (musicPhase) {
    case Phase::Start:
      devicecalls::SetMusicVolume(bgmPlayer, volumeFadeIn ? kQuietVolume : kFullVolume);
      musicPhase = Phase::Running;
      return FadeStep::Going;
    case Phase::Running: {
      devicecalls::AddMusicVolume(bgmPlayer, volumeFadeIn ? kVolumeStep : -kVolumeStep);
      // Without a player there is no volume to reach: the fade just ends.
      const int32_t volume = bgmPlayer ? devicecalls::GetMusicVolume(bgmPlayer) : (volumeFadeIn ? 0 : kQuietVolume);
      if (volumeFadeIn ? volume >= kFullVolume : volume <= kQuietVolume) musicPhase = Phase::Finish;
      return FadeStep::Going;
    }
    case Phase::Finish:
      break;
  }
  volumeFadeActive = false;
  musicPhase = Phase::Start;
  return bgmPlayer ? FadeStep::EndedAfterTime : FadeStep::EndedAtOnce;
}

void Fades::FinishNow(CDSMusic* bgmPlayer) {
  if (imageFadeActive && !fadeSprites.empty()) {
    const int32_t to = imageFadeIn ? 255 : 0;
    for (TextFont* text : fadeTexts) text->setAlpha(to);
    for (CPolygon* sprite : fadeSprites) sprite->SetAlpha(to);
    imagePhase = Phase::Finish;
  }
  if (volumeFadeActive) {
    if (bgmPlayer) devicecalls::SetMusicVolume(bgmPlayer, volumeFadeIn ? kFullVolume : kQuietVolume);
    musicPhase = Phase::Finish;
  }
}

void Fades::ForgetObjects() {
  fadeSprites.clear();
  fadeTexts.clear();
}

}  // namespace msgbox
