// The entry point: parse the command line, enter the game directory, build
// the one GameApp, create it and run its message loop.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/GameApp.h"
#include "app/RunOptions.h"
#include "platform/Clock.h"
#include "platform/Trace.h"
#include "platform/Window.h"

namespace {
const char kUsage[] =
    "usage: vantorel [--game-dir DIR] [--headless] [--frames N] [--screenshot N:FILE.png]...\n"
    "                [--input FILE] [--answer yes|no] [--trace FILE]\n"
    "Runs the game whose GameData directory is below DIR (default: the working directory).\n";
}

int main(int argc, char** argv) {
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
  if (::chdir(gameDir.c_str()) != 0) {
    std::fprintf(stderr, "vantorel: cannot enter game directory '%s'\n", gameDir.c_str());
    return 2;
  }
  if (!options.tracePath.empty() && !platform::trace::Open(options.tracePath)) {
    std::fprintf(stderr, "vantorel: cannot write trace file '%s'\n", options.tracePath.c_str());
    return 2;
  }
  if (options.headless) platform::UseVirtualClock(0);
  platform::SetHeadlessAnswer(options.answerYes);

  int status;
  {
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
  }
  platform::trace::Close();
  return status;
}
