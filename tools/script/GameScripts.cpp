#include "GameScripts.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "framework/GameDataPaths.h"
#include "platform/text/TextCodec.h"
#include "script/CTextFile.h"

namespace scripttool {
namespace {
namespace fs = std::filesystem;

bool IsDatExtension(const std::string& ext) {
  std::string lower = ext;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  return lower == ".dat";
}

// The engine name (below the text directory, CP932, backslashes) of an
// enciphered script file's host path relative to GameData/Text; false when
// the file is not the enciphered form of a name the engine builds.
bool EngineName(const fs::path& relative, std::string& name) {
  std::string host = relative.generic_string();
  size_t dot = host.find('.');
  if (dot == std::string::npos || dot == 0 || host[dot - 1] != 'E' || !IsDatExtension(host.substr(dot))) {
    return false;
  }
  host.erase(dot - 1, 1);
  std::replace(host.begin(), host.end(), '/', '\\');
  if (!platform::Utf8ToCp932(host, name)) name = host;  // raw bytes, as copied from Windows
  return true;
}

}  // namespace

bool ReadScripts(std::vector<WalkedScript>& scripts, std::string& error) {
  const fs::path textDir = "GameData/Text";
  std::error_code ec;
  if (!fs::is_directory(textDir, ec)) {
    error = "no GameData/Text directory";
    return false;
  }
  std::vector<std::string> names;
  for (fs::recursive_directory_iterator it(textDir, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name;
    if (it->is_regular_file(ec) && EngineName(it->path().lexically_relative(textDir), name)) names.push_back(name);
  }
  if (ec) {
    error = "cannot list GameData/Text: " + ec.message();
    return false;
  }
  std::sort(names.begin(), names.end());
  CTextFile reader(true);
  for (const std::string& name : names) {
    WalkedScript script;
    script.name = name;
    reader.Read(gamedata::kTextDir + name, script.words);
    if (!script.words.empty() && script.words[0] == SJ("セーブ日時")) continue;  // a save
    scripts.push_back(std::move(script));
  }
  return true;
}

}  // namespace scripttool
