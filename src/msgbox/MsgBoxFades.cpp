// Fades of pictures and music, and the FadeIn / FadeOut commands that start
// them. A fade holds the script: Step does nothing while one runs, and the
// fade calls Step itself when it ends, so the script goes on unprompted.
#include <cstdint>
#include <string>

#include "app/framework/TextFont.h"
#include "gfx/CPolygon.h"
#include "msgbox/CMsgBox.h"
#include "msgbox/MsgBoxSeams.h"
#include "platform/headless/Clock.h"

namespace {
using Phase = msgbox::FadePhase;

constexpr int32_t kAlphaStep = 5;
constexpr float kMinStepInterval = 0.04f;  // seconds between two alpha steps
constexpr int32_t kVolumeStep = 50;        // hundredths of a decibel per logic step
constexpr int32_t kQuietVolume = -5000;
constexpr int32_t kFullVolume = 0;
}  // namespace

// --- the commands ---

CMsgBox::Outcome CMsgBox::CmdFadeIn() { return StartFade(true); }
CMsgBox::Outcome CMsgBox::CmdFadeOut() { return StartFade(false); }

CMsgBox::Outcome CMsgBox::StartFade(bool in) {
  const std::string& target = NextArgument();
  if (target == "Volume") {
    fades_.volumeFadeActive = true;
    fades_.volumeFadeIn = in;
    fades_.musicPhase = Phase::Start;
  } else {
    fades_.imageFadeActive = true;
    fades_.imageFadeIn = in;
    fades_.imagePhase = Phase::Start;
    CPolygon* const pictures[] = {window_.rightSprite.get(), window_.centerSprite.get(), window_.leftSprite.get(), window_.wideCenterSprite.get(),
                                  window_.bgSprite.get()};
    auto add = [this](CPolygon* sprite) {
      if (sprite) fades_.fadeSprites.push_back(sprite);
    };
    if (target == "Right") {
      add(window_.rightSprite.get());
    } else if (target == "Center") {
      add(window_.centerSprite.get());
    } else if (target == "Left") {
      add(window_.leftSprite.get());
    } else if (target == "Images" || target == "All") {
      for (CPolygon* sprite : pictures) add(sprite);
      if (target == "All") {
        add(window_.pictureFrameSprite.get());
        add(window_.speakerSprite.get());
        add(window_.windowSprite.get());
        if (window_.messageTextObject) fades_.fadeTexts.push_back(window_.messageTextObject.get());
      }
    }
    // Any other target fades nothing and ends on the next frame.
  }
  // The step ends here even when these were the last words of the file.
  NextWord();
  return Return(S_OK);
}

// --- the per-frame steps ---

void CMsgBox::StepImageFade() {
  const int32_t step = fades_.imageFadeIn ? kAlphaStep : -kAlphaStep;
  switch (fades_.imagePhase) {
    case Phase::Start: {
      const int32_t from = fades_.imageFadeIn ? 0 : 255;
      for (TextFont* text : fades_.fadeTexts) text->setAlpha(from);
      for (CPolygon* sprite : fades_.fadeSprites) sprite->SetAlpha(from);
      fades_.lastStepMs = timeGetTime();
      // With nothing to fade there is no alpha to wait for.
      if (fades_.fadeSprites.empty()) break;
      fades_.imagePhase = Phase::Running;
      return;
    }
    case Phase::Running: {
      // Unsigned difference: correct across the clock's wrap.
      const uint32_t elapsed = timeGetTime() - fades_.lastStepMs;
      if (static_cast<float>(elapsed) * 0.001f < kMinStepInterval) return;
      for (TextFont* text : fades_.fadeTexts) text->addAlpha(step);
      int32_t alpha = 0;
      for (CPolygon* sprite : fades_.fadeSprites) {
        sprite->AddAlpha(step);
        alpha = sprite->GetAlpha();
      }
      // The last sprite of the list decides the end.
      if (fades_.imageFadeIn ? alpha > 254 : alpha < 1) fades_.imagePhase = Phase::Finish;
      fades_.lastStepMs = timeGetTime();
      return;
    }
    case Phase::Finish:
      break;
  }
  // A fade with nothing in it took no time: it was no wait for the player.
  const bool lasted = !fades_.fadeSprites.empty();
  fades_.imageFadeActive = false;
  fades_.fadeSprites.clear();
  fades_.fadeTexts.clear();
  fades_.imagePhase = Phase::Start;
  // The message shown so far vanishes; messageText itself stays.
  if (window_.messageTextObject) window_.messageTextObject->setText("");
  StepAfterFade(lasted);
}

int32_t CMsgBox::StepMusicFade() {
  switch (fades_.musicPhase) {
    case Phase::Start:
      msgboxseam::SetMusicVolume(devices_.bgmPlayer, fades_.volumeFadeIn ? kQuietVolume : kFullVolume);
      fades_.musicPhase = Phase::Running;
      return 0;
    case Phase::Running: {
      msgboxseam::AddMusicVolume(devices_.bgmPlayer, fades_.volumeFadeIn ? kVolumeStep : -kVolumeStep);
      // Without a player there is no volume to reach: the fade just ends.
      const int32_t volume = devices_.bgmPlayer ? msgboxseam::GetMusicVolume(devices_.bgmPlayer) : (fades_.volumeFadeIn ? 0 : kQuietVolume);
      if (fades_.volumeFadeIn ? volume >= kFullVolume : volume <= kQuietVolume) fades_.musicPhase = Phase::Finish;
      return 0;
    }
    case Phase::Finish:
      break;
  }
  fades_.volumeFadeActive = false;
  fades_.musicPhase = Phase::Start;
  StepAfterFade(devices_.bgmPlayer != nullptr);
  return 0;
}
