#include "comfort/Controller.h"

#include <cmath>
#include <limits>

#include "framework/TextFont.h"
#include "comfort/HistoryView.h"
#include "comfort/SettingsScreen.h"
#include "input/GameActions.h"
#include "msgbox/CMsgBox.h"
#include "platform/audio/AudioMix.h"
#include "platform/diagnostics/Trace.h"
#include "platform/text/TextCodec.h"
#include "platform/window/Clipboard.h"
#include "platform/window/Window.h"

namespace comfort {
using platform::Event;
using platform::Key;
using platform::MouseButton;
using platform::PadButton;
using Type = platform::Event::Type;

namespace {
bool InGameArea(int32_t x, int32_t y) {
  const platform::Device* device = TextFont::GetDevice();
  const int32_t w = device ? device->Width() : 640, h = device ? device->Height() : 480;
  return x >= 0 && y >= 0 && x < w && y < h;
}

size_t Characters(const std::string& cp932) {
  size_t n = 0;
  for (size_t i = 0; i < cp932.size(); ++i) {
    if (cp932[i] == '\n') continue;
    if (platform::IsLeadByte(static_cast<unsigned char>(cp932[i]))) ++i;
    ++n;
  }
  return n;
}
}  // namespace

Controller::Controller(CMsgBox& box, int32_t* actionStates, Config config)
    : box_(box),
      actions_(actionStates),
      config_(std::move(config)),
      settingsScreen_(std::make_unique<SettingsScreen>()),
      settingsFile_(config_.settingsPath),
      seen_(config_.seenPath) {
  seen_.Load();
  if (config_.modalScreens) modalSeen_ = config_.modalScreens();
  settings_ = settingsFile_.Load();
  Apply();
  if (config_.listen) hook_ = platform::Window::AddEventHook([this](const Event& e) { OnEvent(e); });
  box_.SetMessageObserver([this](const CMsgBox::ShownMessage& m) { MessageShown(m.speaker, m.text, m.script, m.word); });
  box_.SetLoadObserver([this] { history_.Clear(); });
  traceId_ = platform::trace::AddStateProvider([this](std::string& members) { Trace(members); });
}

Controller::~Controller() {
  platform::trace::RemoveStateProvider(traceId_);
  if (hook_ >= 0) platform::Window::RemoveEventHook(hook_);
  box_.SetMessageObserver(nullptr);
  box_.SetLoadObserver(nullptr);
  box_.SetChromeHidden(false);
  box_.SetTypingPace(1);
  seen_.Save();
}

void Controller::OnEvent(const Event& event) {
  switch (event.type) {
    case Type::KeyDown:
    case Type::KeyUp:
    case Type::PadButtonDown:
    case Type::PadButtonUp:
    case Type::MouseMotion:
    case Type::MouseDown:
    case Type::MouseUp:
    case Type::MouseWheel:
      queue_.push_back(event);
      break;
    default:
      break;
  }
}

SkipState Controller::Skip() const {
  if (ctrlLeft_ || ctrlRight_ || padSkip_) return SkipState::Held;
  return skipSeen_ ? SkipState::Seen : SkipState::Off;
}

bool Controller::ComfortKey(Key key, Key which) const {
  return key == which && !Bound(std::string("key:") + platform::KeyName(key));
}

void Controller::SetHidden(bool hidden) {
  hidden_ = hidden;
  box_.SetChromeHidden(hidden);
}

void Controller::OpenHistory() { history_.Open(); }

void Controller::Press(bool down) {
  mouseHeld_ = down;
  if (!actions_) return;
  if (down) {
    actions_[ACT_DECIDE] = 1;
    tapPending_ = true;  // however short the click, the decide grid sees it once
  } else if (!tapPending_) {
    actions_[ACT_DECIDE] = 0;
  }
}

void Controller::DecideGridFired() {
  if (!tapPending_) return;
  tapPending_ = false;
  if (!mouseHeld_ && actions_) actions_[ACT_DECIDE] = 0;
}

bool Controller::BeginStep(double now) {
  swallow_ = false;
  if (config_.modalScreens && config_.modalScreens() != modalSeen_) {
    modalSeen_ = config_.modalScreens();
    // Presses meant for the screen go; releases still let go of what was held.
    std::deque<Event> kept;
    for (const Event& e : queue_)
      if (e.type == Type::KeyUp || e.type == Type::PadButtonUp || e.type == Type::MouseUp) kept.push_back(e);
    queue_.swap(kept);
  }
  while (!queue_.empty()) {
    Event e = queue_.front();
    queue_.pop_front();
    if (settingsOpen_)
      TakeInSettings(e);
    else if (history_.IsOpen())
      TakeInHistory(e);
    else
      Take(e);
  }

  if (history_.IsOpen() && actions_) {
    // The game's own controls work the history while it is open.
    if (actions_[ACT_UP]) history_.Scroll(-1);
    if (actions_[ACT_DOWN]) history_.Scroll(1);
    if (actions_[ACT_CANCEL]) history_.Close();
    swallow_ = true;
  }
  if (settingsOpen_ && actions_) {
    // The game's own controls work the screen while it is open.
    if (actions_[ACT_UP]) settingsScreen_->Move(-1);
    if (actions_[ACT_DOWN]) settingsScreen_->Move(1);
    if (actions_[ACT_LEFT]) ChangeRow(-1);
    if (actions_[ACT_RIGHT]) ChangeRow(1);
    if (actions_[ACT_DECIDE] && !decideBefore_) ChangeRow(1);
    if (actions_[ACT_CANCEL]) settingsOpen_ = false;
    swallow_ = true;
  }
  if (swallow_ && actions_) {
    for (int slot : {ACT_DECIDE, ACT_CANCEL, ACT_LEFT, ACT_RIGHT, ACT_UP, ACT_DOWN}) actions_[slot] = 0;
    mouseHeld_ = false;
    tapPending_ = false;
  }
  // Any decide the player makes ends auto mode.
  const bool decideNow = actions_ && actions_[ACT_DECIDE];
  if (decideNow && !decideBefore_) playerDecide_ = true;
  decideBefore_ = decideNow;
  if (playerDecide_ && !history_.IsOpen()) {
    auto_ = false;
    playerDecide_ = false;
  }
  // Auto mode's wait starts once the message is typed out.
  const bool waiting = box_.Script().Running() && !box_.Window().Typing() && !box_.MenuOpen() && !box_.Fading().Active();
  if (!waiting) typedOutAt_ = -1.0;
  else if (typedOutAt_ < 0.0) typedOutAt_ = now;
  if (box_.MenuOpen()) {
    auto_ = false;
    skipSeen_ = false;
  }
  if (history_.IsOpen() || settingsOpen_ || Skip() != SkipState::Off || auto_ || hidden_ || !(settings_ == Settings{}))
    usedOnce_ = true;
  if (seen_.Size() && now - lastSave_ >= kSeenSaveInterval) {
    seen_.Save();
    lastSave_ = now;
  }
  return history_.IsOpen() || settingsOpen_;
}

void Controller::OpenSettings() {
  // F11 and Alt+Enter toggle full screen in the window itself: show it as it is.
  platform::Window* w = platform::CurrentWindow();
  if (w && !w->Headless()) settings_.fullScreen = w->Fullscreen();
  history_.Close();
  settingsOpen_ = true;
  settingsScreen_->Reset();
}

void Controller::ToggleSkipMode() {
  skipSeen_ = !skipSeen_;
  currentSeen_ = true;  // the message on screen is being read now
}

void Controller::ToggleAuto() {
  auto_ = !auto_;
  typedOutAt_ = -1.0;
}

int32_t Controller::SettingsCursor() const { return settingsScreen_->Cursor(); }

void Controller::Change(const Settings& s) {
  settings_ = s;
  settings_.Clamp();
  Apply();
  settingsFile_.Save(settings_);
}

void Controller::ChangeRow(int32_t direction) {
  Settings s = settings_;
  if (!settingsScreen_->Change(s, direction)) {
    settingsOpen_ = false;  // the close row
    return;
  }
  Change(s);
}

void Controller::Apply() {
  box_.SetTypingPace(settings_.stepsPerCharacter);
  platform::SetPlayerLevels(VolumeLevel(settings_.musicVolume, settings_.mute),
                            VolumeLevel(settings_.effectVolume, settings_.mute));
  if (platform::Window* w = platform::CurrentWindow()) {
    w->SetFullscreen(settings_.fullScreen);
    w->SetSharpScaling(settings_.sharpScaling);
  }
}

// Screens over the game still see the skip keys let go, so that skipping
// does not stay held after they close.
void Controller::TakeInSkipReleases(const Event& e) {
  if (e.type == Type::KeyUp && e.key == Key::LeftCtrl) ctrlLeft_ = false;
  if (e.type == Type::KeyUp && e.key == Key::RightCtrl) ctrlRight_ = false;
  if (e.type == Type::PadButtonUp && e.button == PadButton::RightShoulder) padSkip_ = false;
}

void Controller::TakeInSettings(const Event& e) {
  TakeInSkipReleases(e);
  switch (e.type) {
    case Type::KeyDown:
      if (e.key == Key::Escape || e.key == Key::F2) settingsOpen_ = false;
      break;
    case Type::PadButtonDown:
      if (e.button == PadButton::Back) settingsOpen_ = false;
      break;
    case Type::MouseMotion:
      if (int32_t row = SettingsScreen::RowAt(e.x, e.y); row >= 0) settingsScreen_->MoveTo(row);
      break;
    case Type::MouseDown:
      if (e.mouse == MouseButton::Right) {
        settingsOpen_ = false;
      } else if (e.mouse == MouseButton::Left) {
        int32_t row = SettingsScreen::RowAt(e.x, e.y);
        if (row < 0) break;
        settingsScreen_->MoveTo(row);
        ChangeRow(1);
      }
      break;
    case Type::MouseUp:
      if (e.mouse == MouseButton::Left) mouseHeld_ = false;
      break;
    case Type::MouseWheel:
      ChangeRow(e.wheel > 0 ? 1 : -1);
      break;
    default:
      break;
  }
}

void Controller::Take(const Event& e) {
  const bool press = e.type == Type::KeyDown || e.type == Type::PadButtonDown || e.type == Type::MouseDown;
  if (hidden_ && press && !(e.type == Type::KeyDown && e.repeat)) {
    // The press that brings the window back does nothing else.
    SetHidden(false);
    swallow_ = true;
    return;
  }
  switch (e.type) {
    case Type::KeyDown:
    case Type::KeyUp: {
      const bool down = e.type == Type::KeyDown;
      if (ComfortKey(e.key, Key::LeftCtrl)) ctrlLeft_ = down;
      if (ComfortKey(e.key, Key::RightCtrl)) ctrlRight_ = down;
      if (!down || e.repeat) break;
      if (ComfortKey(e.key, Key::H)) SetHidden(true);
      else if (ComfortKey(e.key, Key::PageUp)) OpenHistory();
      else if (ComfortKey(e.key, Key::Tab)) ToggleSkipMode();
      else if (ComfortKey(e.key, Key::A)) ToggleAuto();
      else if (ComfortKey(e.key, Key::F2)) OpenSettings();
      break;
    }
    case Type::PadButtonDown:
    case Type::PadButtonUp: {
      const bool down = e.type == Type::PadButtonDown;
      const char* name = platform::PadButtonName(e.button);
      if (name && Bound(std::string("pad:") + name)) break;
      if (e.button == PadButton::RightShoulder) padSkip_ = down;
      if (e.button == PadButton::LeftShoulder && down) OpenHistory();
      if (e.button == PadButton::Back && down) OpenSettings();
      break;
    }
    case Type::MouseMotion:
      pointerX_ = e.x;
      pointerY_ = e.y;
      if (int32_t id = 0; box_.MenuOpen() && box_.MenuItemAt(float(e.x), float(e.y), id)) box_.MoveMenuCursorTo(id);
      break;
    case Type::MouseDown:
      pointerX_ = e.x;
      pointerY_ = e.y;
      if (e.mouse == MouseButton::Right) {
        SetHidden(true);
      } else if (e.mouse == MouseButton::Left) {
        if (!InGameArea(e.x, e.y)) break;  // the letterbox bars are no part of the game
        if (box_.MenuOpen()) {
          // A click decides the item under it; elsewhere it does nothing.
          int32_t id = 0;
          if (!box_.MenuItemAt(float(e.x), float(e.y), id)) break;
          box_.MoveMenuCursorTo(id);
        }
        Press(true);
      }
      break;
    case Type::MouseUp:
      if (e.mouse == MouseButton::Left && mouseHeld_) Press(false);
      break;
    case Type::MouseWheel:
      if (e.wheel > 0) {
        OpenHistory();
      } else if (e.wheel < 0 && actions_ && !mouseHeld_) {
        // One decide, held long enough for the decide grid to see it.
        actions_[ACT_DECIDE] = 1;
        tapPending_ = true;
      }
      break;
    default:
      break;
  }
}

void Controller::TakeInHistory(const Event& e) {
  TakeInSkipReleases(e);
  switch (e.type) {
    case Type::KeyDown:
      if (e.key == Key::Escape) history_.Close();
      else if (e.key == Key::PageUp) history_.Scroll(-static_cast<long>(History::kPage));
      else if (e.key == Key::PageDown) history_.Scroll(static_cast<long>(History::kPage));
      break;
    case Type::MouseDown:
      if (e.mouse == MouseButton::Right) history_.Close();
      break;
    case Type::MouseUp:
      if (e.mouse == MouseButton::Left) mouseHeld_ = false;
      break;
    case Type::MouseWheel:
      if (e.wheel > 0) history_.Scroll(-1);
      else if (!history_.Scroll(1)) history_.Close();  // down past the newest
      break;
    default:
      break;
  }
}

bool Controller::WantsStep(double now) {
  if (history_.IsOpen() || settingsOpen_ || hidden_ || box_.MenuOpen() || !box_.Script().Running()) return false;
  bool step = false;
  if (Skip() == SkipState::Held) step = true;
  else if (skipSeen_ && currentSeen_) step = true;
  else if (auto_ && typedOutAt_ >= 0.0 &&
           now >= typedOutAt_ + settings_.autoDelay + settings_.autoPerCharacter * double(currentChars_))
    step = true;
  if (step && Skip() != SkipState::Off) box_.ShowWholeMessage();
  return step;
}

void Controller::AfterStep() {
  typedOutAt_ = -1.0;
  if (Skip() == SkipState::Off) return;
  box_.ShowWholeMessage();
  box_.FinishFadesNow();
}

void Controller::Render() {
  if (history_.IsOpen() && view_) view_->Render(history_);
  if (settingsOpen_) settingsScreen_->Render(settings_);
}

double Controller::SecondsUntilDue(double now) const {
  constexpr double kNever = std::numeric_limits<double>::infinity();
  if (history_.IsOpen() || settingsOpen_ || hidden_) return kNever;
  if (Skip() == SkipState::Held || (skipSeen_ && currentSeen_)) return 0.0;
  if (auto_ && typedOutAt_ >= 0.0) {
    const double due = typedOutAt_ + settings_.autoDelay + settings_.autoPerCharacter * double(currentChars_);
    return due > now ? due - now : 0.0;
  }
  if (tapPending_) return 0.0;
  return kNever;
}

void Controller::MessageShown(const std::string& speaker, const std::string& text, const std::string& script,
                              size_t word) {
  history_.Add(speaker, text);
  if (!view_) view_ = std::make_unique<HistoryView>();
  view_->Prepare(history_.Entries().back());
  currentSeen_ = settings_.skipUnseen || seen_.Seen(script, word);
  seen_.Mark(script, word);
  currentChars_ = Characters(speaker) + Characters(text);
  typedOutAt_ = -1.0;
  if (settings_.copyToClipboard) platform::SetClipboardText(platform::Cp932ToUtf8(speaker + text));
  // Skip mode stops at the first message not seen before.
  if (skipSeen_ && !currentSeen_) skipSeen_ = false;
}

void Controller::Trace(std::string& members) const {
  const SkipState skip = Skip();
  // Only once anything of it left its default: a run without comforts
  // traces as before.
  if (!usedOnce_) return;
  if (!members.empty()) members += ',';
  members += "\"comfort\":{\"historyOpen\":";
  members += history_.IsOpen() ? "true" : "false";
  members += ",\"historyFirst\":" + std::to_string(history_.First());
  members += ",\"history\":[";
  for (size_t i = 0; i < history_.Entries().size(); ++i) {
    const HistoryEntry& e = history_.Entries()[i];
    if (i) members += ',';
    members += "{\"speaker\":" + platform::JsonCp932(e.speaker) + ",\"text\":" + platform::JsonCp932(e.text) + "}";
  }
  members += "],\"skip\":\"";
  members += skip == SkipState::Held ? "held" : skip == SkipState::Seen ? "seen" : "off";
  members += "\",\"auto\":";
  members += auto_ ? "true" : "false";
  members += ",\"windowHidden\":";
  members += hidden_ ? "true" : "false";
  members += ",\"settingsOpen\":";
  members += settingsOpen_ ? "true" : "false";
  // The settings in force, as their file writes them.
  members += ",\"settings\":{";
  const std::string file = SerializeSettings(settings_);
  bool firstMember = true;
  for (size_t at = file.find('\n') + 1; at < file.size();) {
    const size_t end = file.find('\n', at), eq = file.find(" = ", at);
    if (!firstMember) members += ',';
    firstMember = false;
    const std::string value = file.substr(eq + 3, end - eq - 3);
    const bool word = value == "on" || value == "off" || value == "sharp" || value == "smooth";
    members += platform::JsonString(file.substr(at, eq - at)) + ":" +
               (value == "on" ? "true" : value == "off" ? "false" : word ? platform::JsonString(value) : value);
    at = end + 1;
  }
  members += "}}";
}

}  // namespace comfort
