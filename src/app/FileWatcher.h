#pragma once
// Notices files that change on disk by polling their modification times and
// sizes on the engine's clock (so a headless run, on the virtual clock,
// polls at the same passes every time). A change is reported once the file
// has held still for one poll, so a file caught half-written is not read.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "framework/DueTime.h"

class FileWatcher {
 public:
  explicit FileWatcher(uint32_t periodMs = kPeriodMs) : periodMs_(periodMs) {}

  // Whether a poll is due at `nowMs` (the wrapping millisecond clock); the
  // first call always is.
  bool Due(uint32_t nowMs);
  // Seconds from `now` until Due next holds (0 before the first poll).
  double SecondsUntilDue(double now) const {
    return polled_ ? due::Until(lastPollMs_ + periodMs_, now) : 0.0;
  }
  // Compares each host path with what the last poll saw and returns those
  // that changed and have since held still. A path polled for the first
  // time is only noted; paths left out are forgotten, so one that comes back
  // starts afresh. A file that vanishes counts as a change too.
  std::vector<std::string> Poll(const std::vector<std::string>& hostPaths);

  static constexpr uint32_t kPeriodMs = 200;  // five polls a second

 private:
  struct Stamp {
    bool exists = false;
    int64_t time = 0;  // nanoseconds of the file clock
    uint64_t size = 0;
    bool operator==(const Stamp&) const = default;
  };
  struct Seen {
    Stamp stamp;
    bool changing = false;  // changed at the last poll, not reported yet
  };
  static Stamp Look(const std::string& hostPath);

  uint32_t periodMs_;
  bool polled_ = false;
  uint32_t lastPollMs_ = 0;
  std::map<std::string, Seen> seen_;
};
