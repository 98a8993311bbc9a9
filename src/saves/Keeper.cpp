#include "saves/Keeper.h"

#include "comfort/Controller.h"
#include "framework/GameDataPaths.h"
#include "framework/GameFaces.h"
#include "framework/TextFont.h"
#include "input/GameActions.h"
#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Trace.h"
#include "platform/text/TextCodec.h"

namespace saves {
using platform::Event;
using platform::Key;
using Type = platform::Event::Type;

Keeper::Keeper(CMsgBox& box, comfort::Controller& comforts, Config config)
    : box_(box), comforts_(comforts), config_(std::move(config)), place_(config_.savesDir) {
  menu_.actions[GameMenuRoom::kSave] = [this] { OpenSlots(true); };
  menu_.actions[GameMenuRoom::kLoad] = [this] { OpenSlots(false); };
  slots_.save = [this](const std::string& name) { SaveAs(name, "slot"); };
  slots_.load = [this](const std::string& name) { LoadFrom(name); };
  menu_.actions[GameMenuRoom::kQuickSave] = [this] { QuickSave(); };
  menu_.actions[GameMenuRoom::kQuickLoad] = [this] { QuickLoad(); };
  menu_.actions[GameMenuRoom::kHistory] = [this] { comforts_.OpenHistoryScreen(); };
  menu_.actions[GameMenuRoom::kSettings] = [this] { comforts_.OpenSettings(); };
  menu_.actions[GameMenuRoom::kTitle] = [this] { ReturnToTitle(); };
  menu_.actions[GameMenuRoom::kQuit] = [this] {
    if (config_.quit) config_.quit();
  };
  comforts_.SetExtension(this);
  // Deciding an entry of the history rolls the game to it.
  historyRolls_ = RollbackOn();
  if (historyRolls_) comforts_.HistoryScreen().SetRoll([this](uint64_t n) { return RollToMessage(n); });
}

Keeper::~Keeper() {
  comforts_.HistoryScreen().SetRoll(nullptr);
  comforts_.SetExtension(nullptr);
}

bool Keeper::TakeEvent(const Event& e) {
  switch (e.type) {
    case Type::KeyDown:
      if (e.key == Key::Backspace && !Bound("key:Backspace") && RollbackOn()) {
        RollBack();
        return true;
      }
      if (e.key == Key::F5 && !e.repeat && !Bound("key:F5")) {
        QuickSave();
        return true;
      }
      if (e.key == Key::F9 && !e.repeat && !Bound("key:F9")) {
        QuickLoad();
        return true;
      }
      return false;
    case Type::PadAxisMotion:
      if (e.axis != platform::PadAxis::TriggerLeft || Bound("pad:lefttrigger") || !RollbackOn()) return false;
      if (!triggerHeld_ && e.value >= kTriggerPress) RollBack();
      triggerHeld_ = e.value >= kTriggerPress / 2 && (triggerHeld_ || e.value >= kTriggerPress);
      return true;
    case Type::MouseDown:
      // The right button, or the middle one where the player has the right one hide the window.
      if (e.mouse != (comforts_.Current().rightClickHides ? platform::MouseButton::Middle : platform::MouseButton::Right))
        return false;
      OpenGameMenu();
      return true;
    case Type::PadButtonDown:
      if (e.button != platform::PadButton::Start || Bound("pad:start")) return false;
      OpenGameMenu();
      return true;
    case Type::MouseWheel:
      // Down while rolled back goes forward; otherwise the pointer's (a decide).
      if (e.wheel < 0 && record_.BackCount() > 0 && !box_.MenuOpen()) return RollForward(), true;
      return false;
    default:
      return false;
  }
}

bool Keeper::TakeControls(const int32_t* actions, double) {
  if (RollbackOn() != historyRolls_) {
    historyRolls_ = RollbackOn();
    comforts_.HistoryScreen().SetRoll(historyRolls_ ? [this](uint64_t n) { return RollToMessage(n); }
                                                    : std::function<bool(uint64_t)>());
  }
  record_.Observe(box_, comforts_.Messages());
  // An autosave at every menu the scripts open (not at one rolled back to).
  if (const RecordEntry* at = record_.Current();
      at && at->menu && record_.BackCount() == 0 && record_.Recorded() != autoSeen_ && box_.MenuOpen()) {
    autoSeen_ = record_.Recorded();
    AutoSave();
  }
  const bool decide = actions[ACT_DECIDE] != 0;
  const bool pressed = decide && !decideBefore_;
  decideBefore_ = decide;
  if (!pressed || record_.BackCount() == 0) return false;
  const RecordEntry* at = record_.Current();
  // Standing rolled back at a message, decide replays the recorded future;
  // at a menu only when the player decides what was chosen before there.
  if (at->menu && !box_.MenuOpen()) return false;
  if (at->menu) {
    const auto& buttons = box_.Buttons();
    const auto& text = box_.TextMenu();
    int32_t cursor = -1;
    if (buttons.ButtonMenuActive() && buttons.ButtonMenuCursor() != buttons.ButtonMenuItems().end())
      cursor = buttons.ButtonMenuCursor()->first;
    else if (text.MenuActive() && text.FontMenuCursor() != text.FontMenuItems().end())
      cursor = text.FontMenuCursor()->first;
    if (cursor != at->chosen) return false;  // a new choice: the game takes it and the old future goes
  }
  RollForward();
  return true;
}

void Keeper::Loaded() { record_.Clear(); }

bool Keeper::RollbackOn() const { return comforts_.Current().rollback; }

void Keeper::OpenGameMenu() {
  menu_.Open();
  menuUsed_ = true;
}

void Keeper::AskReturnToTitle() {
  OpenGameMenu();
  menu_.AskTitle();
}

void Keeper::OpenSlots(bool saving) {
  menu_.Close();
  slots_.Open(saving);
  menuUsed_ = true;
}

void Keeper::KeepStartUp() {
  box_.TakeSnapshot(startUp_);
  haveStartUp_ = true;
}

void Keeper::ReturnToTitle() {
  if (!haveStartUp_) return;
  AtQuit();  // where the game stood stays in the autosaves
  box_.RestoreSnapshot(startUp_);
  comforts_.HistoryScreen().Clear();
  record_.Clear();
  if (platform::trace::Enabled()) platform::trace::Event("{\"type\":\"title\"}");
  // As start-up: an opening that starts with LoadMenu fails its first step on
  // purpose and waits at its load screen.
  box_.StartScript(SJ(gamedata::kOpeningScript));
}

bool Keeper::RollBack() {
  if (!record_.Back(box_, comforts_.HistoryScreen())) return false;
  rolled_ = true;
  TraceRoll("rollback");
  return true;
}

bool Keeper::RollForward() {
  if (!record_.Forward(box_, comforts_.HistoryScreen())) return false;
  TraceRoll("rollforward");
  return true;
}

bool Keeper::RollToMessage(uint64_t n) {
  size_t index = 0;
  if (!record_.EntryOfMessage(n, index)) return false;
  const size_t before = record_.At();
  if (!record_.To(index, box_, comforts_.HistoryScreen())) return false;
  rolled_ = true;
  TraceRoll(record_.At() < before || record_.BackCount() > 0 ? "rollback" : "rollforward");
  return true;
}

void Keeper::TraceRoll(const char* type) const {
  if (!platform::trace::Enabled()) return;
  platform::trace::Event(std::string("{\"type\":\"") + type + "\",\"script\":" +
                         platform::JsonCp932(CMsgBox::currentScriptName) +
                         ",\"position\":" + std::to_string(box_.Script().Position()) + "}");
}

void Keeper::Trace(std::string& members) const {
  if (menuUsed_) {
    members += std::string(",\"gameMenuOpen\":") + (menu_.IsOpen() ? "true" : "false");
    slots_.Trace(members);
  }
  if (rolled_)
    members += ",\"rollback\":{\"depth\":" + std::to_string(record_.Depth()) +
               ",\"back\":" + std::to_string(record_.BackCount()) + "}";
}

void Keeper::Render() {
  // The choice made before, marked beside its item on a menu rolled back to.
  const RecordEntry* at = record_.Current();
  if (!at || !at->menu || at->chosen < 0 || record_.BackCount() == 0 || !box_.MenuOpen()) return;
  platform::Device* device = TextFont::GetDevice();
  if (!device) return;
  if (!marker_) marker_ = std::make_unique<comfort::TextPainter>(SJ(gamefaces::kMenuFace), 14);
  const std::string mark = SJ("◆");
  if (box_.Buttons().ButtonMenuActive()) {
    auto it = box_.Buttons().ButtonMenuItems().find(at->chosen);
    if (it != box_.Buttons().ButtonMenuItems().end())
      marker_->Draw(*device, mark, it->second->position.x + 4, it->second->position.y + 4, 0xFFFFD040);
  } else if (box_.TextMenu().MenuActive()) {
    auto it = box_.TextMenu().FontMenuItems().find(at->chosen);
    if (it != box_.TextMenu().FontMenuItems().end())
      marker_->Draw(*device, mark, it->second->position.x - 16, it->second->position.y, 0xFFFFD040);
  }
}

}  // namespace saves
