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
#include "WayGraph.h"

namespace scripttool {

struct ExploreReport {
  using Choices = std::vector<std::string>;
  using Variables = std::map<std::string, std::string>;  // name -> value, UTF-8
  std::set<std::string> reached, unreached;  // engine names, UTF-8
  // (script, menu, label) -> how many branches took it
  std::map<std::tuple<std::string, std::string, std::string>, int> taken;

  // What ways end at. Each is one node of `ways`, however many ways lead
  // to it: an ending by its script and every variable (saves made on the
  // way do not tell endings apart), a failure by its place and message, a
  // stop by its reason and script.
  struct Ending {
    std::string kind, script;
    Variables variables;
    bool operator<(const Ending& o) const {
      return std::tie(kind, script, variables) < std::tie(o.kind, o.script, o.variables);
    }
  };
  struct Failure {
    std::string script;
    uint64_t position = 0;
    std::string message;
    bool operator<(const Failure& o) const {
      return std::tie(script, position, message) < std::tie(o.script, o.position, o.message);
    }
  };
  struct Stop {
    std::string reason, script;
    bool operator<(const Stop& o) const { return std::tie(reason, script) < std::tie(o.reason, o.script); }
  };
  std::map<Ending, uint64_t> endings;
  std::map<Failure, uint64_t> failures;
  std::map<Stop, uint64_t> stopped;
  WayGraph ways;

  // A message that does not fit the window, as the window shows it: the
  // original's rows of 26 full-width characters (52 bytes), or a
  // translation's rows laid out in the window's text area.
  struct TooLong {
    std::string language;  // empty: the original
    uint64_t characters = 0, rows = 0, windowRows = 0, bytes = 0;
    std::string why;      // "4 rows where the window holds 3", or what else does not fit
    std::string message;  // as shown, the speaker's label included
  };
  std::map<std::tuple<std::string, uint64_t, std::string>, TooLong> tooLong;  // (script, word, language)
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
  std::string language;  // --language; empty: the original only
  uint64_t branches = 0, states = 0, replays = 0, forkFailures = 0;
  bool statesFull = false;  // the state limit was reached

  void AddNotExplored(NotExplored n);
  void AddIncomplete(const std::string& why);
  // The node a way's end stands for.
  uint64_t EndNode(const Ending& e) { return Node(endings, e); }
  uint64_t EndNode(const Failure& f) { return Node(failures, f); }
  uint64_t EndNode(const Stop& s) { return Node(stopped, s); }

 private:
  // Ends are numbered apart from the game's states, whose keys lose their top bit.
  static constexpr uint64_t kEndBit = uint64_t(1) << 63;
  uint64_t ends_ = 0;
  template <class Map, class Key>
  uint64_t Node(Map& map, const Key& key) {
    auto [it, added] = map.emplace(key, 0);
    if (added) it->second = kEndBit | ends_++;
    return it->second;
  }

 public:
  static uint64_t StateNode(uint64_t key) { return key & ~kEndBit; }
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
