// Script costs: reading and deciphering script files, and how many words a
// second Step gets through on a long script.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "framework/TextFont.h"
#include "gfx/CPolygon.h"
#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Debug.h"
#include "platform/draw/Device.h"
#include "platform/draw/OffscreenDevice.h"
#include "platform/text/TextCodec.h"
#include "script/CTextFile.h"

namespace {
// One scene's worth of words, as the demo's scripts read: speakers, messages,
// pictures, variables and a menu. Repeated `copies` times.
WordList LongScript(int copies) {
  const char* scene[] = {"string", "$場面", "=", "公園", "BG", "bg", "Left", "left",
                         "ナレーション：", "放課後の廊下は、しんと静まりかえっていた。", ".",
                         "＊陽菜：", "「あーっ、いたいた！」", ".", "$場面", ".",
                         "僕：", "「……すっかり遅くなっちゃったな」", ".", "Right", "right", "Center", "center",
                         "詩織：", "「約束。……煮干し、多めに持ってくる」", ".", "Clear", "All"};
  WordList words;
  for (int i = 0; i < copies; ++i)
    for (const char* w : scene) words.push_back(platform::Utf8ToCp932Lossy(w));
  return words;
}

void BM_ReadScriptFile(benchmark::State& state) {
  const bool enciphered = state.range(0) != 0;
  CTextFile file(enciphered);
  WordList words = LongScript(2000);
  const std::string bytes = file.EncodeWords(words);
  for (auto _ : state) {
    WordList out;
    file.DecodeBytes(bytes, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
  state.counters["file_KiB"] = double(bytes.size()) / 1024;
}
BENCHMARK(BM_ReadScriptFile)->ArgName("enciphered")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Step over a long script to its end, on an off-screen device without pictures
// (each picture command then looks its alias up and finds nothing).
void BM_StepLongScript(benchmark::State& state) {
  platform::SetDebugEcho(false);
  auto device = platform::CreateOffscreenDevice(640, 480);
  CPolygon::InitDeviceObjects("GameData\\Texture\\", device.get());
  TextFont::SetDevice(device.get());
  CTextFile textFile(false);
  static int32_t actions[255];
  const WordList script = LongScript(500);
  int64_t words = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto box = std::make_unique<CMsgBox>();
    box->Init(&textFile, nullptr, actions, nullptr, nullptr, SJ("ＭＳ ゴシック"), 12, 1);
    box->ReplaceWords(script);
    state.ResumeTiming();
    while (box->Script().Running() && box->Script().Position() < box->Script().Words().size()) box->Step();
    words += int64_t(script.size());
    state.PauseTiming();
    box.reset();
    state.ResumeTiming();
  }
  state.counters["words_per_s"] = benchmark::Counter(double(words), benchmark::Counter::kIsRate);
  TextFont::SetDevice(nullptr);
  CPolygon::DeleteDeviceObjects();
}
BENCHMARK(BM_StepLongScript)->Unit(benchmark::kMillisecond);
}  // namespace
