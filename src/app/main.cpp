// The entry point: parse the command line, enter the game directory, build
// the one GameApp, create it and run its message loop.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/GameApp.h"
#include "framework/GameDataPaths.h"
#include "app/RunOptions.h"
#include "app/StartupWork.h"
#include "input/GameActions.h"
#include "platform/diagnostics/Debug.h"
#include "platform/diagnostics/Guid.h"
#include "platform/diagnostics/SystemInfo.h"
#include "platform/input/InputBindings.h"
#include "platform/text/TextCodec.h"
#include "platform/diagnostics/Trace.h"
#include "platform/files/Files.h"
#include "platform/headless/Clock.h"
#include "platform/window/DisplayDriver.h"
#include "platform/window/HeadlessWindow.h"
#include "platform/window/Host.h"
#include "script/CTextFile.h"

#ifndef VANTOREL_VERSION
#define VANTOREL_VERSION "unknown"
#endif
#ifndef VANTOREL_DEMO_FROM_BIN
#define VANTOREL_DEMO_FROM_BIN "../share/games/vantorel/demo"
#endif

namespace {
const char kUsage[] =
    "usage: vantorel [--game-dir DIR] [--trace FILE] [--watch] [--save-dir DIR] [--settings FILE]\n"
    "                [--language LANG]\n"
    "                [--continue]\n"
    "       vantorel --headless [--game-dir DIR] [--frames N] [--screenshot N:FILE.png]...\n"
    "                [--input FILE] [--answer yes|no] [--trace FILE] [--watch]\n"
    "                [--rewrite-at N FROM TO]... [--save-dir DIR]\n"
    "       vantorel --version | --help | --info\n"
    "Runs the game whose GameData directory is below DIR (default: the working directory; without\n"
    "GameData there and no --game-dir, the installed demo game).\n"
    "  --headless             no window and no sound device; a virtual clock, 16 ms per pass\n"
    "  --frames N             stop after N passes (headless)\n"
    "  --screenshot N:FILE    save the game area drawn in pass N as PNG (headless, repeatable)\n"
    "  --input FILE           scripted input, one event per line (headless)\n"
    "  --answer yes|no        the answer to every Yes/No question in a headless run (default yes)\n"
    "  --trace FILE           JSON Lines of the engine's state, one line per pass that changed it\n"
    "  --watch                reload the open script and the pictures shown when their files are saved\n"
    "  --rewrite-at N FROM TO copy FROM over TO at pass N (headless; for tests of --watch)\n"
    "  --save-dir DIR         keep saves below DIR (default: in the game, or in\n"
    "                         $XDG_DATA_HOME/vantorel/GAME-ID when the game cannot be written)\n"
    "  --settings FILE        the player's settings from and to FILE instead of the usual place\n"
    "  --language LANG        play in the translation GameData/Translations/LANG.po (or .mo) for this\n"
    "                         run; ja: the original\n"
    "  --continue             start from the newest save of any kind (quick, auto or a slot)\n"
    "  --info                 what the engine finds here (drivers, sound device, soundfont, fonts,\n"
    "                         game, saves, bindings), one line each, for bug reports\n"
    "Exit status: 0 after a normal quit or --frames; 1 when start-up fails or a screenshot or\n"
    "the trace could not be written; 2 for a bad command line.\n";

// The game reads everything below GameData (matched without regard to case,
// as for every path): without it nothing can start.
bool HasGameData() {
  std::error_code ec;
  return std::filesystem::is_directory(platform::ResolvePath("GameData"), ec);
}
// The demo game installed with the engine, found from the program's own
// place (VANTOREL_DEMO_DIR in the environment overrides it): entered when it
// has a GameData directory.
bool EnterInstalledDemo() {
  namespace fs = std::filesystem;
  const char* env = std::getenv("VANTOREL_DEMO_DIR");
  std::error_code ec;
  std::string dir;
  if (env && *env) {
    dir = env;
  } else {
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return false;
    dir = (self.parent_path() / VANTOREL_DEMO_FROM_BIN).lexically_normal().string();
  }
  if (!std::filesystem::is_directory(std::filesystem::path(dir) / "GameData", ec)) return false;
  return ::chdir(dir.c_str()) == 0;
}
// The opening script, enciphered or plain: without it nothing of the game
// can start, and every file the start-up looks for would be reported in a
// box of its own (an empty GameData gave six).
bool HasOpeningScript() {
  const std::string plain = std::string(gamedata::kTextDir) + SJ(gamedata::kOpeningScript);
  std::string marked = plain;
  return (CTextFile::MarkEnciphered(marked) && platform::FileExists(marked)) || platform::FileExists(plain);
}
// One line per thing found, "label: value".
void PrintInfo() {
  platform::SetDebugEcho(false);  // the drivers' own notes are not part of the report
  std::printf("version: vantorel %s\n", VANTOREL_VERSION);
  for (const auto& [label, value] : platform::CollectSystemInfo()) std::printf("%s: %s\n", label.c_str(), value.c_str());
  const std::string here = platform::CurrentDirectory();
  if (HasGameData()) {
    std::printf("game directory: %s%s\n", here.c_str(), HasOpeningScript() ? "" : " (no opening script: nothing can start)");
    std::string saves = platform::WritePath(SJ(gamedata::kSaveDir));
    if (!saves.empty() && saves[0] != '/') saves = here + "/" + saves;
    std::printf("save directory: %s%s\n", saves.c_str(),
                platform::WriteRoot().empty() ? "" : " (the game's own directory cannot be written)");
  } else {
    std::printf("game directory: none (no GameData in %s)\n", here.c_str());
    std::printf("save directory: none\n");
  }
  platform::ActionMapSpec spec;
  spec.guid = GuidText(kGameActionMapGuid);
  const std::string bindings = platform::BindingsFilePath(spec);
  std::error_code unreadable;  // a place we may not look into counts as not written
  std::printf("bindings file: %s%s\n", bindings.empty() ? "none (no HOME)" : bindings.c_str(),
              !bindings.empty() && !std::filesystem::exists(bindings, unreadable) ? " (not written yet: the default keys)" : "");
}
// Where this run writes the player's files: --save-dir, else the game's own
// place when it can be written (saves copied from another machine are found
// there), else the player's data directory for this game.
void ChooseSavePlace(const RunOptions& options) {
  // The opening as the game reads it: its enciphered file, else a plain one.
  const std::string plain = std::string(gamedata::kTextDir) + SJ(gamedata::kOpeningScript);
  std::string marked = plain, opening;
  if (!CTextFile::MarkEnciphered(marked) || !platform::ReadWholeFile(marked, opening, platform::file_caps::kScript, false))
    platform::ReadWholeFile(plain, opening, platform::file_caps::kScript, false);
  const std::string here = platform::CurrentDirectory();
  platform::SetGameId(platform::MakeGameId(std::filesystem::path(here).filename().string(), opening));
  if (!options.saveDir.empty()) {
    platform::SetWriteRoot(options.saveDir);
  } else if (!platform::GamePlaceWritable(SJ(gamedata::kSaveStem) + "1.Dat")) {
    const std::string data = platform::PlayerDataDirectory();
    if (!data.empty()) platform::SetWriteRoot(data);
  }
}
}  // namespace

int main(int argc, char** argv) {
  platform::SkipComposeTable();
  RunOptions options;
  std::string gameDir, error;
  if (!ParseCommandLine(argc, argv, options, gameDir, error)) {
    std::fprintf(stderr, "vantorel: %s\n%s", error.c_str(), kUsage);
    return 2;
  }
  if (options.showHelp) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (options.showVersion) {
    std::puts("vantorel " VANTOREL_VERSION);
    return 0;
  }
  if (::chdir(gameDir.c_str()) != 0) {
    std::fprintf(stderr, "vantorel: cannot enter game directory '%s'\n", gameDir.c_str());
    return 2;
  }
  // Started from a desktop menu or a bare shell: play the installed demo.
  const std::string started = platform::CurrentDirectory();
  if (!HasGameData() && !options.gameDirGiven && EnterInstalledDemo()) {
    std::fprintf(stderr, "vantorel: no GameData in '%s'; starting the demo game installed in '%s'\n",
                 started.c_str(), platform::CurrentDirectory().c_str());
  }
  ChooseSavePlace(options);
  if (options.showInfo) {
    PrintInfo();
    return 0;
  }
  if (!HasGameData()) {
    std::fprintf(stderr,
                 "vantorel: there is no GameData directory in '%s'; run vantorel in the game's directory "
                 "or name it with --game-dir DIR\n",
                 platform::CurrentDirectory().c_str());
    return 1;
  }
  if (!HasOpeningScript()) {
    std::string opening = gamedata::kOpeningScript;
    std::replace(opening.begin(), opening.end(), '\\', '/');
    std::fprintf(stderr, "vantorel: the GameData directory in '%s' holds no game: its opening script GameData/Text/%s is missing\n",
                 platform::CurrentDirectory().c_str(), opening.c_str());
    return 1;
  }
  if (!options.tracePath.empty() && !platform::trace::Open(options.tracePath)) {
    std::fprintf(stderr, "vantorel: cannot write trace file '%s'\n", options.tracePath.c_str());
    return 2;
  }
  if (options.headless) platform::UseVirtualClock(0);
  platform::SetHeadlessAnswer(options.answerYes);

  int status;
  {
    // Fonts, sound libraries and the first frame's pictures, on workers
    // while the window is made.
    StartupWork startupWork(!options.headless);
    GameApp app;
    app.SetRunOptions(options);
    // A failed start-up has already been reported to the player; it ends the
    // program with a failure status.
    if (FAILED(app.Create(nullptr, 1))) {
      platform::trace::EndFrame(app.PassNumber(), platform::timeGetTime());
      status = 1;
    } else {
      status = app.Run();
    }
    // Each failed screenshot was named on stderr as it happened.
    if (status == 0 && app.ScreenshotFailed()) status = 1;
  }
  // So was a trace that could not be written to its end.
  if (!platform::trace::Close() && status == 0) status = 1;
  return platform::EndProgram(status);
}
