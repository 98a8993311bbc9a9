#pragma once
// The exploration's own process, the coordinator: it starts the first branch
// and the replays of queued menus within the permits, hears what the
// branches tell it (ExploreLink.h), reaps every branch left to it (it is a
// subreaper), gathers each ended branch's records into the report and
// removes its files, so the work directory holds only the running branches'.
// Every branch joins one process group, held by a keeper process, so that
// SIGINT, SIGTERM or SIGHUP ends them all at once; the work directory is
// then removed, and a second signal ends the coordinator at once.
#include <signal.h>
#include <sys/types.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ExploreRecords.h"
#include "ExploreReport.h"
#include "Explorer.h"

namespace scripttool {

class ExploreShared;

class ExploreCoordinator {
 public:
  ExploreCoordinator(const std::string& workDir, uint64_t budget, bool keepFiles, ExploreShared& shared,
                     ExploreReport& report);
  ~ExploreCoordinator();
  ExploreCoordinator(const ExploreCoordinator&) = delete;
  ExploreCoordinator& operator=(const ExploreCoordinator&) = delete;

  // With --language: the translation's code and its messages that do not
  // fit, which the branches report where they reach them.
  void UseLanguage(const std::string& language, const TranslatedOverflows* overflows) {
    settings_.language = language;
    settings_.overflows = overflows;
  }
  // Explores to the end, filling the report (what stayed undone and why
  // included). Returns 0, or the signal that interrupted the exploration:
  // every branch has ended then and the work directory is gone.
  int Run();

 private:
  struct Pending {
    bool opening = false;
    QueuedItems items;
  };
  bool SetUp(std::string& error);
  void StartKeeper();
  void StartPending();
  void ReapOwn();
  void ReadLinkMessages();
  void Ended(int id, int status, pid_t pid);
  void Fold(int id, int status);
  void FoldLeftovers();
  // The pending menus will not be started: each item is reported undone.
  void Abandon(const std::string& why);
  int Interrupt(int signal);
  [[noreturn]] void RunChild(int id, const Pending& pending);

  std::string work_;
  ExploreSettings settings_;
  bool keep_;
  ExploreShared& shared_;
  ExploreReport& report_;
  int signals_ = -1;                   // signalfd: SIGCHLD, SIGINT, SIGTERM, SIGHUP
  sigset_t interrupts_;                // those of SIGINT, SIGTERM and SIGHUP not ignored at start
  int messages_ = -1, lifeWrite_ = -1;  // the link's read end, the life line's write end
  pid_t keeper_ = 0;
  std::string partial_;  // a message read in part
  std::vector<Pending> pending_;  // last in, first out: the deepest menu first keeps the list short
  std::map<pid_t, int> mine_;     // the branches that are this process's children: process id -> branch id
  std::map<pid_t, int> unknownDeaths_;  // children no branch named: process id -> wait status
  std::set<int> full_;            // branches that found the work directory full
  std::set<int> folded_;          // kept files already gathered (VANTOREL_EXPLORE_KEEP)
  bool hasChildren_ = true;
  int forkError_ = 0;
  int startTries_ = 0;
  bool stopped_ = false;  // no more replays start
};

}  // namespace scripttool
