#include "Explorer.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <thread>
#include <unordered_set>
#include <vector>

#include "BranchProcesses.h"
#include "ExploreEvents.h"
#include "ExploreRecords.h"
#include "ExploreReport.h"
#include "ExploreShared.h"
#include "WayGraph.h"
#include "app/GameApp.h"
#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Debug.h"
#include "platform/diagnostics/Trace.h"
#include "platform/files/Files.h"
#include "platform/headless/Clock.h"
#include "platform/input/ScriptedInput.h"
#include "platform/text/TextCodec.h"
#include "platform/window/HeadlessWindow.h"

namespace scripttool {
namespace fs = std::filesystem;
using platform::ScriptedEvent;

std::string BranchRecordPath(const std::string& workDir, int branch) {
  return workDir + "/b" + std::to_string(branch) + ".rec";
}
std::string BranchSaveRoot(const std::string& workDir, int branch) {
  return workDir + "/saves/" + std::to_string(branch);
}

namespace {
// Passes a press is held: the decide grid (0.06 s) and the direction grid
// (0.1 s) each fire exactly once within them on the 16 ms pass.
constexpr int kDecideHold = 4;
constexpr int kDirectionHold = 7;
constexpr int kSettle = 2;  // passes after a release before the state is read again
// A wait point whose state a decide did not change is tried this often
// before the branch counts as stuck.
constexpr int kStuckTries = 3;
// A branch whose engine hangs inside one step is ended by the clock and
// reported as a failure; no branch of a game takes minutes to play.
constexpr unsigned kBranchSeconds = 600;

std::string Utf8(const std::string& cp932) { return platform::Cp932ToUtf8(cp932); }

// The original's message as the window shows it: rows of 52 bytes (26
// full-width characters), the first two broken there, the third running on
// past the window's edge. The measure's fields as kTooLong records them.
std::vector<std::string> TooLongOriginal(const std::string& cp932) {
  constexpr size_t kRowBytes = 52, kWindowRows = msgbox::MessageWindow::kWindowBytes / kRowBytes;
  size_t characters = 0;
  for (size_t i = 0; i < cp932.size(); ++i, ++characters)
    if (platform::IsLeadByte(static_cast<unsigned char>(cp932[i])) && i + 1 < cp932.size()) ++i;
  const size_t rows = (cp932.size() + kRowBytes - 1) / kRowBytes;
  const std::string why = std::to_string(characters) + " characters: " + std::to_string(rows) +
                          " rows where the window holds " + std::to_string(kWindowRows) +
                          " (rows of 26 full-width or 52 half-width characters)";
  return {std::to_string(characters), std::to_string(rows), std::to_string(kWindowRows), std::to_string(cp932.size()),
          why, Utf8(cp932)};
}

// Saves made on the way are part of a state: the load screen offers them.
void HashSaves(const std::string& root, KeyHash& hash) {
  std::error_code ec;
  std::vector<fs::path> files;
  for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file(ec)) files.push_back(it->path());
  std::sort(files.begin(), files.end());
  for (const fs::path& f : files) {
    std::ifstream in(f, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    hash.Add(f.lexically_relative(root).string());
    hash.Add(bytes.str());
  }
}

// False (errno set) when the copy could not be made whole.
bool CopyTree(const std::string& from, const std::string& to) {
  std::error_code ec;
  fs::create_directories(to, ec);
  if (!ec) fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
  if (!ec) return true;
  fs::remove_all(to, ec);
  errno = ec.value() ? ec.value() : EIO;
  return false;
}

// The fork is only sound with no other thread running: the music's loader
// thread ends once the soundfont is read (there is none to read). A thread
// that stays (a sanitizer's own) is waited for once, and not again in this
// process or the branches it forks.
void AwaitSingleThread() {
  static bool stays = false;
  if (stays) return;
  for (int i = 0; i < 2000; ++i) {
    std::error_code ec;
    int threads = 0;
    for (fs::directory_iterator it("/proc/self/task", ec), end; !ec && it != end; it.increment(ec)) ++threads;
    if (threads <= 1) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  stays = true;
}

void FixedSaveClock(std::tm& now) {
  now = std::tm{};
  now.tm_year = 100;  // 2000-01-01 12:00:00, a Saturday: saves read alike on every branch and run
  now.tm_mday = 1;
  now.tm_hour = 12;
  now.tm_wday = 6;
}

using Plan = std::vector<std::vector<ScriptedEvent>>;  // events per pass

// The open menu's selectable items in the cursor's order from where it
// stands, and the input that decides each once the walk stands on it: one
// plan for all (decide) or one each. Kept small: a child forked on the walk
// writes to as little of its parent's memory as it can.
struct Items {
  std::vector<std::string> labels;  // UTF-8
  std::vector<Plan> plans;
  const Plan& PlanOf(size_t at) const { return plans.size() == 1 ? plans[0] : plans[at]; }
};

class Branch {
 public:
  Branch(const ExploreSettings& settings, ExploreShared& shared, const QueuedItems* replay)
      : settings_(settings), shared_(shared), procs_(shared, settings.link) {
    if (replay) replay_ = *replay;
  }

  [[noreturn]] void Run(int id);

 private:
  void OnEvent(const std::string& json);
  void OnPass(uint64_t pass, std::vector<ScriptedEvent>& due);
  void Decide();
  // A menu is open: its items, and the input that moves the cursor from one
  // to the next (none where each item's plan starts from the menu as it opened).
  void Take(const std::string& menu, Items items, Plan step);
  // Goes on over the open menu from the item the cursor is on.
  void WalkOn();
  void TakeItem(size_t at, int newBranch);
  void Queue(size_t from);
  Plan Tap(const char* target, int hold) const;
  // Ends the branch at a state seen before.
  void Visit(uint64_t key);
  uint64_t StateKey(const std::string& menu) const;
  // The open script; none before the game is set up or after it closed.
  std::string Script() const { return HasBox() ? Utf8(box().OpenScriptName()) : std::string(); }
  bool HasBox() const { return app_ && app_->MessageWindow(); }
  CMsgBox& box() const { return *app_->MessageWindow(); }
  void Record(char kind, const std::vector<std::string>& fields);
  // A message that does not fit, once per place and language.
  void NoteTooLong(const std::string& language, const std::vector<std::string>& measure);
  // The variables as "name=value", for an ending.
  std::vector<std::string> VariablesNow() const;
  // The work directory ran out of room: the coordinator is told, and the
  // branch ends without blaming the game.
  [[noreturn]] void WorkFull(int error);
  [[noreturn]] void Finish(const std::string& reason);
  void Start(int id);

  const ExploreSettings& settings_;
  ExploreShared& shared_;
  BranchProcesses procs_;
  GameApp* app_ = nullptr;
  int id_ = 0;
  std::vector<std::string> choices_;
  std::vector<uint32_t> taken_;  // the walk position taken at each menu from the opening on
  std::optional<QueuedItems> replay_;  // until the branch stands at the queued menu
  RecordWriter records_;
  std::deque<std::vector<ScriptedEvent>> plan_;
  std::set<std::string> opened_, tooLong_;
  bool keyConfigOpen_ = false;
  bool failed_ = false;
  bool workFull_ = false;
  std::string ending_;  // GameEnd, Battle or Map once a step returned it
  // The states this branch and the branches it came from went through: one
  // met again is a loop of the game; one only another branch saw is where
  // two ways meet.
  std::unordered_set<uint64_t> path_;
  uint64_t lastKey_ = 0;
  int sameKeyTries_ = 0;
  struct Walk {
    bool active = false;
    std::string script, menu;
    Items items;
    Plan step;
    size_t at = 0;
    uint64_t key = 0;
  } walk_;
};

void Branch::Start(int id) {
  id_ = id;
  const std::string root = BranchSaveRoot(settings_.workDir, id);
  std::error_code ec;
  fs::create_directories(root, ec);
  if (ec && IsFullError(ec.value())) WorkFull(ec.value());
  // Saves go to the branch's own directory, and a load screen sees only those.
  platform::SetWriteRoot(root, platform::WriteRootReads::kRootOnly);
  if (!records_.Open(BranchRecordPath(settings_.workDir, id)) && IsFullError(errno)) WorkFull(errno);
  std::vector<std::string> choices = choices_;
  if (replay_) {
    choices = replay_->choices;
    if (!replay_->labels.empty()) choices.push_back(replay_->labels.front());
  }
  Record(record::kBranch, {std::to_string(id), JoinChoices(choices), std::to_string(::getpid())});
}

void Branch::Record(char kind, const std::vector<std::string>& fields) {
  if (!records_.Write(kind, fields) && IsFullError(errno)) WorkFull(errno);
}

void Branch::Run(int id) {
  Start(id);
  // The opening is where every way starts; a replay starts at its queued menu.
  if (!replay_) Record(record::kState, {std::to_string(WayGraph::kOpening)});
  ::alarm(kBranchSeconds);
  platform::trace::SetEventListener([this](const std::string& json) { OnEvent(json); });
  platform::UseVirtualClock(0);
  platform::SetHeadlessAnswer(true);
  CMsgBox::saveClock = FixedSaveClock;
  GameApp app;
  app_ = &app;
  RunOptions options;
  options.headless = true;
  app.SetRunOptions(options);
  app.SetPassInput([this](uint64_t pass, std::vector<ScriptedEvent>& due) { OnPass(pass, due); });
  // A replay's way back was drawn by the branch that queued it, failure
  // reports of drawing included: only its logic is needed again. Drawing
  // typed text is most of a pass's time.
  app.SetDrawing(!replay_);
  if (FAILED(app.Create(nullptr, 1))) Finish("start");
  app.Run();
  Finish("quit");
}

void Branch::OnEvent(const std::string& json) {
  const std::string type = JsonField(json, "type");
  if (type == "report") {
    // A save or a record that found no room is the work directory's fault.
    if (WorkDirFull(settings_.workDir)) {
      workFull_ = true;
      return;
    }
    failed_ = true;
    Record(record::kFailure, {Script(), HasBox() ? std::to_string(box().Script().Position()) : "0",
                              JsonField(json, "message"), JoinChoices(choices_)});
  } else if (type == "open") {
    if (JsonField(json, "result") != "0") return;
    std::string name = JsonField(json, "name");
    if (opened_.insert(name).second) Record(record::kOpened, {name});
  } else if (type == "step") {
    const std::string result = JsonField(json, "result");
    if (result == std::to_string(GameEndResult)) ending_ = "GameEnd";
    else if (result == std::to_string(BattleResult)) ending_ = "Battle";
    else if (result == std::to_string(MapResult)) ending_ = "Map";
  } else if (type == "keyconfig") {
    const std::string what = JsonField(json, "event");
    if (what == "open") keyConfigOpen_ = true;
    if (what == "close") keyConfigOpen_ = false;
  }
}

void Branch::WorkFull(int error) {
  procs_.Send(LinkMessage::kWorkFull, id_, error);
  procs_.LeaveChildren();
  records_.Close();
  std::fflush(nullptr);
  ::_exit(0);
}

[[noreturn]] void Branch::Finish(const std::string& reason) {
  if (workFull_) WorkFull(ENOSPC);
  if (!ending_.empty()) {
    Record(record::kEnding, {ending_, Script(), JoinChoices(choices_), JoinChoices(VariablesNow())});
  } else if (!failed_ && reason != "seen") {
    Record(record::kStopped, {reason, Script(), JoinChoices(choices_)});
  }
  Record(record::kDone, {});
  records_.Close();
  // This process's permit goes back when it is reaped; its children's when
  // they are.
  procs_.LeaveChildren();
  // Nothing of the engine needs to be taken down in order: the process ends.
  std::fflush(nullptr);
  ::_exit(0);
}

void Branch::OnPass(uint64_t pass, std::vector<ScriptedEvent>& due) {
  if (workFull_) WorkFull(ENOSPC);
  if (failed_) Finish("failure");
  if (!ending_.empty()) Finish("ending");
  if (pass >= settings_.budget) Finish("budget");
  // Children that ended give their permits back soon, and a branch whose
  // coordinator is gone stops.
  if (pass % 16 == 0) {
    procs_.Reap();
    procs_.ExitIfOrphaned();
  }
  if (!plan_.empty()) {
    for (ScriptedEvent& e : plan_.front()) {
      e.frame = pass;
      due.push_back(e);
    }
    plan_.pop_front();
    return;
  }
  Decide();
  if (!plan_.empty()) OnPass(pass, due);
}

Plan Branch::Tap(const char* target, int hold) const {
  ScriptedEvent press;
  press.kind = ScriptedEvent::Press;
  press.target = target;
  ScriptedEvent release = press;
  release.kind = ScriptedEvent::Release;
  Plan plan;
  plan.push_back({press});
  for (int i = 1; i < hold; ++i) plan.emplace_back();
  plan.push_back({release});
  for (int i = 0; i < kSettle; ++i) plan.emplace_back();
  return plan;
}

uint64_t Branch::StateKey(const std::string& menu) const {
  KeyHash hash;
  const CMsgBox& b = box();
  hash.Add(CMsgBox::currentScriptName);
  hash.Add(b.OpenScriptName());
  hash.Add(static_cast<uint64_t>(b.Script().Position()));
  for (const auto& [name, value] : b.Script().Variables()) {
    hash.Add(name);
    hash.Add(value);
  }
  hash.Add("|");
  for (const auto& [name, value] : b.Script().IntVars()) {
    hash.Add(name);
    hash.Add(static_cast<uint64_t>(static_cast<uint32_t>(value)));
  }
  hash.Add(menu);
  HashSaves(BranchSaveRoot(settings_.workDir, id_), hash);
  return hash.Value();
}

void Branch::Visit(uint64_t key) {
  if (path_.count(key)) Finish("loop");
  path_.insert(key);
  // On the way back to a queued menu every state was seen by the branch that queued it.
  if (replay_) return;
  switch (shared_.Insert(key)) {
    case ExploreShared::Visit::kNew:
      Record(record::kState, {std::to_string(key)});
      return;
    case ExploreShared::Visit::kSeen:
      // Where this way meets one played before: the ways on from here are counted there.
      Record(record::kState, {std::to_string(key)});
      Finish("seen");
    case ExploreShared::Visit::kLimit:
      Finish(kStoppedAtLimit);
  }
}

void Branch::Decide() {
  if (walk_.active) return WalkOn();
  const CMsgBox& b = box();
  auto append = [](Plan& to, const Plan& more) { to.insert(to.end(), more.begin(), more.end()); };
  if (keyConfigOpen_) {
    // Its two ways out, each from the screen as it opened; a binding
    // changed on the screen is not explored.
    Plan ok;
    append(ok, Tap("up", 1));  // from the first action row round to the buttons, on the first
    append(ok, Tap("right", 1));
    append(ok, Tap("decide", 1));
    return Take("KeyConfig", {{"OK", "キャンセル"}, {ok, Tap("cancel", 1)}}, {});
  }
  if (b.Buttons().ButtonMenuActive()) {
    const auto& items = b.Buttons().ButtonMenuItems();
    std::vector<const ButtonMenuItem*> list;
    size_t cursor = 0;
    for (auto it = items.begin(); it != items.end(); ++it) {
      if (it == b.Buttons().ButtonMenuCursor()) cursor = list.size();
      list.push_back(it->second.get());
    }
    Items menu{{}, {Tap("decide", kDecideHold)}};
    for (size_t k = 0; k < list.size(); ++k) menu.labels.push_back(Utf8(list[(cursor + k) % list.size()]->label));
    if (!list.empty()) return Take("ButtonMenu", std::move(menu), Tap("right", kDirectionHold));
  } else if (b.TextMenu().MenuActive()) {
    const auto& items = b.TextMenu().FontMenuItems();
    std::vector<const FontMenuItem*> list;
    size_t cursor = 0;
    for (auto it = items.begin(); it != items.end(); ++it) {
      if (!it->second->selectable) continue;
      if (it == b.TextMenu().FontMenuCursor()) cursor = list.size();
      list.push_back(it->second.get());
    }
    Items menu{{}, {Tap("decide", kDecideHold)}};
    for (size_t k = 0; k < list.size(); ++k) menu.labels.push_back(Utf8(list[(cursor + k) % list.size()]->label));
    const char* kind = b.Saves().SaveMode() ? "SaveMenu" : b.Saves().LoadMode() ? "LoadMenu" : "FontMenu";
    if (!list.empty()) return Take(kind, std::move(menu), Tap("right", kDirectionHold));
  }
  if (b.Buttons().ButtonMenuActive() || b.TextMenu().MenuActive()) Finish("stuck");  // nothing to choose
  const msgbox::MessageWindow& w = b.Window();
  if (w.Typing() || w.TypedLength() < w.MessageText().size() || b.Fading().Active()) return;  // not waiting yet
  // A wait point: the message stands in full.
  const uint64_t key = StateKey(std::string());
  if (key == lastKey_) {
    if (++sameKeyTries_ >= kStuckTries) Finish("stuck");
  } else {
    sameKeyTries_ = 0;
    lastKey_ = key;
    Visit(key);
    if (!w.MessageFits()) NoteTooLong(std::string(), TooLongOriginal(w.GivenText()));
    if (settings_.overflows) {
      auto it = settings_.overflows->find({b.OpenScriptName(), b.MessageTextWord()});
      if (it != settings_.overflows->end()) {
        const Overflow& o = it->second;
        NoteTooLong(settings_.language, {std::to_string(o.characters), std::to_string(o.rows),
                                         std::to_string(o.windowRows), std::to_string(o.shown.size()),
                                         std::to_string(o.characters) + " characters: " + o.why, o.shown});
      }
    }
  }
  const Plan decide = Tap("decide", kDecideHold);
  plan_.assign(decide.begin(), decide.end());
}

void Branch::NoteTooLong(const std::string& language, const std::vector<std::string>& measure) {
  const std::string word = std::to_string(box().Script().MessageWord());
  if (!tooLong_.insert(Script() + "\t" + word + "\t" + language).second) return;
  std::vector<std::string> fields{Script(), word, language};
  fields.insert(fields.end(), measure.begin(), measure.end());
  Record(record::kTooLong, fields);
}

std::vector<std::string> Branch::VariablesNow() const {
  std::vector<std::string> out;
  if (!HasBox()) return out;
  for (const auto& [name, value] : box().Script().Variables()) out.push_back(Utf8(name) + "=" + Utf8(value));
  for (const auto& [name, value] : box().Script().IntVars()) out.push_back(Utf8(name) + "=" + std::to_string(value));
  return out;
}

void Branch::Take(const std::string& menu, Items items, Plan step) {
  KeyHash labels;
  labels.Add(menu);
  for (const std::string& label : items.labels) labels.Add(label);
  const uint64_t key = StateKey(std::to_string(labels.Value()));
  lastKey_ = 0;
  sameKeyTries_ = 0;
  walk_ = Walk{true, Script(), menu, std::move(items), std::move(step), 0, key};
  if (replay_ && taken_.size() < replay_->path.size()) {
    // On the way back: the item the queued branch's line took here.
    path_.insert(key);
    const size_t at = replay_->path[taken_.size()];
    if (at >= walk_.items.labels.size()) Finish(kStoppedReplay);
    for (size_t k = 0; k < at; ++k) plan_.insert(plan_.end(), walk_.step.begin(), walk_.step.end());
    walk_.active = false;
    choices_.push_back(walk_.items.labels[at]);
    taken_.push_back(static_cast<uint32_t>(at));
    const Plan& decide = walk_.items.PlanOf(at);
    plan_.insert(plan_.end(), decide.begin(), decide.end());
    return;
  }
  if (replay_) {
    // The queued menu: the same state, or the engine did not play alike.
    if (key != replay_->key || replay_->start >= walk_.items.labels.size()) Finish(kStoppedReplay);
    path_.insert(key);
    Record(record::kState, {std::to_string(key)});
    walk_.at = replay_->start;
    replay_.reset();
    app_->SetDrawing(true);
    for (size_t k = 0; k < walk_.at; ++k) plan_.insert(plan_.end(), walk_.step.begin(), walk_.step.end());
    if (plan_.empty()) WalkOn();
    return;
  }
  Visit(key);
  WalkOn();
}

void Branch::WalkOn() {
  for (;;) {
    const size_t at = walk_.at;
    if (at + 1 >= walk_.items.labels.size()) return TakeItem(at, -1);
    AwaitSingleThread();
    const int child = shared_.NewBranch();
    const std::string from = BranchSaveRoot(settings_.workDir, id_), to = BranchSaveRoot(settings_.workDir, child);
    int copyError = 0;
    // The child starts with the saves made so far.
    const auto fork = procs_.Start(child, [&] {
      std::fflush(nullptr);
      if (CopyTree(from, to)) return true;
      copyError = errno;
      return false;
    });
    if (fork == BranchProcesses::Fork::kChild) return TakeItem(at, child);
    if (fork == BranchProcesses::Fork::kNone) {
      std::error_code ec;
      fs::remove_all(to, ec);
      Queue(at + 1);
      if (IsFullError(copyError)) WorkFull(copyError);
      return TakeItem(at, -1);
    }
    ++walk_.at;
    plan_.assign(walk_.step.begin(), walk_.step.end());
    if (!plan_.empty()) return;  // the next Decide goes on from the next item
  }
}

void Branch::TakeItem(size_t at, int newBranch) {
  walk_.active = false;
  const std::string& label = walk_.items.labels[at];
  choices_.push_back(label);
  taken_.push_back(static_cast<uint32_t>(at));
  if (newBranch >= 0) {
    Start(newBranch);
    Record(record::kState, {std::to_string(walk_.key)});  // the menu it starts from
    ::alarm(kBranchSeconds);  // a child's clock starts when it runs
  }
  Record(record::kTaken, {walk_.script, walk_.menu, label});
  const Plan& decide = walk_.items.PlanOf(at);
  plan_.assign(decide.begin(), decide.end());
}

void Branch::Queue(size_t from) {
  QueuedItems q;
  q.key = walk_.key;
  q.start = static_cast<uint32_t>(from);
  q.path = taken_;
  q.script = walk_.script;
  q.menu = walk_.menu;
  q.choices = choices_;
  q.labels.assign(walk_.items.labels.begin() + static_cast<std::ptrdiff_t>(from), walk_.items.labels.end());
  const uint64_t offset = records_.Size();
  Record(record::kQueued, QueuedFields(q));
  procs_.Send(LinkMessage::kQueued, id_, static_cast<int64_t>(offset));
}

}  // namespace

void RunBranch(const ExploreSettings& settings, ExploreShared& shared, int id, const QueuedItems* replay) {
  ::setpgid(0, settings.group);
  // The engine's own notes and dialog lines: kept only when the work
  // directory is, else they would grow it without bound.
  const bool keep = std::getenv("VANTOREL_EXPLORE_KEEP") != nullptr;
  const int log = keep ? ::open((settings.workDir + "/engine.log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644)
                       : ::open("/dev/null", O_WRONLY);
  if (log >= 0) {
    ::dup2(log, 2);
    ::close(log);
  }
  static Branch branch(settings, shared, replay);
  branch.Run(id);
}

}  // namespace scripttool
