#include "platform/input/ScriptedInput.h"

#include <algorithm>
#include <sstream>

namespace platform {
namespace {
std::vector<ScriptedEvent> g_due;

bool ParseFrame(const std::string& word, uint64_t& frame) {
  if (word.empty() || word.size() > 18) return false;
  for (char c : word)
    if (c < '0' || c > '9') return false;
  frame = std::stoull(word);
  return true;
}
}  // namespace

bool ParseScriptedInput(const std::string& text, std::vector<ScriptedEvent>& out, std::string& error) {
  out.clear();
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string s; words >> s;) w.push_back(s);
    if (w.empty()) continue;
    auto fail = [&](const std::string& why) {
      error = "line " + std::to_string(number) + ": " + why;
      return false;
    };
    ScriptedEvent e;
    if (!ParseFrame(w[0], e.frame)) return fail("expected a frame number, got '" + w[0] + "'");
    if (w.size() < 2) return fail("missing event after the frame number");
    const std::string& verb = w[1];
    if (verb == "close" || verb == "menu-quit") {
      if (w.size() != 2) return fail("'" + verb + "' takes no target");
      e.kind = verb == "close" ? ScriptedEvent::Close : ScriptedEvent::MenuQuit;
      out.push_back(e);
    } else if (verb == "press" || verb == "release") {
      if (w.size() != 3) return fail("'" + verb + "' takes exactly one target");
      e.kind = verb == "press" ? ScriptedEvent::Press : ScriptedEvent::Release;
      e.target = w[2];
      out.push_back(e);
    } else if (verb == "tap") {
      if (w.size() != 3 && w.size() != 4) return fail("'tap' takes a target and an optional hold");
      uint64_t hold = 5;
      if (w.size() == 4 && !ParseFrame(w[3], hold)) return fail("bad hold '" + w[3] + "'");
      e.kind = ScriptedEvent::Press;
      e.target = w[2];
      out.push_back(e);
      ScriptedEvent r = e;
      r.kind = ScriptedEvent::Release;
      r.frame = e.frame + hold;
      out.push_back(r);
    } else {
      return fail("unknown event '" + verb + "'");
    }
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const ScriptedEvent& a, const ScriptedEvent& b) { return a.frame < b.frame; });
  return true;
}

void SetDueScriptedEvents(std::vector<ScriptedEvent> events) { g_due = std::move(events); }
const std::vector<ScriptedEvent>& DueScriptedEvents() { return g_due; }
void ClearDueScriptedEvents() { g_due.clear(); }

}  // namespace platform
