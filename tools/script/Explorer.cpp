#include "Explorer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <deque>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>
#include <unordered_set>
#include <vector>

#include "ExploreEvents.h"
#include "ExploreRecords.h"
#include "ExploreShared.h"
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

void CopyTree(const std::string& from, const std::string& to) {
  std::error_code ec;
  fs::create_directories(to, ec);
  fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
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

// One selectable item of the open menu and the input that takes it.
struct Option {
  std::string label;  // UTF-8
  std::vector<std::vector<ScriptedEvent>> plan;  // events per pass
};

class Branch {
 public:
  Branch(const ExploreSettings& settings, ExploreShared& shared) : settings_(settings), shared_(shared) {}

  [[noreturn]] void Run();

 private:
  void OnEvent(const std::string& json);
  void OnPass(uint64_t pass, std::vector<ScriptedEvent>& due);
  void Decide();
  void Take(const std::string& menu, std::vector<Option> options);
  void Tap(const char* target, int hold);
  // Ends the branch at a state seen before.
  void Visit(uint64_t key);
  uint64_t StateKey(const std::string& menu) const;
  // The open script; none before the game is set up or after it closed.
  std::string Script() const { return HasBox() ? Utf8(box().OpenScriptName()) : std::string(); }
  bool HasBox() const { return app_ && app_->MessageWindow(); }
  CMsgBox& box() const { return *app_->MessageWindow(); }
  [[noreturn]] void Finish(const std::string& reason);
  void Start(int id);

  const ExploreSettings& settings_;
  ExploreShared& shared_;
  GameApp* app_ = nullptr;
  int id_ = 0;
  std::vector<std::string> choices_;
  RecordWriter records_;
  std::deque<std::vector<ScriptedEvent>> plan_;
  std::set<std::string> opened_, tooLong_;
  bool keyConfigOpen_ = false;
  bool failed_ = false;
  std::string ending_;  // GameEnd, Battle or Map once a step returned it
  // The states this branch and the branches it came from went through: one
  // met again is a loop of the game; one only another branch saw is where
  // two ways meet.
  std::unordered_set<uint64_t> path_;
  uint64_t lastKey_ = 0;
  int sameKeyTries_ = 0;
};

void Branch::Start(int id) {
  id_ = id;
  const std::string root = BranchSaveRoot(settings_.workDir, id);
  std::error_code ec;
  fs::create_directories(root, ec);
  // Saves go to the branch's own directory, and a load screen sees only those.
  platform::SetWriteRoot(root, platform::WriteRootReads::kRootOnly);
  records_.Open(BranchRecordPath(settings_.workDir, id));
  records_.Write(record::kBranch, {std::to_string(id), JoinChoices(choices_), std::to_string(::getpid())});
}

void Branch::Run() {
  Start(shared_.NewBranch());
  shared_.Acquire();
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
  if (FAILED(app.Create(nullptr, 1))) Finish("start");
  app.Run();
  Finish("quit");
}

void Branch::OnEvent(const std::string& json) {
  const std::string type = JsonField(json, "type");
  if (type == "report") {
    failed_ = true;
    records_.Write(record::kFailure, {Script(), HasBox() ? std::to_string(box().Script().Position()) : "0",
                                      JsonField(json, "message"), JoinChoices(choices_)});
  } else if (type == "open") {
    if (JsonField(json, "result") != "0") return;
    std::string name = JsonField(json, "name");
    if (opened_.insert(name).second) records_.Write(record::kOpened, {name});
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

[[noreturn]] void Branch::Finish(const std::string& reason) {
  if (!ending_.empty()) {
    records_.Write(record::kEnding, {ending_, Script(), JoinChoices(choices_)});
  } else if (!failed_ && reason != "seen") {
    records_.Write(record::kStopped, {reason, Script(), JoinChoices(choices_)});
  }
  records_.Write(record::kDone, {});
  records_.Close();
  shared_.Release();
  // Nothing of the engine needs to be taken down in order: the process ends.
  std::fflush(nullptr);
  ::_exit(0);
}

void Branch::OnPass(uint64_t pass, std::vector<ScriptedEvent>& due) {
  if (failed_) Finish("failure");
  if (!ending_.empty()) Finish("ending");
  if (pass >= settings_.budget) Finish("budget");
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

void Branch::Tap(const char* target, int hold) {
  ScriptedEvent press;
  press.kind = ScriptedEvent::Press;
  press.target = target;
  ScriptedEvent release = press;
  release.kind = ScriptedEvent::Release;
  plan_.push_back({press});
  for (int i = 1; i < hold; ++i) plan_.emplace_back();
  plan_.push_back({release});
  for (int i = 0; i < kSettle; ++i) plan_.emplace_back();
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
  if (!shared_.Insert(key)) Finish("seen");
}

void Branch::Decide() {
  const CMsgBox& b = box();
  auto moves = [](size_t from, size_t to, size_t n) { return (to + n - from) % n; };
  if (keyConfigOpen_) {
    // Its two ways out; a binding changed on the screen is not explored.
    Option ok{"OK", {}}, cancel{"キャンセル", {}};
    plan_.clear();
    Tap("up", 1);  // from the first action row round to the buttons, on the first
    Tap("right", 1);
    Tap("decide", 1);
    ok.plan.assign(plan_.begin(), plan_.end());
    plan_.clear();
    Tap("cancel", 1);
    cancel.plan.assign(plan_.begin(), plan_.end());
    plan_.clear();
    Take("KeyConfig", {ok, cancel});
    return;
  }
  if (b.Buttons().ButtonMenuActive()) {
    const auto& items = b.Buttons().ButtonMenuItems();
    size_t cursor = 0, n = items.size();
    std::vector<const ButtonMenuItem*> list;
    for (auto it = items.begin(); it != items.end(); ++it) {
      if (it == b.Buttons().ButtonMenuCursor()) cursor = list.size();
      list.push_back(it->second.get());
    }
    std::vector<Option> options;
    for (size_t i = 0; i < n; ++i) {
      for (size_t m = moves(cursor, i, n); m > 0; --m) Tap("right", kDirectionHold);
      Tap("decide", kDecideHold);
      options.push_back({Utf8(list[i]->label), {plan_.begin(), plan_.end()}});
      plan_.clear();
    }
    if (!options.empty()) return Take("ButtonMenu", std::move(options));
  } else if (b.TextMenu().MenuActive()) {
    const auto& items = b.TextMenu().FontMenuItems();
    std::vector<const FontMenuItem*> list;
    size_t cursor = 0;
    for (auto it = items.begin(); it != items.end(); ++it) {
      if (!it->second->selectable) continue;
      if (it == b.TextMenu().FontMenuCursor()) cursor = list.size();
      list.push_back(it->second.get());
    }
    std::vector<Option> options;
    for (size_t i = 0; i < list.size(); ++i) {
      for (size_t m = moves(cursor, i, list.size()); m > 0; --m) Tap("right", kDirectionHold);
      Tap("decide", kDecideHold);
      options.push_back({Utf8(list[i]->label), {plan_.begin(), plan_.end()}});
      plan_.clear();
    }
    const char* menu = b.Saves().SaveMode() ? "SaveMenu" : b.Saves().LoadMode() ? "LoadMenu" : "FontMenu";
    if (!options.empty()) return Take(menu, std::move(options));
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
    if (!w.MessageFits()) {
      const std::string where = Script() + "\t" + std::to_string(b.Script().MessageWord());
      if (tooLong_.insert(where).second)
        records_.Write(record::kTooLong, {Script(), std::to_string(b.Script().MessageWord()),
                                          std::to_string(w.GivenText().size()), Utf8(w.GivenText())});
    }
  }
  Tap("decide", kDecideHold);
}

void Branch::Take(const std::string& menu, std::vector<Option> options) {
  KeyHash labels;
  labels.Add(menu);
  for (const Option& o : options) labels.Add(o.label);
  Visit(StateKey(std::to_string(labels.Value())));
  lastKey_ = 0;
  sameKeyTries_ = 0;
  const std::string script = Script();
  AwaitSingleThread();
  size_t mine = 0;
  for (size_t i = 1; i < options.size(); ++i) {
    const int child = shared_.NewBranch();
    // The child starts with the saves made so far, copied before either goes on.
    CopyTree(BranchSaveRoot(settings_.workDir, id_), BranchSaveRoot(settings_.workDir, child));
    const pid_t pid = ::fork();
    if (pid < 0) {
      records_.Write(record::kStopped, {"fork", script, JoinChoices(choices_) + kChoiceSeparator + options[i].label});
      continue;
    }
    if (pid == 0) {
      mine = i;
      choices_.push_back(options[i].label);
      Start(child);
      shared_.Acquire();
      ::alarm(kBranchSeconds);  // a child's clock starts when it runs
      break;
    }
  }
  if (mine == 0) choices_.push_back(options[0].label);
  records_.Write(record::kTaken, {script, menu, options[mine].label});
  plan_.assign(options[mine].plan.begin(), options[mine].plan.end());
}

}  // namespace

void RunFirstBranch(const ExploreSettings& settings, ExploreShared& shared) {
  // The engine's own notes and dialog lines go to a log in the work directory.
  const int log = ::open((settings.workDir + "/engine.log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  if (log >= 0) {
    ::dup2(log, 2);
    ::close(log);
  }
  static Branch branch(settings, shared);
  branch.Run();
}

}  // namespace scripttool
