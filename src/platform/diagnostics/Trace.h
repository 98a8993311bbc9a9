#pragma once
// The headless state trace: JSON Lines, one object per main-loop pass in which
// anything traced changed. Engine units add events as they happen and register
// state providers that write their part of the state each pass.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace platform {
// JSON string literal (quoted, escaped) from UTF-8 or from CP932 bytes.
std::string JsonString(std::string_view utf8);
std::string JsonCp932(std::string_view cp932);

namespace trace {
bool Enabled();
bool Open(const std::string& hostPath);
// Closes the file; false when any line or the close itself could not be
// written (a full disk), which was then said on stderr once, naming it.
bool Close();
// One event object, e.g. {"type":"quit"}; kept in order for this pass.
void Event(std::string jsonObject);
// A program that watches a run from inside (vantorel-script explore) sees
// every event as it happens, with or without a trace file; events are then
// produced as for a trace. Null removes it.
using EventListener = std::function<void(const std::string& jsonObject)>;
void SetEventListener(EventListener listener);
// A provider appends `"key":value` members (comma-separated, no braces).
using StateProvider = std::function<void(std::string& members)>;
int AddStateProvider(StateProvider provider);
void RemoveStateProvider(int id);
// The state members every provider writes now, each after a comma, as a
// line would hold them (with or without a trace file): what a test compares.
std::string CurrentState();
// Ends a pass: writes a line when events were added, the state changed, or it
// is the first pass.
void EndFrame(uint64_t frame, uint32_t ms);
}  // namespace trace
}  // namespace platform
