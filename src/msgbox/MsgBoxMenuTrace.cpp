// The menus' part of the headless trace: both menus with their cursor and
// items on every line.
#include <cstdio>
#include <string>

#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Trace.h"
#include "script/MenuItems.h"

namespace {
std::string Number(float f) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", static_cast<double>(f));
  return buf;
}

template <class Item>
std::string CommonFields(const Item& item) {
  using platform::JsonCp932;
  std::string label = JsonCp932(item.label);
  if constexpr (requires { item.shown; }) {
    if (!item.shown.empty()) label = platform::JsonString(item.shown);  // as a translation shows it
  }
  return "{\"id\":" + std::to_string(item.id) + ",\"label\":" + label +
         ",\"target\":" + JsonCp932(item.target) + ",\"x\":" + Number(item.position.x) +
         ",\"y\":" + Number(item.position.y) + ",\"w\":" + Number(item.size.x) + ",\"h\":" + Number(item.size.y);
}

template <class Map, class Extra>
std::string MenuJson(const Map& items, typename Map::const_iterator cursor, Extra extra) {
  std::string out = "{\"cursor\":";
  out += cursor == items.end() ? std::string("null") : std::to_string(cursor->first);
  out += ",\"items\":[";
  for (auto it = items.begin(); it != items.end(); ++it) {
    if (it != items.begin()) out += ',';
    out += CommonFields(*it->second) + extra(*it->second) + "}";
  }
  return out + "]}";
}
}  // namespace

void CMsgBox::AppendMenuTrace(std::string& out) const {
  out += ",\"buttonMenu\":";
  out += MenuJson(buttons_.ButtonMenuItems(), buttons_.ButtonMenuCursor(),
                  [](const ButtonMenuItem&) { return std::string(); });
  out += ",\"fontMenu\":";
  out += MenuJson(fontMenu_.FontMenuItems(), fontMenu_.FontMenuCursor(), [](const FontMenuItem& item) {
    return ",\"script\":" + platform::JsonCp932(item.scriptName) + ",\"brightness\":" +
           std::to_string(item.brightness) + ",\"selectable\":" + (item.selectable ? "true" : "false");
  });
}
