// A headless run traces the same whether or not it takes screenshots: frames
// nobody looks at are never rasterised, and nothing else may depend on
// whether they were. The demo game is played for 900 passes (title, first
// scenes, music), once with a screenshot every 50 passes and once without.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/ScratchDir.h"
#include "app/GameApp.h"
#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Debug.h"
#include "platform/diagnostics/Trace.h"
#include "platform/headless/Clock.h"
#include "platform/window/HeadlessWindow.h"
#include "platform/window/Window.h"

namespace fs = std::filesystem;
using namespace platform;

namespace {
std::string Play(const fs::path& work, const std::string& name, bool screenshots) {
  const fs::path game = work / name;
  fs::create_directories(game);
  fs::copy(fs::path(VANTOREL_BINARY_DIR) / "game" / "GameData", game / "GameData", fs::copy_options::recursive);
  const std::string trace = (work / (name + ".jsonl")).string();
  const fs::path before = fs::current_path();
  fs::current_path(game);
  EXPECT_TRUE(trace::Open(trace));
  UseVirtualClock(0);
  CMsgBox::currentScriptName.clear();  // one per process: each run starts afresh
  {
    GameApp app;
    RunOptions o;
    o.headless = true;
    o.maxFrames = 900;
    for (uint64_t at = 30; at < 900; at += 40) {
      o.input.push_back({at, ScriptedEvent::Press, "decide"});
      o.input.push_back({at + 4, ScriptedEvent::Release, "decide"});
    }
    if (screenshots)
      for (uint64_t at = 0; at < 900; at += 50) o.screenshots[at].push_back((work / (name + std::to_string(at) + ".png")).string());
    app.SetRunOptions(o);
    EXPECT_EQ(app.Create(nullptr, 1), S_OK);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_FALSE(app.ScreenshotFailed());
  }
  trace::Close();
  fs::current_path(before);
  return testsupport::ReadHostFile(trace);
}
}  // namespace

TEST(HeadlessShots, ARunTracesTheSameWithAndWithoutScreenshots) {
  if (!fs::exists(fs::path(VANTOREL_BINARY_DIR) / "game" / "GameData")) GTEST_SKIP() << "demo game not built";
  ScratchDir dir;
  setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
  SetDebugEcho(false);
  SetHeadlessAnswer(true);
  const fs::path work = dir.Path();
  const std::string without = Play(work, "plain", false);
  const std::string with = Play(work, "shots", true);
  SetDebugEcho(true);
  SetCurrentWindow(nullptr);
  UseRealClock();
  ASSERT_GT(without.size(), 10000u);
  if (with != without) {
    size_t at = 0;
    while (at < with.size() && at < without.size() && with[at] == without[at]) ++at;
    ADD_FAILURE() << "the traces differ from byte " << at << ": " << without.substr(at > 80 ? at - 80 : 0, 240)
                  << "\n--- with screenshots ---\n" << with.substr(at > 80 ? at - 80 : 0, 240);
  }
  EXPECT_TRUE(fs::exists(work / "shots850.png"));
  // The run got past the title into the story.
  EXPECT_NE(without.find("\"menuActive\":false"), std::string::npos);
}
