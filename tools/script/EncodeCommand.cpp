// encode SOURCE TARGET and build [--watch] SRCDIR GAMEDIR.
#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>
#include <thread>

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

namespace {
namespace fs = std::filesystem;

std::atomic<bool> g_stop{false};
void StopWatching(int) { g_stop = true; }

bool ListSources(const fs::path& srcDir, std::vector<fs::path>& sources, std::string& error) {
  sources.clear();
  std::error_code ec;
  for (fs::recursive_directory_iterator it(srcDir, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_regular_file(ec) && IsScriptSource(it->path())) sources.push_back(it->path());
  }
  if (ec) {
    error = srcDir.string() + ": cannot list the directory: " + ec.message();
    return false;
  }
  std::sort(sources.begin(), sources.end());
  return true;
}

// Encodes one source into the game's text directory, under the name the
// engine opens: the "E" goes before the first "." of the path below the
// game directory, directory names included.
bool BuildOne(const fs::path& srcDir, const fs::path& src, const std::string& gameDir, bool cp932) {
  std::string rel = src.lexically_relative(srcDir).replace_extension(".Dat").generic_string();
  std::string enginePath = "GameData/Text/" + rel;
  CTextFile::MarkEnciphered(enginePath);
  std::string error;
  if (EncodeOne(src.string(), cp932, gameDir + "/" + enginePath, error)) return true;
  PrintError(error);
  return false;
}

// What tells a saved file from the one built last: its time and size.
struct Stamp {
  fs::file_time_type time{};
  std::uintmax_t size = 0;
  bool operator==(const Stamp&) const = default;
};
Stamp StampOf(const fs::path& p) {
  std::error_code ec;
  Stamp s;
  s.time = fs::last_write_time(p, ec);
  s.size = fs::file_size(p, ec);
  return s;
}

// Rebuilds each source when it is saved (or appears) until interrupted; a
// script that fails is reported and watched on, for the author to mend.
int Watch(const fs::path& srcDir, const std::string& gameDir, bool cp932, const std::vector<fs::path>& built) {
  std::map<fs::path, Stamp> stamps;
  for (const fs::path& p : built) stamps[p] = StampOf(p);
  std::signal(SIGINT, StopWatching);
  std::signal(SIGTERM, StopWatching);
  std::printf("watching %s (Ctrl+C ends)\n", srcDir.string().c_str());
  std::fflush(stdout);
  std::vector<fs::path> sources;
  std::string error;
  while (!g_stop) {
    // A quarter of a second keeps a saved script in the game well within a second.
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    if (!ListSources(srcDir, sources, error)) continue;  // the directory may be between an editor's renames
    for (const fs::path& src : sources) {
      const Stamp now = StampOf(src);
      auto known = stamps.find(src);
      if (known != stamps.end() && known->second == now) continue;
      stamps[src] = now;
      BuildOne(srcDir, src, gameDir, cp932);
      std::fflush(stdout);
    }
  }
  return kOk;
}
}  // namespace

int RunBuild(const std::vector<std::string>& args) {
  CommandLine line;
  std::string error;
  std::vector<std::string> rest;
  bool watch = false;
  for (const std::string& a : args) {
    if (a == "--watch")
      watch = true;
    else
      rest.push_back(a);
  }
  if (!ParseCommandLine(rest, false, 2, line, error)) {
    PrintError("build: " + error + " (usage: vantorel-script build [--cp932] [--watch] SRCDIR GAMEDIR)");
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
  if (!ListSources(srcDir, sources, error)) {
    PrintError(error);
    return kFailed;
  }
  if (sources.empty() && !watch) {
    PrintError(srcDir.string() + ": no .txt scripts found");
    return kFailed;
  }
  int failures = 0;
  for (const fs::path& src : sources) failures += BuildOne(srcDir, src, gameDir, line.cp932) ? 0 : 1;
  if (watch) return Watch(srcDir, gameDir, line.cp932, sources);
  if (failures > 0) {
    PrintError(std::to_string(failures) + " of " + std::to_string(sources.size()) + " scripts failed");
    return kFailed;
  }
  return kOk;
}
}  // namespace scripttool
