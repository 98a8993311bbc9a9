#pragma once
// What an exploration found, gathered from every branch's records, and its
// two forms: text for a person, one JSON object for a program. Every list is
// sorted, so the report of a game reads the same from run to run.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "ExploreRecords.h"

namespace scripttool {

struct ExploreReport {
  using Choices = std::vector<std::string>;
  std::set<std::string> reached, unreached;  // engine names, UTF-8
  // (script, menu, label) -> how many branches took it
  std::map<std::tuple<std::string, std::string, std::string>, int> taken;
  std::set<std::tuple<std::string, std::string, Choices>> endings;  // kind, script, choices
  struct Failure {
    std::string script;
    uint64_t position = 0;
    std::string message;
    Choices choices;
    bool operator<(const Failure& o) const {
      return std::tie(script, position, message, choices) < std::tie(o.script, o.position, o.message, o.choices);
    }
  };
  std::set<Failure> failures;
  struct TooLong {
    uint64_t bytes = 0;
    std::string message;
  };
  std::map<std::pair<std::string, uint64_t>, TooLong> tooLong;  // (script, word) -> message
  std::set<std::tuple<std::string, std::string, Choices>> stopped;  // reason, script, choices
  // Where the exploration did not go: the way there and what stayed
  // undone. Only the first kNotExploredListed are kept; all are counted.
  struct NotExplored {
    std::string script;
    Choices choices;
    std::string what;
    bool operator<(const NotExplored& o) const {
      return std::tie(script, choices, what) < std::tie(o.script, o.choices, o.what);
    }
  };
  static constexpr size_t kNotExploredListed = 200;
  std::set<NotExplored> notExplored;
  uint64_t notExploredCount = 0;
  // Why the exploration is not whole, each reason once, in the order met;
  // empty when it is.
  std::vector<std::string> incomplete;
  uint64_t branches = 0, states = 0, replays = 0, forkFailures = 0;
  bool statesFull = false;  // the state limit was reached

  void AddNotExplored(NotExplored n);
  void AddIncomplete(const std::string& why);
};

// What a branch stopped at the state limit or on a replay that did not
// come back stays undone with.
extern const char kStoppedAtLimit[];
extern const char kStoppedReplay[];

// Adds one branch's records. A branch whose records do not end as a
// branch's should (it died) is a failure at its last known place. A branch
// that found the work directory full (`workFull`) reports no failure: what
// went wrong was the room to write, not the game.
void AddBranch(ExploreReport& report, const std::vector<Record>& records, const std::string& death,
               bool workFull = false);
// Marks every script of the game not reached.
void SetGameScripts(ExploreReport& report, const std::vector<std::string>& scripts);

std::string ReportText(const ExploreReport& report);
std::string ReportJson(const ExploreReport& report);

}  // namespace scripttool
