// Frame costs in the software renderer, on the demo game's own pictures and
// opening script (needs the built game in BUILD/game): the typewriter
// frame (a message being typed out) and a full scene frame (background,
// standing pictures, speaker, window and a typed message). Each frame is
// recorded, presented and rasterised; median and p99 are reported.
#include "app/GameLayout.h"
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

#include "framework/TextFont.h"
#include "gfx/CPolygon.h"
#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Debug.h"
#include "platform/draw/Device.h"
#include "platform/draw/OffscreenDevice.h"
#include "platform/text/TextCodec.h"
#include "script/CTextFile.h"

namespace {
struct Game {
  std::filesystem::path oldDir = std::filesystem::current_path();
  std::unique_ptr<platform::Device> device = platform::CreateOffscreenDevice(640, 480);
  CTextFile textFile{true};
  int32_t actions[255] = {};
  std::unique_ptr<CMsgBox> box;
  bool ok = false;
  uint32_t frames = 0;

  Game() {
    platform::SetDebugEcho(false);
    std::error_code ec;
    std::filesystem::current_path(VANTOREL_BINARY_DIR "/game", ec);
    if (ec) return;
    CPolygon::InitDeviceObjects("GameData\\Texture\\", device.get());
    TextFont::SetDevice(device.get());
    box = std::make_unique<CMsgBox>();
    box->Init(&textFile, nullptr, actions, nullptr, nullptr, SJ("ＭＳ Ｐゴシック"), 12, 1);
    box->SetLayout(GameLayout());
    ok = SUCCEEDED(box->StartScript(SJ("オープニング\\オープニング1.Dat")));
  }
  ~Game() {
    box.reset();
    TextFont::SetDevice(nullptr);
    CPolygon::DeleteDeviceObjects();
    std::filesystem::current_path(oldDir);
  }
  // One frame as the game draws it, rasterised.
  // The clear colour alternates in its lowest bit so that an unchanged
  // scene is still rasterised anew each frame.
  void Frame(std::vector<uint32_t>& pixels) {
    box->FrameMove();
    device->Clear(0xFF000000u | (frames++ & 1));
    box->Render();
    device->Present();
    device->ReadPixels(pixels);
  }
};

void Report(benchmark::State& state, std::vector<double>& ms) {
  if (ms.empty()) return;
  std::sort(ms.begin(), ms.end());
  state.counters["median_ms"] = ms[ms.size() / 2];
  state.counters["p99_ms"] = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
}

template <class F>
void Timed(std::vector<double>& ms, F&& f) {
  auto t0 = std::chrono::steady_clock::now();
  f();
  ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
}

// Frames while messages type out: the next message starts whenever one is done.
void BM_TypewriterFrame(benchmark::State& state) {
  Game game;
  if (!game.ok) return state.SkipWithError("build the demo game first (BUILD/game)");
  std::vector<uint32_t> pixels;
  std::vector<double> ms;
  for (auto _ : state) {
    if (!game.box->Window().Typing()) {
      state.PauseTiming();
      if (game.box->StepIfIdle() == E_FAIL) game.box->StartScript(SJ("オープニング\\オープニング1.Dat"));
      state.ResumeTiming();
    }
    Timed(ms, [&] { game.Frame(pixels); });
  }
  Report(state, ms);
}
BENCHMARK(BM_TypewriterFrame)->Unit(benchmark::kMillisecond)->Iterations(2000);

// A still full scene, its message typed out: draw the same scene again and again.
void BM_FullSceneFrame(benchmark::State& state) {
  Game game;
  if (!game.ok) return state.SkipWithError("build the demo game first (BUILD/game)");
  std::vector<uint32_t> pixels;
  // Eight messages into the opening a standing picture stands beside the
  // background and the speaker's face.
  for (int i = 0; i < 8; ++i) {
    while (game.box->Window().Typing()) game.box->FrameMove();
    game.box->StepIfIdle();
  }
  while (game.box->Window().Typing()) game.box->FrameMove();
  std::vector<double> ms;
  for (auto _ : state) Timed(ms, [&] { game.Frame(pixels); });
  Report(state, ms);
}
BENCHMARK(BM_FullSceneFrame)->Unit(benchmark::kMillisecond)->Iterations(1000);
}  // namespace
