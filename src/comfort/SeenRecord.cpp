#include "comfort/SeenRecord.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <map>
#include <thread>

#include "platform/files/Files.h"
#include "platform/text/TextCodec.h"

namespace comfort {
namespace {
constexpr const char* kHeader = "vantorel-seen 1";

// Parses the file's lines into marks; lines that do not parse are left out.
void Parse(const std::string& text, std::set<std::pair<std::string, size_t>>& into) {
  size_t start = 0;
  bool header = true;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line(text.data() + start, end - start);
    start = end + 1;
    if (header) {
      if (line != kHeader) return;
      header = false;
      continue;
    }
    // Each line: the word's position, a tab, the script's name (CP932).
    const size_t tab = line.find('\t');
    if (tab == 0 || tab == std::string::npos || tab > 9 || tab + 1 == line.size()) continue;
    size_t word = 0;
    bool digits = true;
    for (size_t i = 0; i < tab; ++i) {
      if (line[i] < '0' || line[i] > '9') digits = false;
      word = word * 10 + static_cast<size_t>(line[i] - '0');
    }
    if (digits) into.insert({std::string(line.substr(tab + 1)), word});
  }
}

// An exclusive lock on the record's directory (one per game), shared by
// every instance that saves there; waited for a little, as a save under it
// takes milliseconds.
class DirectoryLock {
 public:
  explicit DirectoryLock(const std::string& directory)
      : fd_(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    for (int attempt = 0; fd_ >= 0 && attempt < 200; ++attempt) {
      if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        held_ = true;
        return;
      }
      if (errno != EWOULDBLOCK && errno != EINTR) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  ~DirectoryLock() {
    if (fd_ >= 0) ::close(fd_);  // closing lets the lock go
  }
  bool Held() const { return held_; }

 private:
  int fd_;
  bool held_ = false;
};
}  // namespace

bool SeenRecord::ReadFile(Marks& into) const {
  std::string text;
  const platform::FileRead read = platform::ReadRegularFile(path_, text, platform::file_caps::kSeen);
  if (read == platform::FileRead::kNotRegular || read == platform::FileRead::kTooLarge) {
    platform::ReportRefusedFile(platform::Utf8ToCp932Lossy(path_), read, platform::file_caps::kSeen);
    return false;
  }
  Parse(text, into);
  return read == platform::FileRead::kRead || read == platform::FileRead::kMissing;
}

void SeenRecord::Load() {
  seen_.clear();
  dirty_ = false;
  if (path_.empty()) return;
  ReadFile(seen_);
}

bool SeenRecord::Mark(const std::string& script, size_t word) {
  if (!seen_.insert({script, word}).second) return false;
  dirty_ = true;
  return true;
}

void SeenRecord::DropStale() {
  if (!lookup_) return;
  std::map<std::string, std::optional<std::set<size_t>>> now;
  bool anyMessages = false;
  for (const auto& mark : seen_) {
    auto [it, fresh] = now.try_emplace(mark.first);
    if (fresh) it->second = lookup_(mark.first);
    anyMessages = anyMessages || (it->second && !it->second->empty());
  }
  // Not one script with a message: the game is not where it was (a medium
  // taken out), not edited; nothing is dropped on that.
  if (!anyMessages) return;
  for (auto it = seen_.begin(); it != seen_.end();) {
    const auto& messages = now[it->first];
    if (messages && !messages->count(it->second)) it = seen_.erase(it);
    else ++it;
  }
}

bool SeenRecord::Save() {
  if (!dirty_ || path_.empty()) return true;
  const size_t slash = path_.rfind('/');
  const std::string directory = slash == std::string::npos ? "." : (slash == 0 ? "/" : path_.substr(0, slash));
  platform::MakeHostDirs(directory);
  DirectoryLock lock(directory);
  if (!lock.Held()) return false;
  // What another instance wrote since is kept: the file's marks join ours.
  if (!ReadFile(seen_)) return false;
  DropStale();
  std::string text = std::string(kHeader) + "\n";
  for (const auto& [script, word] : seen_) text += std::to_string(word) + "\t" + script + "\n";
  if (!platform::WriteHostFileAtomic(path_, text)) return false;
  dirty_ = false;
  return true;
}

}  // namespace comfort
