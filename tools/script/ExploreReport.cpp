#include "ExploreReport.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "platform/diagnostics/Trace.h"

namespace scripttool {
namespace {
using platform::JsonString;

std::string Field(const Record& r, size_t i) { return i < r.fields.size() ? r.fields[i] : std::string(); }
uint64_t Number(const std::string& s) { return std::strtoull(s.c_str(), nullptr, 10); }

std::string ChoicesText(const ExploreReport::Choices& choices) {
  if (choices.empty()) return "(no choice)";
  std::string out;
  for (size_t i = 0; i < choices.size(); ++i) out += (i ? " > " : "") + choices[i];
  return out;
}

std::string ChoicesJson(const ExploreReport::Choices& choices) {
  std::string out = "[";
  for (size_t i = 0; i < choices.size(); ++i) out += (i ? "," : "") + JsonString(choices[i]);
  return out + "]";
}

template <class Set>
std::string NamesJson(const Set& names) {
  std::string out = "[";
  bool first = true;
  for (const std::string& n : names) {
    out += (first ? "" : ",") + JsonString(n);
    first = false;
  }
  return out + "]";
}
}  // namespace

const char kStoppedAtLimit[] = "state limit";
const char kStoppedReplay[] = "replay";

void ExploreReport::AddNotExplored(NotExplored n) {
  ++notExploredCount;
  notExplored.insert(std::move(n));
  // The listing keeps the first in order, so it reads the same from run to run.
  if (notExplored.size() > kNotExploredListed) notExplored.erase(std::prev(notExplored.end()));
}

void ExploreReport::AddIncomplete(const std::string& why) {
  if (std::find(incomplete.begin(), incomplete.end(), why) == incomplete.end()) incomplete.push_back(why);
}

void AddBranch(ExploreReport& report, const std::vector<Record>& records, const std::string& death, bool workFull) {
  ++report.branches;
  ExploreReport::Choices choices;
  std::string lastScript;
  bool done = false;
  for (const Record& r : records) {
    switch (r.kind) {
      case record::kBranch:
        choices = SplitChoices(Field(r, 1));
        break;
      case record::kOpened:
        report.reached.insert(Field(r, 0));
        lastScript = Field(r, 0);
        break;
      case record::kTaken:
        ++report.taken[{Field(r, 0), Field(r, 1), Field(r, 2)}];
        break;
      case record::kEnding:
        report.endings.insert({Field(r, 0), Field(r, 1), SplitChoices(Field(r, 2))});
        break;
      case record::kFailure:
        if (!workFull)
          report.failures.insert({Field(r, 0), Number(Field(r, 1)), Field(r, 2), SplitChoices(Field(r, 3))});
        break;
      case record::kTooLong:
        report.tooLong[{Field(r, 0), Number(Field(r, 1))}] = {Number(Field(r, 2)), Field(r, 3)};
        break;
      case record::kStopped:
        if (Field(r, 0) == kStoppedAtLimit) {
          report.AddNotExplored({Field(r, 1), SplitChoices(Field(r, 2)), "stopped at the state limit"});
        } else if (Field(r, 0) == kStoppedReplay) {
          report.AddNotExplored({Field(r, 1), SplitChoices(Field(r, 2)), "the replay did not come back to its menu"});
          report.AddIncomplete("a replayed branch did not come back to the menu it was queued at (the engine did not "
                               "play the same input alike)");
        } else {
          report.stopped.insert({Field(r, 0), Field(r, 1), SplitChoices(Field(r, 2))});
        }
        break;
      case record::kDone:
        done = true;
        break;
      default:
        break;
    }
  }
  if (!done && !workFull)
    report.failures.insert({lastScript, 0, death.empty() ? "the branch ended early" : death, choices});
}

void SetGameScripts(ExploreReport& report, const std::vector<std::string>& scripts) {
  for (const std::string& s : scripts)
    if (!report.reached.count(s)) report.unreached.insert(s);
}

std::string ReportText(const ExploreReport& r) {
  std::string out;
  auto heading = [&out](const std::string& title, size_t n) { out += title + " (" + std::to_string(n) + "):\n"; };
  heading("scripts reached", r.reached.size());
  for (const std::string& s : r.reached) out += "  " + s + "\n";
  heading("scripts never reached", r.unreached.size());
  for (const std::string& s : r.unreached) out += "  " + s + "\n";
  heading("menu items taken", r.taken.size());
  for (const auto& [key, count] : r.taken) {
    const auto& [script, menu, label] = key;
    out += "  " + script + " " + menu + ": " + label + " (" + std::to_string(count) + " branch" +
           (count == 1 ? "" : "es") + ")\n";
  }
  heading("endings", r.endings.size());
  for (const auto& [kind, script, choices] : r.endings) out += "  " + kind + " in " + script + " after " + ChoicesText(choices) + "\n";
  heading("failures", r.failures.size());
  for (const auto& f : r.failures)
    out += "  " + f.script + " word " + std::to_string(f.position) + ": " + f.message + " after " + ChoicesText(f.choices) + "\n";
  heading("messages longer than the window", r.tooLong.size());
  for (const auto& [where, m] : r.tooLong)
    out += "  " + where.first + " word " + std::to_string(where.second) + ": " + std::to_string(m.bytes) + " bytes: " +
           m.message + "\n";
  if (!r.stopped.empty()) {
    heading("branches stopped before an ending", r.stopped.size());
    for (const auto& [reason, script, choices] : r.stopped)
      out += "  " + reason + " in " + script + " after " + ChoicesText(choices) + "\n";
  }
  if (r.notExploredCount) {
    heading("branches not explored", r.notExploredCount);
    for (const auto& n : r.notExplored) out += "  " + n.script + " after " + ChoicesText(n.choices) + ": " + n.what + "\n";
    if (r.notExploredCount > r.notExplored.size())
      out += "  ... and " + std::to_string(r.notExploredCount - r.notExplored.size()) + " more\n";
  }
  out += std::to_string(r.branches) + " branches, " + std::to_string(r.states) + " states\n";
  for (const std::string& why : r.incomplete) out += "exploration incomplete: " + why + "\n";
  return out;
}

namespace {
// ",name":[item,...]" with one JSON object per element.
template <class Items, class Object>
std::string JsonArray(const char* name, const Items& items, Object object) {
  std::string out = std::string(",\"") + name + "\":[";
  bool first = true;
  for (const auto& item : items) {
    out += std::string(first ? "" : ",") + object(item);
    first = false;
  }
  return out + "]";
}
}  // namespace

std::string ReportJson(const ExploreReport& r) {
  std::string out = "{\"scripts\":{\"reached\":" + NamesJson(r.reached) + ",\"unreached\":" + NamesJson(r.unreached) + "}";
  out += JsonArray("menuItems", r.taken, [](const auto& taken) {
    const auto& [key, count] = taken;
    const auto& [script, menu, label] = key;
    return "{\"script\":" + JsonString(script) + ",\"menu\":" + JsonString(menu) + ",\"label\":" + JsonString(label) +
           ",\"branches\":" + std::to_string(count) + "}";
  });
  out += JsonArray("endings", r.endings, [](const auto& ending) {
    const auto& [kind, script, choices] = ending;
    return "{\"kind\":" + JsonString(kind) + ",\"script\":" + JsonString(script) + ",\"choices\":" +
           ChoicesJson(choices) + "}";
  });
  out += JsonArray("failures", r.failures, [](const auto& f) {
    return "{\"script\":" + JsonString(f.script) + ",\"position\":" + std::to_string(f.position) +
           ",\"message\":" + JsonString(f.message) + ",\"choices\":" + ChoicesJson(f.choices) + "}";
  });
  out += JsonArray("tooLong", r.tooLong, [](const auto& entry) {
    const auto& [where, m] = entry;
    return "{\"script\":" + JsonString(where.first) + ",\"position\":" + std::to_string(where.second) +
           ",\"bytes\":" + std::to_string(m.bytes) + ",\"message\":" + JsonString(m.message) + "}";
  });
  out += JsonArray("stopped", r.stopped, [](const auto& stop) {
    const auto& [reason, script, choices] = stop;
    return "{\"reason\":" + JsonString(reason) + ",\"script\":" + JsonString(script) + ",\"choices\":" +
           ChoicesJson(choices) + "}";
  });
  out += JsonArray("notExplored", r.notExplored, [](const auto& n) {
    return "{\"script\":" + JsonString(n.script) + ",\"choices\":" + ChoicesJson(n.choices) + ",\"what\":" +
           JsonString(n.what) + "}";
  });
  out += ",\"notExploredCount\":" + std::to_string(r.notExploredCount);
  out += ",\"complete\":" + std::string(r.incomplete.empty() ? "true" : "false") + ",\"incomplete\":" + NamesJson(r.incomplete);
  out += ",\"branches\":" + std::to_string(r.branches) + ",\"states\":" + std::to_string(r.states) +
         ",\"statesFull\":" + (r.statesFull ? "true" : "false") + ",\"replays\":" + std::to_string(r.replays) +
         ",\"forkFailures\":" + std::to_string(r.forkFailures) + "}\n";
  return out;
}

}  // namespace scripttool
