#include "comfort/ScriptMessages.h"

#include <chrono>
#include <filesystem>
#include <system_error>

#include "platform/files/Files.h"
#include "script/CTextFile.h"
#include "script/StepBoundaries.h"

namespace comfort {

std::optional<std::set<size_t>> ScriptMessages::Messages(const std::string& script) {
  if (!file_) return std::nullopt;
  std::string path = textDir_ + script;
  std::string stored = path;
  if (file_->IsEncrypted() && !CTextFile::MarkEnciphered(stored)) return std::nullopt;
  // The file as it is now: read again only when it changed.
  namespace fs = std::filesystem;
  const std::string host = platform::ResolvePath(stored);
  std::error_code ec;
  Entry now;
  now.exists = fs::exists(host, ec) && !ec;
  if (now.exists) {
    const auto time = fs::last_write_time(host, ec);
    if (!ec) now.time = std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
    now.size = fs::is_regular_file(host, ec) ? fs::file_size(host, ec) : 0;
  }
  auto it = known_.find(script);
  if (it != known_.end() && it->second.exists == now.exists && it->second.time == now.time &&
      it->second.size == now.size)
    return it->second.messages;
  WordList words;
  if (!now.exists || FAILED(file_->Read(path, words))) {
    now.messages = std::set<size_t>();  // gone: none of its marks stands
  } else if (!words.empty()) {
    const std::vector<size_t> at = script::MessageWords(words);
    now.messages = std::set<size_t>(at.begin(), at.end());
  }
  known_[script] = now;
  return now.messages;
}

}  // namespace comfort
