#include "comfort/Controller.h"

#include <algorithm>
#include <filesystem>

#include "framework/GameDataPaths.h"
#include "input/GameActions.h"
#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Trace.h"
#include "platform/text/Languages.h"
#include "platform/text/TextBreaks.h"
#include "platform/text/TextCodec.h"
#include "platform/window/Clipboard.h"
#include "platform/window/Window.h"

namespace comfort {
using platform::Event;
using platform::MouseButton;
using Type = platform::Event::Type;

namespace {
size_t Characters(const std::string& cp932) {
  size_t n = 0;
  for (size_t i = 0; i < cp932.size(); ++i) {
    if (cp932[i] == '\n') continue;
    if (platform::IsLeadByte(static_cast<unsigned char>(cp932[i]))) ++i;
    ++n;
  }
  return n;
}

// A translation's text (UTF-8) counted as it is typed: by grapheme.
size_t Graphemes(const std::string& utf8) {
  std::string text = utf8;
  text.erase(std::remove(text.begin(), text.end(), '\n'), text.end());
  return platform::GraphemeEnds(text).size();
}
}  // namespace

Controller::Controller(CMsgBox& box, int32_t* actionStates, Config config)
    : box_(box),
      actions_(actionStates),
      config_(std::move(config)),
      seen_(config_.seenPath,
            [this](const std::string& script) {
              if (!scripts_) scripts_ = std::make_unique<ScriptMessages>(box_.Script().TextFile(), gamedata::kTextDir);
              return scripts_->Messages(script);
            }),
      routes_(config_.bound),
      pointer_(box, actionStates, config_.latch),
      skipping_(box),
      hiding_(box),
      firstStart_([&] {
        std::error_code ec;
        return config_.settingsPath.empty() || !std::filesystem::exists(config_.settingsPath, ec);
      }()),
      settings_(box, config_.settingsPath),
      language_(box, config_.translationCache),
      screens_{&settings_, &history_} {
  std::string language = settings_.Current().language;
  if (!config_.language.empty()) language = config_.language == kOriginalLanguage ? std::string() : config_.language;
  else if (firstStart_ && config_.followLocale) language = language_.Match(platform::PlayerLanguages());
  language_.Follow(language);
  history_.Translate(language_.InForce());
  // A language that could not be read stays on the row, saying so.
  settings_.OfferLanguages(
      language_.Choices(), language_.Failed(language_.Wanted()) ? language_.Wanted() : language_.Current(),
      [this](const std::string& code) {
        language_.Follow(code);
        history_.Translate(language_.InForce());
        return language_.Current();
      },
      [this](const std::string& code) { return language_.Failed(code); });
  seen_.Load();
  if (config_.modalScreens) modalSeen_ = config_.modalScreens();
  if (config_.listen) hook_ = platform::Window::AddEventHook([this](const Event& e) { OnEvent(e); });
  box_.SetMessageObserver([this](const CMsgBox::ShownMessage& m) {
    HistoryEntry entry;
    entry.speaker = m.speaker;
    entry.text = m.text;
    entry.script = m.script;
    entry.word = m.word;
    entry.original = m.original;
    entry.labelScript = m.labelScript;
    entry.labelWord = m.labelWord;
    MessageShown(std::move(entry));
  });
  box_.SetLoadObserver([this] {
    history_.Clear();
    if (extension_) extension_->Loaded();
  });
  traceId_ = platform::trace::AddStateProvider([this](std::string& members) { Trace(members); });
}

Controller::~Controller() {
  platform::trace::RemoveStateProvider(traceId_);
  if (hook_ >= 0) platform::Window::RemoveEventHook(hook_);
  box_.SetMessageObserver(nullptr);
  box_.SetLoadObserver(nullptr);
  seen_.Save();
}

void Controller::OnEvent(const Event& event) {
  switch (event.type) {
    case Type::KeyDown:
    case Type::KeyUp:
    case Type::PadButtonDown:
    case Type::PadButtonUp:
    case Type::PadAxisMotion:
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

Room* Controller::OpenScreen() const {
  for (Room* r : screens_)
    if (r->IsOpen()) return r;
  return nullptr;
}

void Controller::SetExtension(Extension* extension) {
  extension_ = extension;
  screens_ = {&settings_, &history_};
  if (extension_)
    for (Room* r : extension_->Screens()) screens_.push_back(r);
}

void Controller::OpenHistory() { history_.Open(); }

void Controller::OpenSettings() {
  history_.Close();
  settings_.Open();
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
    if (Room* screen = OpenScreen()) {
      skipping_.TakeRelease(e);
      if (e.type == Type::MouseUp && e.mouse == MouseButton::Left) pointer_.LetGo();
      screen->TakeEvent(e);
    } else {
      Take(e);
    }
  }

  if (extension_ && actions_ && !OpenScreen() && extension_->TakeControls(actions_, now)) swallow_ = true;
  if (Room* screen = OpenScreen(); screen && actions_) {
    // The game's own controls work the screen while it is open.
    screen->TakeControls(actions_, actions_[ACT_DECIDE] && !decideBefore_);
    swallow_ = true;
  }
  if (swallow_ && actions_) {
    for (int slot : {ACT_DECIDE, ACT_CANCEL, ACT_LEFT, ACT_RIGHT, ACT_UP, ACT_DOWN}) actions_[slot] = 0;
    pointer_.LetGo();
  }
  // Any decide the player makes ends auto mode.
  const bool decideNow = actions_ && actions_[ACT_DECIDE];
  if (decideNow && !decideBefore_) playerDecide_ = true;
  decideBefore_ = decideNow;
  if (playerDecide_ && !history_.IsOpen()) {
    skipping_.EndAuto();
    playerDecide_ = false;
  }
  skipping_.BeginStep(now);
  settings_.FollowWindow(now);
  if (OpenScreen() || Skip() != SkipState::Off || Auto() || WindowHidden() || !(Current() == Settings{}) ||
      !language_.Current().empty() || (extension_ && extension_->Used()))
    usedOnce_ = true;
  if (seen_.Size() && now - lastSave_ >= kSeenSaveInterval) {
    seen_.Save();
    lastSave_ = now;
  }
  return OpenScreen() != nullptr;
}

// An event over the running game.
void Controller::Take(const Event& e) {
  if (hiding_.TakeReturn(e)) {
    swallow_ = true;  // the press that brings the window back does nothing else
    return;
  }
  if (extension_ && extension_->TakeEvent(e)) return;
  const Route route = routes_.Of(e);
  switch (route.ask) {
    case Ask::HideWindow: hiding_.Hide(); break;
    case Ask::OpenHistory: OpenHistory(); break;
    case Ask::ToggleSkipMode: ToggleSkipMode(); break;
    case Ask::ToggleAuto: ToggleAuto(); break;
    case Ask::OpenSettings: OpenSettings(); break;
    case Ask::HoldSkip: skipping_.Hold(route.source, true); break;
    case Ask::LetGoSkip: skipping_.Hold(route.source, false); break;
    case Ask::Pointer: pointer_.Take(e); break;
    case Ask::Nothing: break;
  }
}

bool Controller::WantsStep(double now) {
  if (OpenScreen() || WindowHidden() || box_.MenuOpen() || !box_.Script().Running()) return false;
  return skipping_.WantsStep(now, Current());
}

void Controller::AfterStep() { skipping_.AfterStep(); }

void Controller::Render() {
  if (!WindowHidden()) indicator_.Render(Skip(), Auto());
  if (extension_ && !WindowHidden()) extension_->Render();
  for (Room* r : screens_) r->Render();
}

double Controller::SecondsUntilDue(double now) const {
  const double settled = settings_.SecondsUntilSettled(now);
  if (OpenScreen() || WindowHidden()) return settled;
  return std::min(skipping_.SecondsUntilDue(now, Current()), settled);
}

void Controller::MessageShown(HistoryEntry entry) {
  const bool seenBefore = Current().skipUnseen || seen_.Seen(entry.script, entry.word);
  seen_.Mark(entry.script, entry.word);
  history_.Add(std::move(entry));
  // As shown: in the translation when it is shown in one (the auto wait
  // grows with the text the player reads).
  const HistoryEntry& e = history_.Messages().Entries().back();
  skipping_.MessageShown(seenBefore, e.translated ? Graphemes(e.shownSpeaker) + Graphemes(e.shownText)
                                                  : Characters(e.speaker) + Characters(e.text));
  if (Current().copyToClipboard) {
    platform::SetClipboardText(e.translated ? e.shownSpeaker + e.shownText
                                            : platform::Cp932ToUtf8(e.speaker + e.text));
  }
}

void Controller::Trace(std::string& members) const {
  // Only once anything of it left its default: a run without comforts
  // traces as before.
  if (!usedOnce_) return;
  // Each room writes its own members, each with a comma before it.
  std::string comfort;
  history_.Trace(comfort);
  skipping_.Trace(comfort);
  hiding_.Trace(comfort);
  settings_.Trace(comfort);
  language_.Trace(comfort);
  if (extension_) extension_->Trace(comfort);
  if (!members.empty()) members += ',';
  members += "\"comfort\":{" + comfort.substr(1) + "}";
}

}  // namespace comfort
