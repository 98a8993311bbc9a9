// What a snapshot of the game costs at a wait point of the demo: the time to
// take one after the one before (what the record of play does at every
// message) and to take one alone, and the bytes each holds of its own.
// The demo is played headless to its park scene, one wait point after
// another; every iteration snapshots one of them in turn.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "app/GameApp.h"
#include "msgbox/CMsgBox.h"
#include "msgbox/Snapshot.h"
#include "platform/diagnostics/Debug.h"
#include "platform/headless/Clock.h"
#include "platform/window/Window.h"

namespace {
namespace fs = std::filesystem;

// The demo's first wait points, each snapshotted after the one before, and
// the running game they were taken of (kept for the measurements).
struct DemoPoints {
  std::vector<msgbox::Snapshot> points;
  std::unique_ptr<GameApp> app;
  std::string error;
};

DemoPoints& Points() {
  static DemoPoints d = [] {
    DemoPoints out;
    const fs::path game = fs::path(VANTOREL_BINARY_DIR) / "game";
    if (!fs::exists(game / "GameData")) {
      out.error = "demo game not built";
      return out;
    }
    static const fs::path tmp = fs::temp_directory_path() / ("vantorel-snapbench-" + std::to_string(getpid()));
    fs::create_directories(tmp);
    fs::copy(game / "GameData", tmp / "GameData", fs::copy_options::recursive);
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(tmp, ec);
    });
    fs::current_path(tmp);
    setenv("XDG_CONFIG_HOME", (tmp / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (tmp / "data").c_str(), 1);
    platform::UseVirtualClock(0);
    platform::SetDebugEcho(false);
    out.app = std::make_unique<GameApp>();
    RunOptions o;
    o.headless = true;
    o.maxFrames = 1;
    out.app->SetRunOptions(o);
    if (out.app->Create(nullptr, 1) != S_OK) {
      out.error = "the demo did not start";
      return out;
    }
    CMsgBox* box = out.app->MessageWindow();
    for (int i = 0; i < 4000 && out.points.size() < 24; ++i) {
      const uint64_t at = out.app->PassNumber();
      o.maxFrames = at + 5;
      o.input.clear();
      if (box->AtWaitPoint()) {
        out.points.emplace_back();
        box->TakeSnapshot(out.points.back(), out.points.size() > 1 ? &out.points[out.points.size() - 2] : nullptr);
        o.input = {{at + 1, platform::ScriptedEvent::Press, "decide"},
                   {at + 3, platform::ScriptedEvent::Release, "decide"}};
        o.maxFrames = at + 12;
      }
      out.app->SetRunOptions(o);
      out.app->Run();
    }
    return out;
  }();
  return d;
}

// Each iteration gives one of the demo's wait points back (not timed) and
// snapshots it, after the wait point before it or alone.
void Measure(benchmark::State& state, bool shared) {
  DemoPoints& d = Points();
  if (!d.error.empty() || d.points.size() < 2) {
    state.SkipWithError(d.error.empty() ? "too few wait points" : d.error.c_str());
    return;
  }
  CMsgBox* box = d.app->MessageWindow();
  size_t i = 0, bytes = 0, taken = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const size_t k = 1 + i % (d.points.size() - 1);
    box->RestoreSnapshot(d.points[k]);
    msgbox::Snapshot s;
    state.ResumeTiming();
    box->TakeSnapshot(s, shared ? &d.points[k - 1] : nullptr);
    benchmark::DoNotOptimize(s);
    state.PauseTiming();
    bytes += s.OwnBytes(shared ? &d.points[k - 1] : nullptr);
    ++taken;
    ++i;
    state.ResumeTiming();
  }
  state.counters["bytes"] = taken ? double(bytes) / double(taken) : 0.0;
  state.counters["points"] = double(d.points.size());
}

void BM_SnapshotAfterPrevious(benchmark::State& state) { Measure(state, true); }
void BM_SnapshotAlone(benchmark::State& state) { Measure(state, false); }
BENCHMARK(BM_SnapshotAfterPrevious)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SnapshotAlone)->Unit(benchmark::kMicrosecond);
}  // namespace
