#include "ExploreCoordinator.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "ExploreLink.h"
#include "ExploreShared.h"

namespace scripttool {
namespace fs = std::filesystem;
namespace {
// With nothing running and no process to be had, starting is tried again
// this often before the exploration gives up.
constexpr int kStartTries = 20;
constexpr int kStartRetryMs = 100;
// While parked branches wait for permits before replays, free permits are
// looked for again this often.
constexpr int kParkedPollMs = 20;

std::string DeathText(int status) {
  if (WIFSIGNALED(status)) return std::string("the engine stopped on signal ") + strsignal(WTERMSIG(status));
  return "the branch ended early with status " + std::to_string(WEXITSTATUS(status));
}

bool EndedWell(int status) { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }

}  // namespace

ExploreCoordinator::ExploreCoordinator(const std::string& workDir, uint64_t budget, bool keepFiles,
                                       ExploreShared& shared, ExploreReport& report)
    : work_(workDir), keep_(keepFiles), shared_(shared), report_(report) {
  sigemptyset(&interrupts_);
  settings_.workDir = workDir;
  settings_.budget = budget;
}

ExploreCoordinator::~ExploreCoordinator() {
  for (int fd : {signals_, messages_, lifeWrite_, settings_.link.messages, settings_.link.life})
    if (fd >= 0) ::close(fd);
  sigset_t all = interrupts_;
  sigaddset(&all, SIGCHLD);
  ::sigprocmask(SIG_UNBLOCK, &all, nullptr);
}

bool ExploreCoordinator::SetUp(std::string& error) {
  // A signal ignored when the tool started (nohup, a shell's background
  // job) stays ignored.
  sigset_t mask;
  sigemptyset(&mask);
  for (int s : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction now {};
    if (::sigaction(s, nullptr, &now) == 0 && now.sa_handler == SIG_IGN) continue;
    sigaddset(&mask, s);
    sigaddset(&interrupts_, s);
  }
  sigaddset(&mask, SIGCHLD);
  ::sigprocmask(SIG_BLOCK, &mask, nullptr);
  signals_ = ::signalfd(-1, &mask, SFD_NONBLOCK | SFD_CLOEXEC);
  int link[2], life[2];
  if (signals_ < 0 || ::pipe2(link, O_CLOEXEC) != 0) {
    error = std::string("cannot set up the exploration: ") + std::strerror(errno);
    return false;
  }
  messages_ = link[0];
  settings_.link.messages = link[1];
  if (::pipe2(life, O_CLOEXEC) != 0) {
    error = std::string("cannot set up the exploration: ") + std::strerror(errno);
    return false;
  }
  settings_.link.life = life[0];
  lifeWrite_ = life[1];
  ::fcntl(messages_, F_SETFL, O_NONBLOCK);
  StartKeeper();
  if (keeper_ <= 0) {
    error = std::string("no process could be started: fork: ") + std::strerror(errno);
    return false;
  }
  settings_.group = keeper_;
  // Every branch, however deep, is a child of this process once its parent ends.
  ::prctl(PR_SET_CHILD_SUBREAPER, 1);
  return true;
}

// The keeper leads the branches' process group and only waits for the
// coordinator to go: a group needs a living member to be joined, and the
// first branch may end long before the last replay starts. Forked twice, so
// it is no child of the coordinator and "no children left" means no branch.
void ExploreCoordinator::StartKeeper() {
  int report[2];
  if (::pipe(report) != 0) return;
  std::fflush(nullptr);
  const pid_t middle = ::fork();
  if (middle == 0) {
    const pid_t keeper = ::fork();
    if (keeper == 0) {
      ::setpgid(0, 0);
      // The life line's write end must be the coordinator's alone.
      for (int fd : {lifeWrite_, messages_, settings_.link.messages, signals_, report[0], report[1]}) ::close(fd);
      const int null = ::open("/dev/null", O_RDWR);
      for (int fd : {0, 1, 2}) ::dup2(null, fd);
      char c;
      while (::read(settings_.link.life, &c, 1) != 0 && errno == EINTR) {
      }
      ::_exit(0);
    }
    // The keeper's process id, or the fork's errno negated.
    const pid_t told = keeper > 0 ? keeper : -errno;
    if (keeper > 0) ::setpgid(keeper, keeper);
    ssize_t written = ::write(report[1], &told, sizeof told);
    ::_exit(written == sizeof told ? 0 : 1);
  }
  const int forkError = errno;
  ::close(report[1]);
  pid_t told = -forkError;
  if (middle > 0 && ::read(report[0], &told, sizeof told) != sizeof told) told = -EIO;
  ::close(report[0]);
  if (middle > 0) ::waitpid(middle, nullptr, 0);
  keeper_ = told > 0 ? told : 0;
  if (told <= 0) errno = -told;
}

int ExploreCoordinator::Run() {
  std::string error;
  if (!SetUp(error)) {
    report_.AddIncomplete(error);
    report_.AddNotExplored({"", {}, "the opening was never started"});
    return 0;
  }
  pending_.push_back({true, {}});
  for (;;) {
    ReapOwn();
    ReadLinkMessages();
    StartPending();
    if (!hasChildren_ && pending_.empty()) break;
    int timeout = -1;
    if (!hasChildren_) {
      // Nothing runs and nothing could be started.
      if (++startTries_ > kStartTries) {
        Abandon(std::string("no branch process could be started (fork: ") + std::strerror(forkError_) + ")");
        break;
      }
      timeout = kStartRetryMs;
    } else if (!pending_.empty() && shared_.Parked() > 0) {
      timeout = kParkedPollMs;
    }
    pollfd fds[2] = {{signals_, POLLIN, 0}, {messages_, POLLIN, 0}};
    ::poll(fds, 2, timeout);
    signalfd_siginfo info;
    while (::read(signals_, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
      if (info.ssi_signo != SIGCHLD) return Interrupt(static_cast<int>(info.ssi_signo));
  }
  ::close(lifeWrite_);  // the keeper goes
  lifeWrite_ = -1;
  FoldLeftovers();
  if (shared_.LimitReached()) {
    report_.statesFull = true;
    report_.AddIncomplete("the state limit of " + std::to_string(shared_.MaxStates()) +
                          " states was reached (--max-states)");
  }
  report_.forkFailures = shared_.ForkFailures();
  return 0;
}

void ExploreCoordinator::StartPending() {
  while (!pending_.empty()) {
    if (shared_.LimitReached()) return Abandon("");  // the reason is the limit's, given at the end
    if (stopped_) return Abandon("");
    // Parked branches go on first: they replay nothing.
    if (shared_.Parked() > 0 || !shared_.TryAcquire()) return;
    const int id = shared_.NewBranch();
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) RunChild(id, pending_.back());
    if (pid < 0) {
      forkError_ = errno;
      shared_.Release();
      shared_.NoteForkFailure();
      return;
    }
    ::setpgid(pid, settings_.group);  // the child does the same; whichever comes first
    mine_[pid] = id;
    hasChildren_ = true;
    startTries_ = 0;
    if (!pending_.back().opening) ++report_.replays;
    pending_.pop_back();
  }
}

void ExploreCoordinator::RunChild(int id, const Pending& pending) {
  ::close(messages_);
  ::close(lifeWrite_);
  ::close(signals_);
  // Branches are ended by the coordinator (killpg), their own process
  // group keeps the terminal's signals from them; SIGCHLD stays blocked
  // for a parked branch to wait on.
  ::sigprocmask(SIG_UNBLOCK, &interrupts_, nullptr);
  RunBranch(settings_, shared_, id, pending.opening ? nullptr : &pending.items);
}

void ExploreCoordinator::ReapOwn() {
  for (;;) {
    siginfo_t info{};
    if (::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) != 0) {
      if (errno == EINTR) continue;
      hasChildren_ = false;  // ECHILD: no branch is left anywhere
      return;
    }
    hasChildren_ = true;
    if (info.si_pid == 0) return;
    // The parent that left it here said so before it ended.
    ReadLinkMessages();
    const pid_t pid = info.si_pid;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    // Every child of the coordinator is a branch with a permit.
    shared_.Release();
    auto it = mine_.find(pid);
    const int id = it == mine_.end() ? -1 : it->second;
    if (it != mine_.end()) mine_.erase(it);
    Ended(id, status, pid);
  }
}

void ExploreCoordinator::ReadLinkMessages() {
  ReadLink(messages_, partial_, [this](const LinkMessage& m) {
    switch (m.kind) {
      case LinkMessage::kEnded:
        Ended(m.id, static_cast<int>(m.value), 0);
        break;
      case LinkMessage::kAdopt:
        mine_[static_cast<pid_t>(m.value)] = m.id;
        break;
      case LinkMessage::kQueued: {
        Record r;
        Pending p;
        if (ReadRecordAt(BranchRecordPath(work_, m.id), static_cast<uint64_t>(m.value), r) && ParseQueued(r, p.items))
          pending_.push_back(std::move(p));
        break;
      }
      case LinkMessage::kWorkFull:
        full_.insert(m.id);
        if (!stopped_) {
          stopped_ = true;
          report_.AddIncomplete("the work directory " + work_ + " is full (" +
                                std::strerror(static_cast<int>(m.value)) +
                                "): make room there, or set TMPDIR to a directory with more");
        }
        break;
      default:
        break;
    }
  });
}

void ExploreCoordinator::Ended(int id, int status, pid_t pid) {
  if (id < 0) {
    unknownDeaths_[pid] = status;  // its records are gathered at the end
    return;
  }
  Fold(id, status);
}

void ExploreCoordinator::Fold(int id, int status) {
  const std::string path = BranchRecordPath(work_, id);
  AddBranch(report_, ReadRecords(path), EndedWell(status) ? std::string() : DeathText(status), full_.count(id) > 0);
  if (keep_) {
    folded_.insert(id);
    return;
  }
  std::error_code ec;
  fs::remove(path, ec);
  fs::remove_all(BranchSaveRoot(work_, id), ec);
}

void ExploreCoordinator::FoldLeftovers() {
  // Branches whose ends no one told: a parent that died left them unnamed.
  std::error_code ec;
  std::vector<std::string> files;
  for (fs::directory_iterator it(work_, ec), end; !ec && it != end; it.increment(ec))
    if (it->path().extension() == ".rec") files.push_back(it->path().string());
  for (const std::string& f : files) {
    const int id = std::atoi(fs::path(f).stem().string().c_str() + 1);  // "b<id>"
    if (folded_.count(id)) continue;
    std::vector<Record> records = ReadRecords(f);
    std::string death;
    if (!records.empty() && records[0].kind == record::kBranch && records[0].fields.size() > 2) {
      auto d = unknownDeaths_.find(static_cast<pid_t>(std::atoi(records[0].fields[2].c_str())));
      if (d != unknownDeaths_.end() && !EndedWell(d->second)) death = DeathText(d->second);
    }
    AddBranch(report_, records, death, full_.count(id) > 0);
    if (!keep_) fs::remove(f, ec);
  }
}

void ExploreCoordinator::Abandon(const std::string& why) {
  if (!why.empty()) report_.AddIncomplete(why);
  for (const Pending& p : pending_) {
    if (p.opening) {
      report_.AddNotExplored({"", {}, "the opening was never started"});
      continue;
    }
    for (const std::string& label : p.items.labels) {
      ExploreReport::Choices choices = p.items.choices;
      choices.push_back(label);
      report_.AddNotExplored({p.items.script, choices, p.items.menu + " item never started"});
    }
  }
  pending_.clear();
}

int ExploreCoordinator::Interrupt(int signal) {
  ::killpg(settings_.group, SIGKILL);
  for (const auto& [pid, id] : mine_) ::kill(pid, SIGKILL);  // one not in the group yet
  // From here a second signal ends the coordinator at once.
  ::sigprocmask(SIG_UNBLOCK, &interrupts_, nullptr);
  // Branches orphaned by the kill come to this process and are killed with the group.
  while (::waitpid(-1, nullptr, 0) > 0 || errno == EINTR) {
  }
  std::error_code ec;
  fs::remove_all(work_, ec);
  return signal;
}

}  // namespace scripttool
