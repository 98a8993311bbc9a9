#include "BuildRecord.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "ScriptTool.h"
#include "script/CTextFile.h"

namespace scripttool {
namespace fs = std::filesystem;

const char* const kBuildRecordName = ".vantorel-build";

namespace {
const char kSourceKey[] = "source ";

bool IsScriptSource(const fs::path& p) {
  std::string ext = p.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == ".txt";
}
}  // namespace

bool WriteBuildRecord(const std::string& gameDir, const std::string& srcDir, bool cp932, std::string& error) {
  std::error_code ec;
  const fs::path game = fs::absolute(gameDir, ec);
  const fs::path src = fs::absolute(srcDir, ec);
  fs::path named = fs::relative(src, game, ec);
  if (ec || named.empty()) named = src;
  const std::string text = std::string("# vantorel-script build: the plain scripts this game was built from\n") +
                           kSourceKey + named.generic_string() + "\nencoding " + (cp932 ? "cp932" : "utf-8") + "\n";
  return WriteHostFile((fs::path(gameDir) / kBuildRecordName).string(), text, error);
}

bool ReadBuildRecord(const std::string& gameDir, std::string& srcDir) {
  std::string text;
  std::string error;
  const fs::path record = fs::path(gameDir) / kBuildRecordName;
  std::error_code ec;
  if (!fs::is_regular_file(record, ec) || !ReadHostFile(record.string(), text, error)) return false;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(at, end - at);
    if (line.rfind(kSourceKey, 0) == 0) {
      const fs::path named = line.substr(sizeof kSourceKey - 1);
      srcDir = (named.is_absolute() ? named : fs::path(gameDir) / named).lexically_normal().string();
      return !named.empty();
    }
    at = end + 1;
  }
  return false;
}

std::string BuiltFileFor(const std::string& srcDir, const std::string& source, const std::string& gameDir) {
  std::string rel = fs::path(source).lexically_relative(srcDir).replace_extension(".Dat").generic_string();
  std::string enginePath = "GameData/Text/" + rel;
  CTextFile::MarkEnciphered(enginePath);
  return gameDir + "/" + enginePath;
}

bool ListScriptSources(const std::string& dir, std::vector<std::string>& sources, std::string& error) {
  sources.clear();
  std::error_code ec;
  for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_regular_file(ec) && IsScriptSource(it->path())) sources.push_back(it->path().string());
  }
  if (ec) {
    error = dir + ": cannot list the directory: " + ec.message();
    return false;
  }
  std::sort(sources.begin(), sources.end());
  return true;
}

std::vector<StaleSource> FindStaleSources(const std::string& srcDir, const std::string& gameDir) {
  std::vector<StaleSource> stale;
  std::vector<std::string> sources;
  std::string error;
  if (!ListScriptSources(srcDir, sources, error)) return stale;
  for (const std::string& source : sources) {
    const std::string built = BuiltFileFor(srcDir, source, gameDir);
    std::error_code ec, ec2;
    const fs::file_time_type builtTime = fs::last_write_time(built, ec);
    const fs::file_time_type sourceTime = fs::last_write_time(source, ec2);
    if (ec2) continue;
    if (ec) stale.push_back({source, built, true});
    else if (sourceTime > builtTime) stale.push_back({source, built, false});
  }
  return stale;
}

}  // namespace scripttool
