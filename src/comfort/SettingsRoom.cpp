#include "comfort/SettingsRoom.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "comfort/SettingsScreen.h"
#include "input/GameActions.h"
#include "msgbox/CMsgBox.h"
#include "platform/audio/AudioMix.h"
#include "platform/diagnostics/Trace.h"
#include "platform/window/Window.h"

namespace comfort {
using platform::Key;
using platform::MouseButton;
using platform::PadButton;
using Type = platform::Event::Type;

SettingsRoom::SettingsRoom(CMsgBox& box, const std::string& path)
    : box_(box), screen_(std::make_unique<SettingsScreen>()), file_(path) {
  settings_ = file_.Load();
  if (platform::Window* w = platform::CurrentWindow()) {
    // The size the player left the window at, before full screen if that is on.
    if (settings_.windowWidth > 0) w->SetWindowedSize(settings_.windowWidth, settings_.windowHeight);
    w->WindowedSize(seenWidth_, seenHeight_);
  }
  Apply();
}

SettingsRoom::~SettingsRoom() {
  KeepPendingSize();
  box_.SetTypingPace(1);
}

void SettingsRoom::Open() {
  open_ = true;
  screen_->Reset();
}

void SettingsRoom::FollowWindow(double now) {
  platform::Window* w = platform::CurrentWindow();
  if (!w) return;
  if (w->Fullscreen() != settings_.fullScreen) {
    Settings s = settings_;
    s.fullScreen = w->Fullscreen();
    Change(s);
  }
  int width = 0, height = 0;
  w->WindowedSize(width, height);
  if (width != seenWidth_ || height != seenHeight_) {
    seenWidth_ = width;
    seenHeight_ = height;
    sizeChangedAt_ = now;
  }
  if (sizeChangedAt_ >= 0.0 && now - sizeChangedAt_ >= kSizeSettles) KeepPendingSize();
}

void SettingsRoom::KeepPendingSize() {
  if (sizeChangedAt_ < 0.0) return;
  sizeChangedAt_ = -1.0;
  if (seenWidth_ <= 0 || seenHeight_ <= 0) return;
  Settings s = settings_;
  s.windowWidth = seenWidth_;
  s.windowHeight = seenHeight_;
  if (!(s == settings_)) Change(s);
}

double SettingsRoom::SecondsUntilSettled(double now) const {
  if (sizeChangedAt_ < 0.0) return std::numeric_limits<double>::infinity();
  return std::max(0.0, sizeChangedAt_ + kSizeSettles - now);
}

int32_t SettingsRoom::Cursor() const { return screen_->Cursor(); }

void SettingsRoom::Change(const Settings& s) {
  settings_ = s;
  settings_.Clamp();
  Apply();
  file_.Save(settings_);
}

void SettingsRoom::OfferLanguages(const std::vector<LanguageChoice>& choices, const std::string& inForce,
                                  std::function<std::string(const std::string&)> follow,
                                  std::function<bool(const std::string&)> failed) {
  screen_->SetLanguages(choices);
  inForce_ = inForce;
  followLanguage_ = std::move(follow);
  languageFailed_ = std::move(failed);
}

std::string SettingsRoom::LanguageRow() const {
  return screen_->LanguageValue(inForce_, languageFailed_ && languageFailed_(inForce_));
}

void SettingsRoom::ChangeRow(int32_t direction) {
  Settings s = settings_;
  if (screen_->Cursor() == SettingsScreen::kLanguage) {
    // The row steps on from the language in force, which --language may
    // have chosen; the choice is kept as the setting from then on.
    // One that cannot be read is said once and not kept; the row stands
    // on it, so that the next step goes on past it.
    inForce_ = screen_->NextLanguage(inForce_, direction);
    s.language = followLanguage_ ? followLanguage_(inForce_) : inForce_;
    Change(s);
    return;
  }
  if (!screen_->Change(s, direction)) {
    open_ = false;  // the close row
    return;
  }
  Change(s);
}

void SettingsRoom::Apply() {
  box_.SetTypingPace(settings_.stepsPerCharacter);
  platform::SetPlayerLevels(VolumeLevel(settings_.musicVolume, settings_.mute),
                            VolumeLevel(settings_.effectVolume, settings_.mute));
  if (platform::Window* w = platform::CurrentWindow()) {
    w->SetFullscreen(settings_.fullScreen);
    w->SetSharpScaling(settings_.sharpScaling);
  }
}

void SettingsRoom::TakeEvent(const platform::Event& e) {
  switch (e.type) {
    case Type::KeyDown:
      if (e.key == Key::Escape || e.key == Key::F2) open_ = false;
      break;
    case Type::PadButtonDown:
      if (e.button == PadButton::Back) open_ = false;
      break;
    case Type::MouseMotion:
      if (int32_t row = SettingsScreen::RowAt(e.x, e.y); row >= 0) screen_->MoveTo(row);
      break;
    case Type::MouseDown:
      if (e.mouse == MouseButton::Right) {
        open_ = false;
      } else if (e.mouse == MouseButton::Left) {
        int32_t row = SettingsScreen::RowAt(e.x, e.y);
        if (row < 0) break;
        screen_->MoveTo(row);
        ChangeRow(1);
      }
      break;
    case Type::MouseWheel:
      ChangeRow(e.wheel > 0 ? 1 : -1);
      break;
    default:
      break;
  }
}

void SettingsRoom::TakeControls(const int32_t* actions, bool decidePressed) {
  if (actions[ACT_UP]) screen_->Move(-1);
  if (actions[ACT_DOWN]) screen_->Move(1);
  if (actions[ACT_LEFT]) ChangeRow(-1);
  if (actions[ACT_RIGHT]) ChangeRow(1);
  if (decidePressed) ChangeRow(1);
  if (actions[ACT_CANCEL]) open_ = false;
}

void SettingsRoom::Render() {
  if (open_) screen_->Render(settings_, inForce_, languageFailed_ && languageFailed_(inForce_));
}

void SettingsRoom::Trace(std::string& members) const {
  members += ",\"settingsOpen\":";
  members += open_ ? "true" : "false";
  // The settings in force, as their file writes them.
  members += ",\"settings\":{";
  const std::string file = SerializeSettings(settings_);
  bool firstMember = true;
  for (size_t at = file.find('\n') + 1; at < file.size();) {
    const size_t end = file.find('\n', at), eq = file.find(" = ", at);
    if (!firstMember) members += ',';
    firstMember = false;
    const std::string value = file.substr(eq + 3, end - eq - 3);
    char* numberEnd = nullptr;
    std::strtod(value.c_str(), &numberEnd);
    const bool word = value.empty() || value.find_first_not_of("0123456789.-+e") != std::string::npos ||
                      *numberEnd != '\0';  // anything but a number is a string
    members += platform::JsonString(file.substr(at, eq - at)) + ":" +
               (value == "on" ? "true" : value == "off" ? "false" : word ? platform::JsonString(value) : value);
    at = end + 1;
  }
  members += "}";
}

}  // namespace comfort
