#include "platform/diagnostics/Trace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "platform/text/TextCodec.h"

namespace platform {

std::string JsonString(std::string_view s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
  return out;
}

std::string JsonCp932(std::string_view cp932) { return JsonString(Cp932ToUtf8(cp932)); }

namespace trace {
namespace {
struct State {
  FILE* file = nullptr;
  std::string path;
  bool failed = false;  // a line, a flush or the close was not written
  std::vector<std::string> events;
  std::map<int, StateProvider> providers;
  int nextId = 1;
  std::string lastState;
  bool first = true;
  EventListener listener;
};
State& S() {
  static State s;
  return s;
}
}  // namespace

bool Enabled() { return S().file != nullptr || S().listener != nullptr; }

namespace {
// Says once that the trace is not being written, and why.
void Failed() {
  if (S().failed) return;
  S().failed = true;
  std::fprintf(stderr, "vantorel: cannot write trace file '%s': %s\n", S().path.c_str(), std::strerror(errno));
}
}  // namespace

bool Open(const std::string& hostPath) {
  Close();
  S().file = std::fopen(hostPath.c_str(), "wb");
  S().path = hostPath;
  S().failed = false;
  S().first = true;
  S().lastState.clear();
  return S().file != nullptr;
}

bool Close() {
  if (S().file && std::fclose(S().file) != 0) Failed();
  S().file = nullptr;
  S().events.clear();
  return !S().failed;
}

void Event(std::string jsonObject) {
  if (S().listener) S().listener(jsonObject);
  if (!S().file) return;
  S().events.push_back(std::move(jsonObject));
}

void SetEventListener(EventListener listener) { S().listener = std::move(listener); }

int AddStateProvider(StateProvider provider) {
  int id = S().nextId++;
  S().providers[id] = std::move(provider);
  return id;
}

void RemoveStateProvider(int id) { S().providers.erase(id); }

std::string CurrentState() {
  std::string state;
  for (auto& [id, provider] : S().providers) {
    std::string members;
    provider(members);
    if (members.empty()) continue;
    state += ',';
    state += members;
  }
  return state;
}

void EndFrame(uint64_t frame, uint32_t ms) {
  State& s = S();
  if (!s.file) return;
  std::string state;
  for (auto& [id, provider] : s.providers) {
    std::string members;
    provider(members);
    if (members.empty()) continue;
    state += ',';
    state += members;
  }
  if (!s.first && s.events.empty() && state == s.lastState) return;
  std::string line = "{\"frame\":" + std::to_string(frame) + ",\"ms\":" + std::to_string(ms) + ",\"events\":[";
  for (size_t i = 0; i < s.events.size(); ++i) {
    if (i) line += ',';
    line += s.events[i];
  }
  line += ']';
  line += state;
  line += "}\n";
  // Each line is flushed as its pass ends, and every write checked: a trace
  // cut short by a full disk must not pass for a whole one.
  if (std::fwrite(line.data(), 1, line.size(), s.file) != line.size() || std::fflush(s.file) != 0) Failed();
  s.events.clear();
  s.lastState = std::move(state);
  s.first = false;
}
}  // namespace trace
}  // namespace platform
