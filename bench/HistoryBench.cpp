// What opening the message history adds to a frame: the press taken, the
// page's entries set into text and drawn over the game, on the demo game's
// opening scene with a full history of its kind of messages. Every opening
// shows a page it has not shown before, so its text is rasterised anew.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/GameLayout.h"
#include "framework/TextFont.h"
#include "comfort/Controller.h"
#include "gfx/CPolygon.h"
#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Debug.h"
#include "platform/draw/Device.h"
#include "platform/draw/OffscreenDevice.h"
#include "platform/text/TextCodec.h"
#include "script/CTextFile.h"

namespace {
void BM_OpenHistory(benchmark::State& state) {
  platform::SetDebugEcho(false);
  const auto oldDir = std::filesystem::current_path();
  std::error_code ec;
  std::filesystem::current_path(VANTOREL_BINARY_DIR "/game", ec);
  if (ec) {
    state.SkipWithError("demo game not built");
    return;
  }
  auto device = platform::CreateOffscreenDevice(640, 480);
  CPolygon::InitDeviceObjects("GameData\\Texture\\", device.get());
  TextFont::SetDevice(device.get());
  CTextFile textFile{true};
  int32_t actions[255] = {};
  auto box = std::make_unique<CMsgBox>();
  box->Init(&textFile, nullptr, actions, nullptr, nullptr, SJ("ＭＳ Ｐゴシック"), 12, 1);
  box->SetLayout(GameLayout());
  // The opening's first picture behind, without its title menu.
  box->StartScript(SJ("オープニング\\オープニング1.Dat"));
  box->ForceHold(CMsgBox::Hold::ButtonMenu, false);
  box->ForceHold(CMsgBox::Hold::ImageFade, false);
  {
    comfort::Controller::Config config;
    config.listen = false;
    comfort::Controller comforts(*box, actions, config);
    const std::string row = SJ("窓から差しこむ夕日が、床に長い光の帯を描いている。");
    std::vector<std::string> words;
    for (int i = 0; i < 400; ++i) words.push_back(row.substr(0, 2 * (10 + i % 16)) + std::to_string(i));
    box->ReplaceWords(words);
    for (int i = 0; i < 250; ++i) box->Step();  // a full history
    if (comforts.Messages().Entries().size() < 200) state.SkipWithError("the history did not fill");
    std::vector<double> ms;
    for (auto _ : state) {
      if (comforts.Messages().Entries().size() < 200) break;
      box->Step();  // a new message: the newest page is one the history has not drawn
      auto t0 = std::chrono::steady_clock::now();
      comforts.OnEvent(platform::Event::Wheel(1));
      comforts.BeginStep(0.0);
      comforts.Render();
      ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
      state.PauseTiming();
      device->Present();
      comforts.OnEvent(platform::Event::KeyPress(platform::Key::Escape, true));
      comforts.BeginStep(0.0);
      if (words.size() - box->Script().Position() < 10) box->ReplaceWords(words);
      state.ResumeTiming();
    }
    // The first opening also opens the history's font, once per run.
    if (!ms.empty()) {
      state.counters["first_ms"] = ms.front();
      ms.erase(ms.begin());
    }
    std::sort(ms.begin(), ms.end());
    if (!ms.empty()) state.counters["median_ms"] = ms[ms.size() / 2];
    if (!ms.empty()) state.counters["p99_ms"] = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
  }
  box.reset();
  TextFont::SetDevice(nullptr);
  CPolygon::DeleteDeviceObjects();
  std::filesystem::current_path(oldDir);
}
BENCHMARK(BM_OpenHistory)->Iterations(300)->Unit(benchmark::kMicrosecond);
}  // namespace
