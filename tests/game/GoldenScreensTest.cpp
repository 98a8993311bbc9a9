// The demo game's screens compared with golden pictures kept in the repo at a
// quarter of the size (4 x 4 averages), with a small tolerance for rounding
// in the rasteriser. Set VANTOREL_UPDATE_GOLDEN=1 to write them anew.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/ScratchDir.h"
#include "app/GameApp.h"
#include "gfx/CPolygon.h"
#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Debug.h"
#include "platform/files/ImageDecoder.h"
#include "platform/files/ImageEncoder.h"
#include "platform/headless/Clock.h"
#include "platform/window/Window.h"

namespace fs = std::filesystem;
using namespace platform;

namespace {
constexpr int kScale = 4;

Image Shrink(const std::vector<uint32_t>& px, int w, int h) {
  Image out;
  out.width = w / kScale;
  out.height = h / kScale;
  out.argb.resize(size_t(out.width) * out.height);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) {
      uint32_t sum[3] = {0, 0, 0};
      for (int dy = 0; dy < kScale; ++dy)
        for (int dx = 0; dx < kScale; ++dx) {
          uint32_t p = px[size_t(y * kScale + dy) * w + x * kScale + dx];
          sum[0] += (p >> 16) & 0xFF, sum[1] += (p >> 8) & 0xFF, sum[2] += p & 0xFF;
        }
      const uint32_t n = kScale * kScale;
      out.argb[size_t(y) * out.width + x] = 0xFF000000u | (sum[0] / n) << 16 | (sum[1] / n) << 8 | (sum[2] / n);
    }
  return out;
}

void CompareWithGolden(const std::string& name, const Image& shot) {
  fs::path golden = fs::path(VANTOREL_SOURCE_DIR) / "tests" / "golden" / (name + ".png");
  if (std::getenv("VANTOREL_UPDATE_GOLDEN")) {
    std::string bytes;
    ASSERT_TRUE(EncodeImage(shot, ImageType::Png, bytes));
    fs::create_directories(golden.parent_path());
    std::ofstream(golden, std::ios::binary) << bytes;
    return;
  }
  std::ifstream in(golden, std::ios::binary);
  ASSERT_TRUE(in) << "missing golden picture " << golden;
  std::stringstream ss;
  ss << in.rdbuf();
  Image want;
  ASSERT_TRUE(DecodeImage(ss.str(), "png", want));
  ASSERT_EQ(want.width, shot.width);
  ASSERT_EQ(want.height, shot.height);
  long long total = 0;
  int far = 0;
  for (size_t i = 0; i < want.argb.size(); ++i)
    for (int shift : {16, 8, 0}) {
      int d = std::abs(int((want.argb[i] >> shift) & 0xFF) - int((shot.argb[i] >> shift) & 0xFF));
      total += d;
      far += d > 24;
    }
  double mean = double(total) / (want.argb.size() * 3);
  EXPECT_LT(mean, 2.0) << name << ": mean difference per channel";
  EXPECT_LT(far, int(want.argb.size() * 3 / 100)) << name << ": channels far off";
}

class GoldenScreens : public ::testing::Test {
 protected:
  void SetUp() override {
    game = fs::path(VANTOREL_BINARY_DIR) / "game";
    if (!fs::exists(game / "GameData")) GTEST_SKIP() << "demo game not built";
    fs::copy(game / "GameData", fs::path(dir.Path()) / "GameData", fs::copy_options::recursive);
    setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
    UseVirtualClock(0);
    SetDebugEcho(false);
  }
  void TearDown() override {
    UseRealClock();
    SetDebugEcho(true);
    SetCurrentWindow(nullptr);
  }
  // Runs until `until` passes have gone, with decide taps at the given passes.
  Image Screen(GameApp& app, std::vector<uint64_t> taps, uint64_t until) {
    RunOptions o;
    o.headless = true;
    o.maxFrames = until;
    for (uint64_t t : taps) {
      o.input.push_back({t, ScriptedEvent::Press, "decide"});
      o.input.push_back({t + 6, ScriptedEvent::Release, "decide"});
    }
    app.SetRunOptions(o);
    EXPECT_EQ(app.Create(nullptr, 1), S_OK);
    app.Run();
    std::vector<uint32_t> px;
    EXPECT_TRUE(app.GetDevice()->ReadPixels(px));
    return Shrink(px, 640, 480);
  }
  fs::path game;
  ScratchDir dir;
};
}  // namespace

TEST_F(GoldenScreens, TitleMenu) {
  GameApp app;
  CompareWithGolden("title", Screen(app, {}, 200));
}

TEST_F(GoldenScreens, FirstSceneAfterStarting) {
  GameApp app;
  // Decide on the title's first button, then read on a few lines.
  CompareWithGolden("corridor", Screen(app, {200, 300, 380, 460}, 560));
}
