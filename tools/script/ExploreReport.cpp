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

namespace {
ExploreReport::Variables ParseVariables(const std::string& field) {
  ExploreReport::Variables out;
  for (const std::string& v : SplitChoices(field)) {
    const size_t eq = v.find('=');
    if (eq != std::string::npos) out[v.substr(0, eq)] = v.substr(eq + 1);
  }
  return out;
}
}  // namespace

void AddBranch(ExploreReport& report, const std::vector<Record>& records, const std::string& death, bool workFull) {
  ++report.branches;
  std::string lastScript;
  bool done = false;
  // Where the branch stands in the graph of ways, and the item taken since.
  uint64_t last = WayGraph::kOpening;
  bool started = false;
  std::string taken;
  // An end is reached from the last state, through the item taken since
  // (a failure and the ending of the same step alike).
  auto end = [&](uint64_t node) { report.ways.AddEdge(last, node, taken); };
  for (const Record& r : records) {
    switch (r.kind) {
      case record::kOpened:
        report.reached.insert(Field(r, 0));
        lastScript = Field(r, 0);
        break;
      case record::kState: {
        const uint64_t node = ExploreReport::StateNode(Number(Field(r, 0)));
        if (started) report.ways.AddEdge(last, node, taken);
        taken.clear();
        last = node;
        started = true;
        break;
      }
      case record::kTaken:
        ++report.taken[{Field(r, 0), Field(r, 1), Field(r, 2)}];
        taken = Field(r, 2);
        break;
      case record::kEnding:
        end(report.EndNode(ExploreReport::Ending{Field(r, 0), Field(r, 1), ParseVariables(Field(r, 3))}));
        break;
      case record::kFailure:
        if (!workFull) end(report.EndNode(ExploreReport::Failure{Field(r, 0), Number(Field(r, 1)), Field(r, 2)}));
        break;
      case record::kTooLong:
        report.tooLong[{Field(r, 0), Number(Field(r, 1)), Field(r, 2)}] = {
            Field(r, 2), Number(Field(r, 3)), Number(Field(r, 4)), Number(Field(r, 5)), Number(Field(r, 6)),
            Field(r, 7), Field(r, 8)};
        break;
      case record::kStopped:
        if (Field(r, 0) == kStoppedAtLimit) {
          report.AddNotExplored({Field(r, 1), SplitChoices(Field(r, 2)), "stopped at the state limit"});
        } else if (Field(r, 0) == kStoppedReplay) {
          report.AddNotExplored({Field(r, 1), SplitChoices(Field(r, 2)), "the replay did not come back to its menu"});
          report.AddIncomplete("a replayed branch did not come back to the menu it was queued at (the engine did not "
                               "play the same input alike)");
        } else {
          end(report.EndNode(ExploreReport::Stop{Field(r, 0), Field(r, 1)}));
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
    end(report.EndNode(ExploreReport::Failure{lastScript, 0, death.empty() ? "the branch ended early" : death}));
}

void SetGameScripts(ExploreReport& report, const std::vector<std::string>& scripts) {
  for (const std::string& s : scripts)
    if (!report.reached.count(s)) report.unreached.insert(s);
}

namespace {
std::string WaysText(const WayGraph::Ways& w) {
  return " after " + ChoicesText(w.shortest) + " (" + std::to_string(w.count) + (w.count == 1 ? " way)" : " ways)");
}

// For each ending, the variables whose values tell it apart from another
// ending of the same kind in the same script; none where it is the only one.
std::map<ExploreReport::Ending, ExploreReport::Variables> TellingVariables(const ExploreReport& r) {
  std::map<std::pair<std::string, std::string>, std::vector<const ExploreReport::Ending*>> alike;
  for (const auto& [e, node] : r.endings) alike[{e.kind, e.script}].push_back(&e);
  std::map<ExploreReport::Ending, ExploreReport::Variables> out;
  for (const auto& [where, list] : alike) {
    std::set<std::string> differ;
    for (const ExploreReport::Ending* e : list)
      for (const auto& [name, value] : e->variables)
        for (const ExploreReport::Ending* other : list) {
          auto it = other->variables.find(name);
          if (it == other->variables.end() || it->second != value) differ.insert(name);
        }
    for (const ExploreReport::Ending* e : list) {
      ExploreReport::Variables& shown = out[*e];
      for (const std::string& name : differ) {
        auto it = e->variables.find(name);
        shown[name] = it == e->variables.end() ? std::string() : it->second;
      }
    }
  }
  return out;
}

WayGraph::Ways WaysOf(const WayGraph::Counts& ways, uint64_t node) { return ways.Of(node); }

std::string TooLongWhere(const std::tuple<std::string, uint64_t, std::string>& where) {
  const auto& [script, word, language] = where;
  return script + " word " + std::to_string(word) + (language.empty() ? "" : " in " + language);
}
}  // namespace

std::string ReportText(const ExploreReport& r) {
  const auto ways = r.ways.Count();
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
  const auto telling = TellingVariables(r);
  for (const auto& [e, node] : r.endings) {
    out += "  " + e.kind + " in " + e.script;
    const ExploreReport::Variables& vars = telling.at(e);
    bool first = true;
    for (const auto& [name, value] : vars) {
      out += (first ? " with " : ", ") + name + " = " + (value.empty() ? "(unset)" : value);
      first = false;
    }
    out += WaysText(WaysOf(ways, node)) + "\n";
  }
  heading("failures", r.failures.size());
  for (const auto& [f, node] : r.failures)
    out += "  " + f.script + " word " + std::to_string(f.position) + ": " + f.message + WaysText(WaysOf(ways, node)) +
           "\n";
  heading("messages longer than the window", r.tooLong.size());
  for (const auto& [where, m] : r.tooLong) out += "  " + TooLongWhere(where) + ": " + m.why + ": " + m.message + "\n";
  if (!r.stopped.empty()) {
    heading("ways stopped before an ending", r.stopped.size());
    for (const auto& [s, node] : r.stopped) out += "  " + s.reason + " in " + s.script + WaysText(WaysOf(ways, node)) + "\n";
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
  const auto ways = r.ways.Count();
  auto waysJson = [&ways](uint64_t node) {
    const WayGraph::Ways w = WaysOf(ways, node);
    return ",\"ways\":" + std::to_string(w.count) + ",\"choices\":" + ChoicesJson(w.shortest);
  };
  std::string out = "{\"scripts\":{\"reached\":" + NamesJson(r.reached) + ",\"unreached\":" + NamesJson(r.unreached) + "}";
  out += JsonArray("menuItems", r.taken, [](const auto& taken) {
    const auto& [key, count] = taken;
    const auto& [script, menu, label] = key;
    return "{\"script\":" + JsonString(script) + ",\"menu\":" + JsonString(menu) + ",\"label\":" + JsonString(label) +
           ",\"branches\":" + std::to_string(count) + "}";
  });
  const auto telling = TellingVariables(r);
  out += JsonArray("endings", r.endings, [&](const auto& ending) {
    const auto& [e, node] = ending;
    std::string vars = "{";
    for (const auto& [name, value] : telling.at(e)) vars += (vars.size() > 1 ? "," : "") + JsonString(name) + ":" + JsonString(value);
    return "{\"kind\":" + JsonString(e.kind) + ",\"script\":" + JsonString(e.script) + ",\"variables\":" + vars + "}" +
           waysJson(node) + "}";
  });
  out += JsonArray("failures", r.failures, [&](const auto& failure) {
    const auto& [f, node] = failure;
    return "{\"script\":" + JsonString(f.script) + ",\"position\":" + std::to_string(f.position) +
           ",\"message\":" + JsonString(f.message) + waysJson(node) + "}";
  });
  out += JsonArray("tooLong", r.tooLong, [](const auto& entry) {
    const auto& [where, m] = entry;
    const auto& [script, word, language] = where;
    return "{\"script\":" + JsonString(script) + ",\"position\":" + std::to_string(word) +
           ",\"language\":" + (language.empty() ? std::string("null") : JsonString(language)) +
           ",\"characters\":" + std::to_string(m.characters) + ",\"rows\":" + std::to_string(m.rows) +
           ",\"windowRows\":" + std::to_string(m.windowRows) + ",\"bytes\":" + std::to_string(m.bytes) +
           ",\"why\":" + JsonString(m.why) + ",\"message\":" + JsonString(m.message) + "}";
  });
  out += JsonArray("stopped", r.stopped, [&](const auto& stop) {
    const auto& [s, node] = stop;
    return "{\"reason\":" + JsonString(s.reason) + ",\"script\":" + JsonString(s.script) + waysJson(node) + "}";
  });
  out += JsonArray("notExplored", r.notExplored, [](const auto& n) {
    return "{\"script\":" + JsonString(n.script) + ",\"choices\":" + ChoicesJson(n.choices) + ",\"what\":" +
           JsonString(n.what) + "}";
  });
  out += ",\"notExploredCount\":" + std::to_string(r.notExploredCount);
  out += ",\"complete\":" + std::string(r.incomplete.empty() ? "true" : "false") + ",\"incomplete\":" + NamesJson(r.incomplete);
  out += ",\"language\":" + (r.language.empty() ? std::string("null") : JsonString(r.language));
  out += ",\"branches\":" + std::to_string(r.branches) + ",\"states\":" + std::to_string(r.states) +
         ",\"statesFull\":" + (r.statesFull ? "true" : "false") + ",\"replays\":" + std::to_string(r.replays) +
         ",\"forkFailures\":" + std::to_string(r.forkFailures) + "}\n";
  return out;
}

}  // namespace scripttool
