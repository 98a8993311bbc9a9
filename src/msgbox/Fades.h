#pragma once
// The fades: the picture fade with the sprites and texts taking part in it,
// and the music fade. Each is started by a FadeIn / FadeOut command and
// stepped once per logic step until it ends; while one runs the script
// holds (the caller steps the script when a fade reports its end).
#include <cstdint>
#include <list>
#include <string>

class CDSMusic;
class CPolygon;
class TextFont;

namespace msgbox {

class MessageWindow;

enum class FadePhase : uint8_t { Start, Running, Finish };

// What one step of a fade came to. A fade that took its time was a pause
// the player saw; one with nothing to fade ended at once.
enum class FadeStep : uint8_t { Going, EndedAfterTime, EndedAtOnce };

class Fades {
 public:
  // "Volume" fades the music; "Right", "Center", "Left", "Images" and "All"
  // name the window's pictures (All with the frame, speaker, window and
  // message text). Any other target fades nothing and ends on the next step.
  void Start(bool in, const std::string& target, const MessageWindow& window);
  FadeStep StepImage();
  // A null player leaves the volume alone and the fade just ends.
  FadeStep StepMusic(CDSMusic* bgmPlayer);
  // The window's objects are going: the picture fade lets go of them.
  void ForgetObjects();
  // Puts what the running fades change at the values they would end with;
  // their next step then ends them.
  void FinishNow(CDSMusic* bgmPlayer);
  // Holds the script as a running fade would (a test seam).
  void Hold(bool image, bool on) { (image ? imageFadeActive : volumeFadeActive) = on; }
  // No fade runs and the next one starts afresh (a snapshot, taken only
  // while none runs, is given back).
  void Settle();

  bool ImageFadeActive() const { return imageFadeActive; }
  bool VolumeFadeActive() const { return volumeFadeActive; }
  bool Active() const { return imageFadeActive || volumeFadeActive; }
  const std::list<CPolygon*>& FadeSprites() const { return fadeSprites; }
  const std::list<TextFont*>& FadeTexts() const { return fadeTexts; }

 private:
  bool imageFadeActive = false;
  bool imageFadeIn = true;
  std::list<CPolygon*> fadeSprites;
  std::list<TextFont*> fadeTexts;
  FadePhase imagePhase = FadePhase::Start;
  uint32_t lastStepMs = 0;
  bool volumeFadeActive = false;
  bool volumeFadeIn = true;
  FadePhase musicPhase = FadePhase::Start;
};

}  // namespace msgbox
