#include "saves/SavePlace.h"

#include <cstdio>

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

// The time a save holds; -1 when it is missing or unreadable.
int64_t TimeOf(const SavePlace& place, const std::string& name) {
  std::string bytes, why;
  SaveSummary summary;
  if (!place.Read(name, bytes) || !DecodeSummary(bytes, summary, why)) return -1;
  return summary.time;
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
  int64_t oldestTime = INT64_MAX;
  for (int i = 0; i < kAutoRing; ++i) {
    const int64_t t = TimeOf(*this, AutoName(i));
    if (t < 0) return AutoName(i);  // a free place in the ring first
    if (t < oldestTime) oldest = i, oldestTime = t;
  }
  return AutoName(oldest);
}

std::string SavePlace::Newest() const {
  std::vector<std::string> names{QuickName()};
  for (int i = 0; i < kAutoRing; ++i) names.push_back(AutoName(i));
  for (int i = 1; i <= kSlots; ++i) names.push_back(SlotName(i));
  std::string newest;
  int64_t newestTime = -1;
  for (const std::string& n : names) {
    const int64_t t = TimeOf(*this, n);
    if (t > newestTime) newest = n, newestTime = t;
  }
  return newest;
}

}  // namespace saves
