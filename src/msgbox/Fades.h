#pragma once
// The fades' state: the picture fade with what takes part in it, and the
// music fade.
#include <cstdint>
#include <list>

class CPolygon;
class TextFont;

namespace msgbox {

enum class FadePhase : uint8_t { Start, Running, Finish };

struct Fades {
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
