// Fades of pictures and music, and the FadeIn / FadeOut commands that start
// them. A fade holds the script: Step does nothing while one runs, and the
// fade calls Step itself when it ends, so the script goes on unprompted.
#include <cstdint>
#include <string>

#include "app/framework/TextFont.h"
#include "gfx/CPolygon.h"
#include "msgbox/CMsgBox.h"
#include "msgbox/MsgBoxSeams.h"
#include "platform/Clock.h"

namespace {
enum class Phase : uint8_t { Start, Running, Finish };

// One state per fade for the whole program, as only one message window exists.
struct ImageFadeState {
  Phase phase = Phase::Start;
  uint32_t lastStepMs = 0;
};
ImageFadeState imageFade;
Phase musicFadePhase = Phase::Start;

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
    volumeFadeActive = true;
    volumeFadeIn = in;
    musicFadePhase = Phase::Start;
  } else {
    imageFadeActive = true;
    imageFadeIn = in;
    imageFade.phase = Phase::Start;
    CPolygon* const pictures[] = {rightSprite.get(), centerSprite.get(), leftSprite.get(), wideCenterSprite.get(),
                                  bgSprite.get()};
    auto add = [this](CPolygon* sprite) {
      if (sprite) fadeSprites.push_back(sprite);
    };
    if (target == "Right") {
      add(rightSprite.get());
    } else if (target == "Center") {
      add(centerSprite.get());
    } else if (target == "Left") {
      add(leftSprite.get());
    } else if (target == "Images" || target == "All") {
      for (CPolygon* sprite : pictures) add(sprite);
      if (target == "All") {
        add(pictureFrameSprite.get());
        add(speakerSprite.get());
        add(windowSprite.get());
        if (messageTextObject) fadeTexts.push_back(messageTextObject.get());
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
  const int32_t step = imageFadeIn ? kAlphaStep : -kAlphaStep;
  switch (imageFade.phase) {
    case Phase::Start: {
      const int32_t from = imageFadeIn ? 0 : 255;
      for (TextFont* text : fadeTexts) text->setAlpha(from);
      for (CPolygon* sprite : fadeSprites) sprite->SetAlpha(from);
      imageFade.lastStepMs = timeGetTime();
      // With nothing to fade there is no alpha to wait for.
      if (fadeSprites.empty()) break;
      imageFade.phase = Phase::Running;
      return;
    }
    case Phase::Running: {
      // Unsigned difference: correct across the clock's wrap.
      const uint32_t elapsed = timeGetTime() - imageFade.lastStepMs;
      if (static_cast<float>(elapsed) * 0.001f < kMinStepInterval) return;
      for (TextFont* text : fadeTexts) text->addAlpha(step);
      int32_t alpha = 0;
      for (CPolygon* sprite : fadeSprites) {
        sprite->AddAlpha(step);
        alpha = sprite->GetAlpha();
      }
      // The last sprite of the list decides the end.
      if (imageFadeIn ? alpha > 254 : alpha < 1) imageFade.phase = Phase::Finish;
      imageFade.lastStepMs = timeGetTime();
      return;
    }
    case Phase::Finish:
      break;
  }
  // A fade with nothing in it took no time: it was no wait for the player.
  const bool lasted = !fadeSprites.empty();
  imageFadeActive = false;
  fadeSprites.clear();
  fadeTexts.clear();
  imageFade.phase = Phase::Start;
  // The message shown so far vanishes; messageText itself stays.
  if (messageTextObject) messageTextObject->setText("");
  StepAfterFade(lasted);
}

int32_t CMsgBox::StepMusicFade() {
  switch (musicFadePhase) {
    case Phase::Start:
      msgboxseam::SetMusicVolume(bgmPlayer, volumeFadeIn ? kQuietVolume : kFullVolume);
      musicFadePhase = Phase::Running;
      return 0;
    case Phase::Running: {
      msgboxseam::AddMusicVolume(bgmPlayer, volumeFadeIn ? kVolumeStep : -kVolumeStep);
      // Without a player there is no volume to reach: the fade just ends.
      const int32_t volume = bgmPlayer ? msgboxseam::GetMusicVolume(bgmPlayer) : (volumeFadeIn ? 0 : kQuietVolume);
      if (volumeFadeIn ? volume >= kFullVolume : volume <= kQuietVolume) musicFadePhase = Phase::Finish;
      return 0;
    }
    case Phase::Finish:
      break;
  }
  volumeFadeActive = false;
  musicFadePhase = Phase::Start;
  StepAfterFade(bgmPlayer != nullptr);
  return 0;
}
