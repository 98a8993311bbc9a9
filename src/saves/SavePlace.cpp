#include "saves/SavePlace.h"

#include <algorithm>
#include <chrono>
#include <compare>
#include <cstdio>
#include <filesystem>

#include "platform/files/Files.h"
#include "platform/files/RegularFile.h"
#include "saves/SaveFile.h"

namespace saves {

namespace {
std::string Numbered(const char* prefix, int n) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%s-%02d.vsave", prefix, n);
  return buf;
}

// When a save was made, in the order saves are compared: the time it holds
// to the millisecond, then, between saves made within the same one (or in
// the same second by a version that kept whole seconds), the time its file
// was written. Missing or unreadable: before every save.
struct Made {
  int64_t ms = -1;
  int64_t written = 0;
  auto operator<=>(const Made&) const = default;
};

Made MadeOf(const SavePlace& place, const std::string& name) {
  std::string bytes, why;
  SaveSummary summary;
  if (!place.Read(name, bytes) || !DecodeSummary(bytes, summary, why)) return {};
  Made m{std::max<int64_t>(summary.timeMs, 0), 0};
  std::error_code ec;
  const auto written = std::filesystem::last_write_time(place.HostPath(name), ec);
  if (!ec) m.written = std::chrono::duration_cast<std::chrono::nanoseconds>(written.time_since_epoch()).count();
  return m;
}
}  // namespace

std::string SavePlace::AutoName(int i) { return Numbered("auto", i); }
std::string SavePlace::SlotName(int slot) { return Numbered("slot", slot); }

bool SavePlace::Write(const std::string& name, const std::string& bytes) const {
  if (dir_.empty() || !platform::MakeHostDirs(dir_)) return false;
  return platform::WriteHostFileAtomic(HostPath(name), bytes, false);
}

bool SavePlace::Read(const std::string& name, std::string& bytes) const {
  // Only a regular file of a save's size is read (a FIFO never holds the game).
  return !dir_.empty() &&
         platform::ReadRegularFile(HostPath(name), bytes, platform::file_caps::kSave) == platform::FileRead::kRead;
}

bool SavePlace::Exists(const std::string& name) const {
  if (dir_.empty()) return false;
  FILE* f = std::fopen(HostPath(name).c_str(), "rb");
  if (f) std::fclose(f);
  return f != nullptr;
}

bool SavePlace::Remove(const std::string& name) const {
  return !dir_.empty() && std::remove(HostPath(name).c_str()) == 0;
}

std::string SavePlace::NextAutoName() const {
  int oldest = 0;
  Made oldestMade;
  for (int i = 0; i < kAutoRing; ++i) {
    const Made made = MadeOf(*this, AutoName(i));
    if (made.ms < 0) return AutoName(i);  // a free place in the ring first
    if (i == 0 || made < oldestMade) oldest = i, oldestMade = made;
  }
  return AutoName(oldest);
}

std::string SavePlace::Newest() const {
  std::vector<std::string> names{QuickName()};
  for (int i = 0; i < kAutoRing; ++i) names.push_back(AutoName(i));
  for (int i = 1; i <= kSlots; ++i) names.push_back(SlotName(i));
  std::string newest;
  Made newestMade;
  for (const std::string& n : names) {
    const Made made = MadeOf(*this, n);
    if (made.ms >= 0 && made > newestMade) newest = n, newestMade = made;
  }
  return newest;
}

}  // namespace saves
