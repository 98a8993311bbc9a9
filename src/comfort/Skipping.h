#pragma once
// Skipping and auto mode: skip held (either Ctrl, the pad's right
// shoulder), skip mode (only messages seen before, unless the settings say
// all) and auto mode, which steps once a message has been typed out and the
// settings' wait has passed. A menu ends skip mode and auto mode.
#include <cstddef>
#include <cstdint>
#include <string>

#include "comfort/Settings.h"
#include "platform/window/Event.h"

class CMsgBox;

namespace comfort {

enum class SkipState : uint8_t { Off, Held, Seen };

class Skipping {
 public:
  enum Source : uint8_t { kLeftCtrl, kRightCtrl, kPad };
  explicit Skipping(CMsgBox& box) : box_(box) {}

  void Hold(Source source, bool down);
  // Screens over the game still see the skip keys let go, so that skipping
  // does not stay held after they close.
  void TakeRelease(const platform::Event& e);
  void ToggleSkipMode();
  void ToggleAuto();
  void EndAuto() { auto_ = false; }

  SkipState State() const;
  bool SkipMode() const { return skipSeen_; }  // on whether or not a skip is held as well
  bool Auto() const { return auto_; }

  // Each logic step, the game running: notes when the message was typed
  // out; a menu ends skip mode and auto mode.
  void BeginStep(double now);
  // At a decide-grid firing without the player's decide.
  bool WantsStep(double now, const Settings& s);
  void AfterStep();
  // Seconds until skipping or auto mode steps; infinity when neither will.
  double SecondsUntilDue(double now, const Settings& s) const;
  // A new message: whether it was seen before, and its length in characters.
  void MessageShown(bool seenBefore, size_t characters);

  // ,"skip":…,"auto":…
  void Trace(std::string& members) const;

 private:
  double Due(const Settings& s) const {
    return typedOutAt_ + s.autoDelay + s.autoPerCharacter * double(currentChars_);
  }
  CMsgBox& box_;
  bool held_[3] = {};
  bool skipSeen_ = false, auto_ = false;
  bool currentSeen_ = false;  // the message on screen was seen before it was shown
  size_t currentChars_ = 0;
  double typedOutAt_ = -1.0;  // when the message on screen was typed out; < 0 not yet
};

}  // namespace comfort
