// A message posted from another thread (the music's end) ends the message
// loop's wait at once instead of at its time-out.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "app/CD3DApp.h"
#include "platform/diagnostics/Debug.h"
#include "platform/headless/Clock.h"
#include "platform/window/Window.h"

using namespace platform;
using Clock = std::chrono::steady_clock;

namespace {
constexpr uint32_t kPing = WM_APP + 7;

double MsSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

// A minimised game: the loop only waits for messages. Each ping is posted
// 20 ms into the loop's wait, after the one before was handled.
class MinimisedApp : public CD3DApp {
 public:
  MinimisedApp() {
    width = 64;
    height = 48;
  }
  LRESULT HandleMessage(HWND h, uint32_t msg, uintptr_t w, intptr_t l) override {
    if (msg == kPing) {
      latencies.push_back(MsSince(postedAt));
      handled = int(latencies.size());
      if (handled == kPings) mainWindow->PostMessage(WM_QUIT);
    }
    return CD3DApp::HandleMessage(h, msg, w, l);
  }
  static constexpr int kPings = 5;
  std::vector<double> latencies;
  std::atomic<int> handled{0};
  Clock::time_point postedAt;
};
}  // namespace

TEST(MessageWake, AMinimisedLoopHandlesAPostedMessageAtOnce) {
  UseRealClock();
  SetDebugEcho(false);
  {
    MinimisedApp app;
    ASSERT_EQ(app.Create(nullptr, 1), S_OK);
    app.HandleMessage(app.GetWindow(), WM_ACTIVATE, uintptr_t(1) << 16, 0);  // minimised
    std::thread poster([&] {
      for (int i = 0; i < MinimisedApp::kPings; ++i) {
        while (app.handled < i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        app.postedAt = Clock::now();
        app.GetWindow()->PostMessage(kPing);
      }
    });
    app.Run();
    poster.join();
    ASSERT_EQ(app.latencies.size(), size_t(MinimisedApp::kPings));
    std::vector<double> sorted = app.latencies;
    std::sort(sorted.begin(), sorted.end());
    // The loop waits up to 100 ms at a time; a woken wait ends within a few.
    EXPECT_LT(sorted[MinimisedApp::kPings / 2], 40.0);
  }
  SetCurrentWindow(nullptr);
  SetDebugEcho(true);
}
