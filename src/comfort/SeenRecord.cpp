#include "comfort/SeenRecord.h"

#include <sstream>

#include "platform/files/Files.h"
#include "platform/text/TextCodec.h"

namespace comfort {
namespace {
constexpr const char* kHeader = "vantorel-seen 1";
}

void SeenRecord::Load() {
  seen_.clear();
  dirty_ = false;
  if (path_.empty()) return;
  std::string text;
  const platform::FileRead read = platform::ReadRegularFile(path_, text, platform::file_caps::kSeen);
  if (read == platform::FileRead::kNotRegular || read == platform::FileRead::kTooLarge)
    platform::ReportRefusedFile(platform::Utf8ToCp932Lossy(path_), read, platform::file_caps::kSeen);
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != kHeader) return;
  // Each line: the word's position, a tab, the script's name (CP932).
  while (std::getline(in, line)) {
    size_t tab = line.find('\t');
    if (tab == 0 || tab == std::string::npos || tab > 9 || tab + 1 == line.size()) continue;
    size_t word = 0;
    bool digits = true;
    for (size_t i = 0; i < tab; ++i) {
      if (line[i] < '0' || line[i] > '9') digits = false;
      word = word * 10 + static_cast<size_t>(line[i] - '0');
    }
    if (digits) seen_.insert({line.substr(tab + 1), word});
  }
}

bool SeenRecord::Mark(const std::string& script, size_t word) {
  if (!seen_.insert({script, word}).second) return false;
  dirty_ = true;
  return true;
}

bool SeenRecord::Save() {
  if (!dirty_ || path_.empty()) return true;
  std::string text = std::string(kHeader) + "\n";
  for (const auto& [script, word] : seen_) text += std::to_string(word) + "\t" + script + "\n";
  const size_t slash = path_.rfind('/');
  if (slash != std::string::npos) platform::MakeHostDirs(path_.substr(0, slash));
  if (!platform::WriteHostFileAtomic(path_, text)) return false;
  dirty_ = false;
  return true;
}

}  // namespace comfort
