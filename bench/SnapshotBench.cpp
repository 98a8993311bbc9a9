// What a snapshot of the game costs at a wait point of the demo: the time to
// take one after the one before (what the record of play does at every
// message) and to take one alone, and the bytes each holds of its own.
// The demo is played headless to its park scene, one wait point after
// another; every iteration snapshots one of them in turn.
#include <benchmark/benchmark.h>

#include <cstdlib>
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

// Snapshots of the demo's first wait points, each taken after the one before.
struct DemoPoints {
  std::vector<msgbox::Snapshot> points;
  std::string error;
};

const DemoPoints& Points() {
  static DemoPoints d = [] {
    DemoPoints out;
    const fs::path game = fs::path(VANTOREL_BINARY_DIR) / "game";
    if (!fs::exists(game / "GameData")) {
      out.error = "demo game not built";
      return out;
    }
    const fs::path tmp = fs::temp_directory_path() / ("vantorel-snapbench-" + std::to_string(getpid()));
    fs::create_directories(tmp);
    fs::copy(game / "GameData", tmp / "GameData", fs::copy_options::recursive);
    const auto oldDir = fs::current_path();
    fs::current_path(tmp);
    setenv("XDG_CONFIG_HOME", (tmp / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (tmp / "data").c_str(), 1);
    platform::UseVirtualClock(0);
    platform::SetDebugEcho(false);
    {
      GameApp app;
      RunOptions o;
      o.headless = true;
      o.maxFrames = 1;
      app.SetRunOptions(o);
      if (app.Create(nullptr, 1) != S_OK) {
        out.error = "the demo did not start";
        return out;
      }
      CMsgBox* box = app.MessageWindow();
      for (int i = 0; i < 4000 && out.points.size() < 24; ++i) {
        const uint64_t at = app.PassNumber();
        o.maxFrames = at + 5;
        o.input.clear();
        if (box->AtWaitPoint()) {
          out.points.emplace_back();
          box->TakeSnapshot(out.points.back(), out.points.size() > 1 ? &out.points[out.points.size() - 2] : nullptr);
          o.input = {{at + 1, platform::ScriptedEvent::Press, "decide"}, {at + 3, platform::ScriptedEvent::Release, "decide"}};
          o.maxFrames = at + 12;
        }
        app.SetRunOptions(o);
        app.Run();
      }
    }
    platform::UseRealClock();
    platform::SetCurrentWindow(nullptr);
    fs::current_path(oldDir);
    fs::remove_all(tmp);
    return out;
  }();
  return d;
}

// Taking a snapshot costs the same whatever box it is taken of; the demo's
// wait points are given back into one box and snapshotted from there.
void Measure(benchmark::State& state, bool shared) {
  const DemoPoints& d = Points();
  if (!d.error.empty() || d.points.size() < 2) {
    state.SkipWithError(d.error.empty() ? "too few wait points" : d.error.c_str());
    return;
  }
  // A box of its own, set up as the game's, to give each point back into.
  static std::unique_ptr<GameApp> app;
  static CMsgBox* box = nullptr;
  if (!app) {
    platform::UseVirtualClock(0);
    app = std::make_unique<GameApp>();
    RunOptions o;
    o.headless = true;
    o.maxFrames = 1;
    app->SetRunOptions(o);
    const fs::path game = fs::path(VANTOREL_BINARY_DIR) / "game";
    fs::current_path(game);
    app->Create(nullptr, 1);
    box = app->MessageWindow();
  }
  size_t i = 0, bytes = 0, taken = 0;
  std::vector<msgbox::Snapshot> out(d.points.size());
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
