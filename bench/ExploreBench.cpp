// vantorel-script explore on games made for it (needs the built tools in
// the build directory): branches explored per second against the number of
// items of one menu, each item to an ending of its own, and against the
// number of menus in a row (4 items each, every way its own state) up to a
// state limit. Each run is a whole exploration at -j 2: its processes, the
// walk over the menu and the reports. A rate that falls (or a processor
// time per branch that grows) as the items grow is time growing faster than
// the branches.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {
namespace fs = std::filesystem;
const std::string kBuild = VANTOREL_BINARY_DIR;

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

void Write(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

// A game directory in a fresh temporary folder, removed at the end.
class BenchGame {
 public:
  BenchGame() {
    char pattern[] = "/tmp/vantorel-explore-bench-XXXXXX";
    if (::mkdtemp(pattern)) root_ = pattern;
  }
  ~BenchGame() {
    std::error_code ec;
    if (!root_.empty()) fs::remove_all(root_, ec);
  }
  const fs::path& Root() const { return root_; }
  fs::path Source() const { return root_ / "src"; }
  fs::path Game() const { return root_ / "game"; }
  // The pictures and sounds every game needs, and the scripts built.
  bool Build() {
    const std::string g = Game().string();
    const std::string mkart = kBuild + "/vantorel-makeart ", mksound = kBuild + "/vantorel-makesound ";
    fs::create_directories(Game() / "GameData/Texture/MsgBox");
    fs::create_directories(Game() / "GameData/Music/SE");
    fs::create_directories(Game() / "GameData/Text/セーブデータ");
    return Run(mkart + "window " + g + "/GameData/Texture/MsgBox/MsgBox.dds") &&
           Run(mkart + "frame " + g + "/GameData/Texture/MsgBox/CharaPicFrame.dds") &&
           Run(mkart + "cursor " + g + "/GameData/Texture/MsgBox/Cursor.tga") &&
           Run(mksound + "decide " + g + "/GameData/Music/SE/Kachi04.wav") &&
           Run(mksound + "cursor " + g + "/GameData/Music/SE/Push11.wav") &&
           Run(kBuild + "/vantorel-script build " + Source().string() + " " + g + " >/dev/null");
  }

 private:
  fs::path root_;
};

// Explores the game; the branches the report counts, -1 on failure.
long Explore(const BenchGame& game, const std::string& options) {
  const std::string report = (game.Root() / "report.json").string();
  std::system((kBuild + "/vantorel-script explore -j2 --format json " + options + " " + game.Game().string() + " >" +
               report + " 2>/dev/null")
                  .c_str());
  std::ifstream in(report);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t at = text.rfind("\"branches\":");
  return at == std::string::npos ? -1 : std::atol(text.c_str() + at + 11);
}

// Processor time of the finished child processes (the explorations), seconds.
double ChildSeconds() {
  rusage r{};
  ::getrusage(RUSAGE_CHILDREN, &r);
  auto s = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
  return s(r.ru_utime) + s(r.ru_stime);
}

void Measure(benchmark::State& state, const BenchGame& game, const std::string& options) {
  long branches = 0;
  const double cpuBefore = ChildSeconds();
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const long n = Explore(game, options);
    if (n <= 0) return state.SkipWithError("the exploration failed");
    branches += n;
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  state.counters["branches"] = double(branches) / double(state.iterations());
  // Processor time spent per branch, all processes together: unlike the
  // wall clock, the same on a machine shared with other work.
  state.counters["cpu_ms/branch"] = (ChildSeconds() - cpuBefore) * 1000.0 / double(branches);
  state.counters["branches/s"] = benchmark::Counter(double(branches), benchmark::Counter::kIsRate);
}
}  // namespace

// One text menu of N items, each to an ending of its own.
static void BM_ExploreWideMenu(benchmark::State& state) {
  const int n = int(state.range(0));
  BenchGame game;
  std::string opening = "どれにしよう？\nFontMenu { フォーマット 1 3 メニューアイテム {\n";
  for (int i = 1; i <= n; ++i) {
    opening += "  「道" + std::to_string(i) + "」 " + std::to_string(i) + " 本編\\道" + std::to_string(i) + "\n";
    Write(game.Source() / "本編" / ("道" + std::to_string(i) + ".txt"), "道の先。\nGameEnd\n");
  }
  Write(game.Source() / "オープニング/オープニング1.txt", opening + "} }\n");
  if (!game.Build()) return state.SkipWithError("the tools are not built");
  state.counters["items"] = n;
  Measure(state, game, "");
}
BENCHMARK(BM_ExploreWideMenu)->Arg(25)->Arg(50)->Arg(100)->Arg(200)->Arg(300)->UseManualTime()->Iterations(2)->Unit(benchmark::kSecond);

// M menus in a row of 4 items each, every item setting a variable of its
// own (4^M ways), explored up to 2,000 states.
static void BM_ExploreMenusInARow(benchmark::State& state) {
  const int m = int(state.range(0));
  BenchGame game;
  Write(game.Source() / "オープニング/オープニング1.txt", "goto 本編\\問1\n");
  for (int i = 1; i <= m; ++i) {
    std::string menu = "問" + std::to_string(i) + "。\nFontMenu { フォーマット 1 3 メニューアイテム {\n";
    for (int j = 1; j <= 4; ++j) {
      const std::string answer = "答" + std::to_string(i) + "_" + std::to_string(j);
      menu += "  「" + answer + "」 " + std::to_string(j) + " 本編\\" + answer + "\n";
      Write(game.Source() / "本編" / (answer + ".txt"),
            "string $答" + std::to_string(i) + " = " + std::to_string(j) + "\n" +
                (i < m ? "goto 本編\\問" + std::to_string(i + 1) : std::string("GameEnd")) + "\n");
    }
    Write(game.Source() / "本編" / ("問" + std::to_string(i) + ".txt"), menu + "} }\n");
  }
  if (!game.Build()) return state.SkipWithError("the tools are not built");
  state.counters["menus"] = m;
  Measure(state, game, "--max-states 2000");
}
BENCHMARK(BM_ExploreMenusInARow)->Arg(5)->Arg(20)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
