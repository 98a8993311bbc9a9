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
      if (w[2] == "mouse") e.kind = verb == "press" ? ScriptedEvent::MouseDown : ScriptedEvent::MouseUp;
      else e.kind = verb == "press" ? ScriptedEvent::Press : ScriptedEvent::Release;
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
    } else if (verb == "mouse" || verb == "click") {
      const bool click = verb == "click";
      if (!(w.size() == 4 || (click && w.size() == 2))) return fail(click ? "'click' takes an optional X Y" : "'mouse' takes X Y");
      if (w.size() == 4) {
        uint64_t x = 0, y = 0;
        if (!ParseFrame(w[2], x) || !ParseFrame(w[3], y) || x > 100000 || y > 100000)
          return fail("bad point '" + w[2] + " " + w[3] + "'");
        e.at = true;
        e.x = static_cast<int32_t>(x);
        e.y = static_cast<int32_t>(y);
      }
      e.kind = click ? ScriptedEvent::MouseDown : ScriptedEvent::MouseMove;
      out.push_back(e);
      if (click) {
        ScriptedEvent up = e;
        up.kind = ScriptedEvent::MouseUp;
        up.at = false;
        up.frame = e.frame + 5;
        out.push_back(up);
      }
    } else if (verb == "rclick" || verb == "mclick") {
      if (w.size() != 2) return fail("'" + verb + "' takes nothing");
      e.kind = ScriptedEvent::MouseDown;
      e.button = verb == "rclick" ? MouseButton::Right : MouseButton::Middle;
      out.push_back(e);
      e.kind = ScriptedEvent::MouseUp;
      e.frame += 1;
      out.push_back(e);
    } else if (verb == "wheel") {
      if (w.size() != 3 || (w[2] != "up" && w[2] != "down")) return fail("'wheel' takes up or down");
      e.kind = ScriptedEvent::Wheel;
      e.wheel = w[2] == "up" ? 1 : -1;
      out.push_back(e);
    } else {
      return fail("unknown event '" + verb + "'");
    }
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const ScriptedEvent& a, const ScriptedEvent& b) { return a.frame < b.frame; });
  return true;
}

std::vector<Event> ScriptedPointer::Translate(const std::vector<ScriptedEvent>& due) {
  std::vector<Event> out;
  for (const ScriptedEvent& e : due) {
    if (e.at && (e.x != x_ || e.y != y_ || e.kind == ScriptedEvent::MouseMove)) {
      x_ = e.x;
      y_ = e.y;
      out.push_back(Event::MouseMove(x_, y_));
    }
    switch (e.kind) {
      case ScriptedEvent::MouseDown:
      case ScriptedEvent::MouseUp:
        out.push_back(Event::MouseClick(e.button, e.kind == ScriptedEvent::MouseDown, x_, y_));
        break;
      case ScriptedEvent::Wheel:
        out.push_back(Event::Wheel(e.wheel));
        out.back().x = x_;
        out.back().y = y_;
        break;
      case ScriptedEvent::Press:
      case ScriptedEvent::Release: {
        if (e.target.rfind("key:", 0) != 0) break;
        std::string name = e.target.substr(4);
        std::replace(name.begin(), name.end(), '_', ' ');
        Key key = KeyFromName(name.c_str());
        if (key == Key::Unknown) break;
        out.push_back(Event::KeyPress(key, e.kind == ScriptedEvent::Press));
        break;
      }
      default: break;
    }
  }
  for (Event& ev : out) ev.scripted = true;
  return out;
}

void SetDueScriptedEvents(std::vector<ScriptedEvent> events) { g_due = std::move(events); }
const std::vector<ScriptedEvent>& DueScriptedEvents() { return g_due; }
void ClearDueScriptedEvents() { g_due.clear(); }

}  // namespace platform
