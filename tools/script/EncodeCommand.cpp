// encode SOURCE TARGET and build SRCDIR GAMEDIR.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "ScriptTool.h"
#include "script/CTextFile.h"

namespace scripttool {
namespace {
// Encodes one source into the enciphered file at target (already "E"-named).
bool EncodeOne(const std::string& sourcePath, bool cp932, const std::string& target, std::string& error) {
  SourceScript source;
  std::string bytes;
  if (!LoadSource(sourcePath, cp932, source, error)) return false;
  if (!EncipherSource(source, bytes, error)) return false;
  if (!WriteHostFile(target, bytes, error)) return false;
  std::printf("%s -> %s (%zu words)\n", sourcePath.c_str(), target.c_str(), source.words.size());
  return true;
}

bool IsScriptSource(const std::filesystem::path& p) {
  std::string ext = p.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == ".txt";
}
}  // namespace

int RunEncode(const std::vector<std::string>& args) {
  CommandLine line;
  std::string error;
  if (!ParseCommandLine(args, false, 2, line, error)) {
    PrintError("encode: " + error + " (usage: vantorel-script encode [--cp932] SOURCE TARGET)");
    return kUsage;
  }
  std::string target = line.positional[1];
  if (!MarkFileName(target)) {
    PrintError(target + ": the file name needs a \".\" (an extension) to carry the \"E\" of the enciphered form");
    return kFailed;
  }
  if (!EncodeOne(line.positional[0], line.cp932, target, error)) {
    PrintError(error);
    return kFailed;
  }
  return kOk;
}

int RunBuild(const std::vector<std::string>& args) {
  namespace fs = std::filesystem;
  CommandLine line;
  std::string error;
  if (!ParseCommandLine(args, false, 2, line, error)) {
    PrintError("build: " + error + " (usage: vantorel-script build [--cp932] SRCDIR GAMEDIR)");
    return kUsage;
  }
  const fs::path srcDir = line.positional[0];
  const std::string gameDir = line.positional[1];
  std::error_code ec;
  if (!fs::is_directory(srcDir, ec)) {
    PrintError(srcDir.string() + ": not a directory");
    return kFailed;
  }
  std::vector<fs::path> sources;
  for (fs::recursive_directory_iterator it(srcDir, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_regular_file(ec) && IsScriptSource(it->path())) sources.push_back(it->path());
  }
  if (ec) {
    PrintError(srcDir.string() + ": cannot list the directory: " + ec.message());
    return kFailed;
  }
  if (sources.empty()) {
    PrintError(srcDir.string() + ": no .txt scripts found");
    return kFailed;
  }
  std::sort(sources.begin(), sources.end());
  int failures = 0;
  for (const fs::path& src : sources) {
    std::string rel = src.lexically_relative(srcDir).replace_extension(".Dat").generic_string();
    // The same name the engine opens: the "E" goes before the first "." of the
    // path below the game directory, directory names included.
    std::string enginePath = "GameData/Text/" + rel;
    CTextFile::MarkEnciphered(enginePath);
    if (!EncodeOne(src.string(), line.cp932, gameDir + "/" + enginePath, error)) {
      PrintError(error);
      ++failures;
    }
  }
  if (failures > 0) {
    PrintError(std::to_string(failures) + " of " + std::to_string(sources.size()) + " scripts failed");
    return kFailed;
  }
  return kOk;
}
}  // namespace scripttool
