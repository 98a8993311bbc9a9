// The start-up work the picture worker takes off the main thread, on the
// demo game (needs the built game in BUILD/game): working out the first
// frame's pictures from the opening script, and reading and decoding them.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/StartupWork.h"
#include "framework/MediaPath.h"
#include "platform/diagnostics/Debug.h"
#include "platform/files/Files.h"
#include "platform/files/ImageDecoder.h"
#include "platform/text/TextCodec.h"
#include "script/CTextFile.h"

namespace {
struct Opening {
  std::filesystem::path oldDir = std::filesystem::current_path();
  WordList words;
  std::vector<std::string> files;  // found paths, the message window's three first
  bool ok = false;
  Opening() {
    platform::SetDebugEcho(false);
    std::error_code ec;
    std::filesystem::current_path(VANTOREL_BINARY_DIR "/game", ec);
    if (ec) return;
    CTextFile file(true);
    ok = SUCCEEDED(file.Read(SJ("GameData\\Text\\オープニング\\オープニング1.Dat"), words));
    std::vector<std::string> names = {"MsgBox\\CharaPicFrame.dds", "MsgBox\\MsgBox.dds", "MsgBox\\Cursor.tga"};
    for (const std::string& n : OpeningPictures(words)) names.push_back(n);
    for (const std::string& n : names) {
      char found[kMaxPath] = {};
      FindMediaFile(found, ("GameData\\Texture\\" + n).c_str());
      files.push_back(found);
    }
  }
  ~Opening() { std::filesystem::current_path(oldDir); }
};
}  // namespace

static void BM_OpeningPictures(benchmark::State& state) {
  Opening o;
  if (!o.ok) return state.SkipWithError("demo game not built");
  size_t n = 0;
  for (auto _ : state) {
    std::vector<std::string> pictures = OpeningPictures(o.words);
    n = pictures.size();
    benchmark::DoNotOptimize(pictures);
  }
  state.counters["words"] = double(o.words.size());
  state.counters["pictures"] = double(n);
}
BENCHMARK(BM_OpeningPictures)->Unit(benchmark::kMicrosecond);

// What the main thread spent on the title's pictures before the worker.
static void BM_DecodeTitlePictures(benchmark::State& state) {
  Opening o;
  if (!o.ok) return state.SkipWithError("demo game not built");
  for (auto _ : state) {
    for (const std::string& path : o.files) {
      std::string bytes;
      platform::Image image;
      if (!platform::ReadWholeFile(path, bytes, platform::file_caps::kPicture) || !platform::DecodeImage(bytes, path, image))
        return state.SkipWithError(("cannot decode " + path).c_str());
      benchmark::DoNotOptimize(image.argb.data());
    }
  }
  state.counters["pictures"] = double(o.files.size());
}
BENCHMARK(BM_DecodeTitlePictures)->Unit(benchmark::kMillisecond);
