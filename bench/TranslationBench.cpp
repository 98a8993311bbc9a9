// Translations: reading a catalogue of 10,000 entries (PO by the quick
// reader and through libgettextpo, MO as msgfmt compiles it), laying out and measuring a
// message with the fonts that draw it, and switching the language of a
// message box with a message on screen.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <unistd.h>

#include "app/GameLayout.h"
#include "framework/TextFont.h"
#include "framework/TextLayout.h"
#include "gfx/CPolygon.h"
#include "msgbox/CMsgBox.h"
#include "msgbox/Translation.h"
#include "msgbox/TranslationFiles.h"
#include "platform/diagnostics/Debug.h"
#include "platform/draw/OffscreenDevice.h"
#include "platform/text/Font.h"
#include "platform/text/MessageCatalog.h"
#include "platform/text/TextCodec.h"
#include "script/CTextFile.h"

namespace {
// A fresh folder to work in for the benchmark's life.
struct Scratch {
  explicit Scratch(const char* tag)
      : old(std::filesystem::current_path()),
        dir(std::filesystem::temp_directory_path() / (std::string("vantorel-") + tag + std::to_string(::getpid()))) {
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
  }
  ~Scratch() {
    std::filesystem::current_path(old);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  std::filesystem::path old, dir;
};

const char kEnglish[] = "Honestly, I've been looking everywhere for you! You promised we'd walk home together "
                        "today, remember? Don't tell me you forgot again.";

platform::Catalog TenThousand() {
  platform::Catalog c;
  c.header = "Language: fr\nContent-Type: text/plain; charset=UTF-8\nContent-Transfer-Encoding: 8bit\n";
  for (int i = 0; i < 10000; ++i) {
    platform::CatalogEntry e;
    e.context = "本編/場面" + std::to_string(i / 100) + ".Dat:" + std::to_string(i % 100 * 3);
    e.msgid = "「もう、探したんだからね！　今日は一緒に帰ろうって約束したでしょ？」" + std::to_string(i);
    e.msgstr = "« Franchement, je t'ai cherché partout ! Tu avais promis qu'on rentrerait ensemble. » " +
               std::to_string(i);
    e.extracted = "speaker: 陽菜：";
    e.references.emplace_back("game/scripts/本編/場面.txt", size_t(i));
    c.entries.push_back(std::move(e));
  }
  return c;
}

void BM_LoadPo10000(benchmark::State& state) {
  std::string bytes, error;
  platform::FormatPo(TenThousand(), bytes, error);
  platform::Catalog quick;
  if (!platform::ReadPoQuickly(bytes, quick)) {
    state.SkipWithError("the quick reader left the file to libgettextpo");
    return;
  }
  for (auto _ : state) {
    platform::Catalog c;
    if (!platform::ParsePo(bytes, "fr.po", c, error)) state.SkipWithError(error.c_str());
    msgbox::Translation t("fr", c);
    benchmark::DoNotOptimize(t.Size());
  }
  state.SetLabel(std::to_string(bytes.size() / 1024) + " KiB");
}
BENCHMARK(BM_LoadPo10000)->Unit(benchmark::kMillisecond);

// The same file through libgettextpo alone (what a file the quick reader
// leaves to the library costs).
void BM_LoadPoGettext10000(benchmark::State& state) {
  std::string bytes, error;
  platform::FormatPo(TenThousand(), bytes, error);
  for (auto _ : state) {
    platform::Catalog c;
    if (!platform::ParsePoWithGettext(bytes, "fr.po", c, error)) state.SkipWithError(error.c_str());
    msgbox::Translation t("fr", c);
    benchmark::DoNotOptimize(t.Size());
  }
}
BENCHMARK(BM_LoadPoGettext10000)->Unit(benchmark::kMillisecond);

void BM_LoadMo10000(benchmark::State& state) {
  Scratch dir("bench-mo");
  std::string po, error;
  platform::FormatPo(TenThousand(), po, error);
  std::ofstream("fr.po") << po;
  if (std::system("msgfmt -o fr.mo fr.po") != 0) {
    state.SkipWithError("msgfmt failed");
    return;
  }
  std::ifstream in("fr.mo", std::ios::binary);
  std::stringstream mo;
  mo << in.rdbuf();
  for (auto _ : state) {
    std::string header;
    auto t = msgbox::Translation::FromMo("fr", mo.str(), header, error);
    if (!t) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(t->Size());
  }
}
BENCHMARK(BM_LoadMo10000)->Unit(benchmark::kMillisecond);

// A start with a PO translation: the file as the engine finds it, its
// compiled form kept in the cache folder by the first start and read by
// every later one (what the player waits for), and the first start itself
// (the PO file read and the cache written).
void BM_LoadPoCached10000(benchmark::State& state) {
  Scratch dir("bench-po-cache");
  std::string po, error;
  platform::FormatPo(TenThousand(), po, error);
  std::ofstream("fr.po") << po;
  const msgbox::TranslationFile file{"fr", (dir.dir / "fr.po").string(), false};
  const std::string cache = (dir.dir / "cache").string();
  if (!msgbox::LoadTranslation(file, error, cache)) state.SkipWithError(error.c_str());
  for (auto _ : state) {
    auto t = msgbox::LoadTranslation(file, error, cache);
    if (!t) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(t->Size());
  }
}
BENCHMARK(BM_LoadPoCached10000)->Unit(benchmark::kMillisecond);

void BM_LoadPoFirstStart10000(benchmark::State& state) {
  Scratch dir("bench-po-first");
  std::string po, error;
  platform::FormatPo(TenThousand(), po, error);
  std::ofstream("fr.po") << po;
  const msgbox::TranslationFile file{"fr", (dir.dir / "fr.po").string(), false};
  const std::string cache = (dir.dir / "cache").string();
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove_all(cache);
    state.ResumeTiming();
    auto t = msgbox::LoadTranslation(file, error, cache);
    if (!t) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(t->Size());
  }
}
BENCHMARK(BM_LoadPoFirstStart10000)->Unit(benchmark::kMillisecond);

// Every call lays out a message the font has not measured in this order,
// with the face the window draws it with.
void BM_LayOutMessage(benchmark::State& state) {
  auto font = platform::OpenFont(SJ("ＭＳ Ｐゴシック"), 16, true, false, "en");
  if (!font) {
    state.SkipWithError("no font");
    return;
  }
  int i = 0;
  for (auto _ : state) {
    const std::string text = std::string(kEnglish) + " " + std::to_string(i++);
    TextRows rows = LayOutRows(text, font.get(), 16, 430, 4, "en");
    benchmark::DoNotOptimize(rows.rows.size());
  }
}
BENCHMARK(BM_LayOutMessage)->Unit(benchmark::kMicrosecond);

// The message on screen shown in another language (and back): its layout
// and the rasterising of its text for the next frame.
void BM_SwitchLanguage(benchmark::State& state) {
  platform::SetDebugEcho(false);
  Scratch dir("bench-switch");
  std::filesystem::create_directories("GameData/Text");
  auto device = platform::CreateOffscreenDevice(640, 480);
  CPolygon::InitDeviceObjects("GameData\\Texture\\", device.get());
  TextFont::SetDevice(device.get());
  CTextFile textFile{false};
  int32_t actions[255] = {};
  {
    CMsgBox box;
    box.Init(&textFile, nullptr, actions, nullptr, nullptr, SJ("ＭＳ Ｐゴシック"), 12, 1);
    box.SetLayout(GameLayout());
    CTextFile writer(false);
    WordList words = {SJ("陽菜："), SJ("「もう、探したんだからね！」")};
    writer.Write("GameData\\Text\\a.Dat", words);
    box.StartScript("a.Dat");
    platform::Catalog c;
    for (auto [context, msgid, msgstr] : {std::tuple{"a.Dat:0", "陽菜：", "Hina: "},
                                          std::tuple{"a.Dat:1", "「もう、探したんだからね！」", kEnglish}}) {
      platform::CatalogEntry e;
      e.context = context;
      e.msgid = msgid;
      e.msgstr = msgstr;
      c.entries.push_back(std::move(e));
    }
    auto english = std::make_shared<const msgbox::Translation>("en", c);
    bool on = false;
    for (auto _ : state) {
      on = !on;
      platform::SetFontLanguage(on ? "en" : "");
      box.SetTranslation(on ? english : nullptr);
      box.Render();  // the frame after the switch draws the new text
    }
    platform::SetFontLanguage("");
  }
  CPolygon::DeleteDeviceObjects();
  TextFont::SetDevice(nullptr);
}
BENCHMARK(BM_SwitchLanguage)->Unit(benchmark::kMicrosecond);
}  // namespace
