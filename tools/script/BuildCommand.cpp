// build [--cp932] [--watch] [--create] SRCDIR GAMEDIR: every plain script of
// a game into its GameData/Text, and with --watch again whenever one is saved.
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>
#include <thread>

#include "BuildRecord.h"
#include "ClosedFiles.h"
#include "ScriptTool.h"

namespace scripttool {
namespace {
namespace fs = std::filesystem;

std::atomic<bool> g_stop{false};
void StopWatching(int) { g_stop = true; }

enum class Built { Yes, Failed, KeptLast };

// Encodes one source into the game's text directory, under the name the
// engine opens: the "E" goes before the first "." of the path below the
// game directory, directory names included. keepOverEmpty: a source that
// reads as empty (an editor between truncating and writing) leaves a built
// file that exists as it is.
Built BuildOne(const std::string& srcDir, const std::string& src, const std::string& gameDir, bool cp932,
               bool keepOverEmpty, bool report = true) {
  const std::string target = BuiltFileFor(srcDir, src, gameDir);
  SourceScript source;
  std::string bytes;
  std::string error;
  std::error_code ec;
  if (!LoadSource(src, cp932, source, error)) {
    PrintError(error);
    return Built::Failed;
  }
  if (keepOverEmpty && source.words.empty() && fs::exists(target, ec)) {
    PrintError(src + " reads as empty: the game keeps its last build of it");
    return Built::KeptLast;
  }
  if (!EncipherSource(source, bytes, error) || !WriteHostFile(target, bytes, error)) {
    PrintError(error);
    return Built::Failed;
  }
  if (report) std::printf("%s -> %s (%zu words)\n", src.c_str(), target.c_str(), source.words.size());
  return Built::Yes;
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

struct Watched {
  Stamp built;          // the file as last built
  Stamp seen;           // as seen at the last look, while it changes
  bool changing = false;
  bool letGo = false;   // its writer closed it (or renamed it into place) since
};

// Rebuilds each source once it is saved (or appears): its writer has let go
// of it and it held still for a look, so that a file still being written is
// never built half; a script that fails is reported and watched on, for the
// author to mend.
int Watch(const std::string& srcDir, const std::string& gameDir, bool cp932, const std::vector<std::string>& built) {
  std::map<std::string, Watched> files;
  for (const std::string& p : built) files[p].built = StampOf(p);
  std::signal(SIGINT, StopWatching);
  std::signal(SIGTERM, StopWatching);
  std::printf("watching %s (Ctrl+C ends)\n", srcDir.c_str());
  std::fflush(stdout);
  std::vector<std::string> sources;
  std::string error;
  ClosedFiles closed(srcDir);
  while (!g_stop) {
    // A tenth of a second between looks: a save is built after two looks
    // that agree, well within a second of the author's keystroke.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (!ListScriptSources(srcDir, sources, error)) continue;  // the directory may be between an editor's renames
    closed.Update();
    for (const std::string& src : sources) {
      const Stamp now = StampOf(src);
      Watched& w = files[src];
      w.letGo = closed.Take(src) || w.letGo;
      if (!w.changing && now == w.built) continue;
      if (!w.changing || !(now == w.seen)) {
        w.changing = true;
        w.seen = now;
        continue;
      }
      if (closed.Covers(src) && !w.letGo) continue;  // still open for writing
      w.changing = false;
      w.letGo = false;
      w.built = now;
      BuildOne(srcDir, src, gameDir, cp932, true);
      std::fflush(stdout);
      std::fflush(stderr);
    }
  }
  return kOk;
}
}  // namespace

bool BuildScripts(const std::string& srcDir, const std::string& gameDir, bool cp932, bool report,
                  std::vector<std::string>* built) {
  std::vector<std::string> sources;
  std::string error;
  if (!ListScriptSources(srcDir, sources, error)) {
    PrintError(error);
    return false;
  }
  int failures = 0;
  for (const std::string& src : sources) failures += BuildOne(srcDir, src, gameDir, cp932, false, report) == Built::Yes ? 0 : 1;
  if (!WriteBuildRecord(gameDir, srcDir, cp932, error)) PrintError("note: " + error);
  if (built) *built = sources;
  if (failures > 0) {
    PrintError(std::to_string(failures) + " of " + std::to_string(sources.size()) + " scripts failed");
    return false;
  }
  return true;
}

int RunBuild(const std::vector<std::string>& args) {
  const char* usage = " (usage: vantorel-script build [--cp932] [--watch] [--create] SRCDIR GAMEDIR)";
  CommandLine line;
  std::string error;
  std::vector<std::string> rest;
  bool watch = false;
  bool create = false;
  for (const std::string& a : args) {
    if (a == "--watch")
      watch = true;
    else if (a == "--create")
      create = true;
    else
      rest.push_back(a);
  }
  if (!ParseCommandLine(rest, false, 2, line, error)) {
    PrintError("build: " + error + usage);
    return kUsage;
  }
  const std::string srcDir = line.positional[0];
  const std::string gameDir = line.positional[1];
  std::error_code ec;
  if (!fs::is_directory(srcDir, ec)) {
    PrintError(srcDir + ": not a directory");
    return kFailed;
  }
  // Writing into a directory that is not a game (a mistyped path, the
  // source directory itself) would scatter files where nobody looks.
  const fs::path gameData = fs::path(gameDir) / "GameData";
  if (!fs::is_directory(gameData, ec)) {
    if (!create) {
      PrintError(gameDir + ": not a game (it has no GameData directory); give --create to make one there");
      return kFailed;
    }
    if (!fs::create_directories(gameData / "Text", ec) && ec) {
      PrintError(gameDir + ": cannot create GameData/Text: " + ec.message());
      return kFailed;
    }
  }
  std::vector<std::string> sources;
  if (!ListScriptSources(srcDir, sources, error)) {
    PrintError(error);
    return kFailed;
  }
  if (sources.empty() && !watch) {
    PrintError(srcDir + ": no .txt scripts found");
    return kFailed;
  }
  const bool built = BuildScripts(srcDir, gameDir, line.cp932, true, &sources);
  if (watch) return Watch(srcDir, gameDir, line.cp932, sources);
  return built ? kOk : kFailed;
}
}  // namespace scripttool
