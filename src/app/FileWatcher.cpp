#include "app/FileWatcher.h"

#include <chrono>
#include <filesystem>
#include <system_error>

bool FileWatcher::Due(uint32_t nowMs) {
  if (polled_ && nowMs - lastPollMs_ < periodMs_) return false;
  polled_ = true;
  lastPollMs_ = nowMs;
  return true;
}

FileWatcher::Stamp FileWatcher::Look(const std::string& hostPath) {
  namespace fs = std::filesystem;
  std::error_code ec;
  Stamp s;
  auto status = fs::status(hostPath, ec);
  if (ec || !fs::exists(status)) return s;
  s.exists = true;
  auto time = fs::last_write_time(hostPath, ec);
  if (!ec) s.time = std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
  if (fs::is_regular_file(status)) {
    auto size = fs::file_size(hostPath, ec);
    if (!ec) s.size = size;
  }
  return s;
}

std::vector<std::string> FileWatcher::Poll(const std::vector<std::string>& hostPaths) {
  std::vector<std::string> changed;
  std::map<std::string, Seen> next;
  for (const std::string& path : hostPaths) {
    if (next.count(path)) continue;  // named twice
    Stamp now = Look(path);
    auto it = seen_.find(path);
    Seen seen{now, false};
    if (it != seen_.end()) {
      if (!(now == it->second.stamp)) seen.changing = true;  // still being written, perhaps
      else if (it->second.changing) changed.push_back(path);
    }
    next.emplace(path, seen);
  }
  seen_ = std::move(next);
  return changed;
}
