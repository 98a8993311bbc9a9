#include "ClosedFiles.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <system_error>

namespace scripttool {
namespace fs = std::filesystem;

ClosedFiles::ClosedFiles(const std::string& dir) : root_(dir) {
  fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  Update();
}

ClosedFiles::~ClosedFiles() {
  if (fd_ >= 0) ::close(fd_);
}

void ClosedFiles::Watch(const std::string& dir) {
  if (watched_.count(dir)) return;
  const int wd = ::inotify_add_watch(fd_, dir.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO);
  if (wd < 0) return;  // gone again, or out of watches: time alone decides there
  dirs_[wd] = dir;
  watched_.insert(dir);
}

void ClosedFiles::Update() {
  if (fd_ < 0) return;
  Watch(root_);
  std::error_code ec;
  for (fs::recursive_directory_iterator it(root_, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_directory(ec)) Watch(it->path().string());
  }
  alignas(inotify_event) char buffer[16 * (sizeof(inotify_event) + NAME_MAX + 1)];
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n <= 0) break;
    for (ssize_t at = 0; at < n;) {
      const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
      at += ssize_t(sizeof(inotify_event) + e->len);
      if (e->mask & IN_IGNORED) {
        auto dir = dirs_.find(e->wd);
        if (dir != dirs_.end()) {
          watched_.erase(dir->second);
          dirs_.erase(dir);
        }
        continue;
      }
      auto dir = dirs_.find(e->wd);
      if (dir == dirs_.end() || e->len == 0) continue;
      closed_.insert((fs::path(dir->second) / e->name).string());
    }
  }
}

bool ClosedFiles::Take(const std::string& path) { return closed_.erase(path) > 0; }

bool ClosedFiles::Covers(const std::string& path) const {
  return fd_ >= 0 && watched_.count(fs::path(path).parent_path().string()) > 0;
}

}  // namespace scripttool
