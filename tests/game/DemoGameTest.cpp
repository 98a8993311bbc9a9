// The demo game as built, played headless: after a few decide presses the
// screen shows the background, a speaker picture in its frame, the message
// window with typed text, and the wait cursor.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "support/ScratchDir.h"
#include "app/GameApp.h"
#include "gfx/CAnimPolygon.h"
#include "gfx/CPolygon.h"
#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Debug.h"
#include "platform/headless/Clock.h"
#include "platform/window/Window.h"

namespace fs = std::filesystem;
using namespace platform;

TEST(DemoGame, HeadlessRunShowsWindowSpeakerTextAndCursor) {
  fs::path game = fs::path(VANTOREL_BINARY_DIR) / "game";
  if (!fs::exists(game / "GameData")) GTEST_SKIP() << "demo game not built";
  ScratchDir dir;
  fs::copy(game / "GameData", fs::path(dir.Path()) / "GameData", fs::copy_options::recursive);
  setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
  UseVirtualClock(0);
  SetDebugEcho(false);
  {
    GameApp app;
    RunOptions o;
    o.headless = true;
    o.maxFrames = 1;
    app.SetRunOptions(o);
    ASSERT_EQ(app.Create(nullptr, 1), S_OK);
    CMsgBox* box = app.MessageWindow();
    // Read on, one decide tap per 60 passes, until a named speaker with a
    // picture has said something in full.
    bool found = false;
    for (int line = 0; line < 40 && !found; ++line) {
      uint64_t at = app.PassNumber();
      o.maxFrames = at + 60;
      o.input = {{at + 1, ScriptedEvent::Press, "decide"}, {at + 6, ScriptedEvent::Release, "decide"}};
      app.SetRunOptions(o);
      app.Run();
      ASSERT_TRUE(box->Script().Running());
      found = box->Window().SpeakerSprite()->texture && !box->Window().MessageText().empty() &&
              box->Window().TypedLength() == box->Window().MessageText().size();
    }
    ASSERT_TRUE(found) << "no speaker with a picture in the first 40 lines";
    EXPECT_TRUE(box->Window().WindowSprite()->texture);
    EXPECT_TRUE(box->Window().CursorSprite()->texture);

    std::vector<uint32_t> px;
    ASSERT_TRUE(app.GetDevice()->ReadPixels(px));
    auto at = [&](int x, int y) { return px[size_t(y) * 640 + x] & 0xFFFFFF; };
    // Text is drawn in white-ish glyphs inside the window.
    int bright = 0;
    for (int y = 310; y < 420; ++y)
      for (int x = 180; x < 620; ++x) {
        uint32_t p = at(x, y);
        if (((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) > 200 && (p & 0xFF) > 200) ++bright;
      }
    EXPECT_GT(bright, 200);
    // The speaker picture area is not one flat colour.
    uint32_t first = at(40, 330);
    int differs = 0;
    for (int y = 300; y < 428; y += 4)
      for (int x = 12; x < 140; x += 4) differs += at(x, y) != first;
    EXPECT_GT(differs, 100);
  }
  UseRealClock();
  SetDebugEcho(true);
  SetCurrentWindow(nullptr);
}
