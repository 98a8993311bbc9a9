#include <gtest/gtest.h>

#include "platform/draw/Device.h"
#include "platform/draw/NullDevice.h"
#include "platform/draw/OffscreenDevice.h"

using namespace platform;

namespace {
void Quad(Vertex v[4], float x, float y, float w, float h, uint32_t color) {
  v[0] = {x, y, 0.9f, 1, color, 0, 0};
  v[1] = {x + w, y, 0.9f, 1, color, 1, 0};
  v[2] = {x + w, y + h, 0.9f, 1, color, 1, 1};
  v[3] = {x, y + h, 0.9f, 1, color, 0, 1};
}
}  // namespace

TEST(DrawingDevice, DrawsModulatedTexturedQuadOverClearColour) {
  auto dev = CreateOffscreenDevice(64, 48);
  ASSERT_TRUE(dev);
  std::vector<uint32_t> red(4 * 4, 0xFFFF0000u);
  TexturePtr tex = dev->CreateTexture(4, 4, red.data());
  ASSERT_TRUE(tex);
  dev->Clear(0xFF0000FF);
  Vertex v[4];
  Quad(v, 8, 8, 16, 16, 0xFFFFFFFF);
  dev->DrawQuad(v, tex);
  Quad(v, 32, 8, 16, 16, 0x80FFFFFF);  // half transparent over blue
  dev->DrawQuad(v, tex);
  dev->Present();
  std::vector<uint32_t> px;
  ASSERT_TRUE(dev->ReadPixels(px));
  EXPECT_EQ(px[0] & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(px[12 * 64 + 12] & 0xFFFFFF, 0xFF0000u);
  uint32_t mix = px[12 * 64 + 40];
  EXPECT_NEAR(int((mix >> 16) & 0xFF), 128, 2);
  EXPECT_NEAR(int(mix & 0xFF), 127, 2);
}

TEST(DrawingDevice, StateBlockReappliesRecordedStates) {
  auto dev = CreateOffscreenDevice(8, 8);
  ASSERT_TRUE(dev);
  dev->BeginStateBlock();
  dev->SetRenderState(D3DRS_ZENABLE, 1);
  dev->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
  uint32_t token = dev->EndStateBlock();
  dev->SetRenderState(D3DRS_ZENABLE, 0);
  dev->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
  EXPECT_TRUE(dev->ApplyStateBlock(token));
  EXPECT_EQ(dev->GetRenderState(D3DRS_ZENABLE), 1u);
  EXPECT_EQ(dev->GetTextureStageState(0, D3DTSS_MAGFILTER), uint32_t(D3DTEXF_POINT));
  EXPECT_FALSE(dev->ApplyStateBlock(token + 1));
}

TEST(DrawingDevice, UnchangedFrameIsRecognised) {
  auto dev = CreateOffscreenDevice(8, 8);
  ASSERT_TRUE(dev);
  Vertex v[4];
  Quad(v, 0, 0, 4, 4, 0xFFFFFFFF);
  for (int i = 0; i < 2; ++i) {
    dev->Clear(0xFF000000);
    dev->DrawQuad(v, nullptr);
    dev->Present();
  }
  std::vector<uint32_t> px;
  ASSERT_TRUE(dev->ReadPixels(px));
  EXPECT_EQ(px[0], 0xFFFFFFFFu);
  EXPECT_EQ(px[7 * 8 + 7], 0xFF000000u);
  EXPECT_EQ(dev->FramesPresented(), 2u);
}

TEST(DrawingDevice, TextureOutlivingItsDeviceIsHarmless) {
  TexturePtr survivor;
  {
    auto dev = CreateOffscreenDevice(8, 8);
    ASSERT_TRUE(dev);
    uint32_t px = 0xFFFFFFFF;
    survivor = dev->CreateTexture(1, 1, &px);
    ASSERT_TRUE(survivor);
  }
  EXPECT_EQ(survivor->Width(), 1);
  survivor.reset();  // must not touch the destroyed renderer
}

// A device kept in a static object is destroyed at exit, after statics made
// later (such as the texture bookkeeping its first texture sets up). Found by
// fuzzing under AddressSanitizer: destroying it then read freed memory.
TEST(DrawingDevice, DeviceHeldInAStaticCanBeDestroyedAtExit) {
  EXPECT_EXIT(
      {
        static std::unique_ptr<Device> dev = CreateOffscreenDevice(8, 8);
        uint32_t px = 0xFFFFFFFF;
        static TexturePtr tex = dev->CreateTexture(1, 1, &px);
        dev->Present();
        std::exit(tex ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

// The null device refuses the textures a real one refuses, keeps states and
// frames like one, and has no pixels to give.
TEST(NullDrawingDevice, RecordsLikeADeviceWithoutPixels) {
  NullDevice dev(32, 16);
  uint32_t px[4] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
  EXPECT_EQ(dev.CreateTexture(0, 2, px), nullptr);
  EXPECT_EQ(dev.CreateTexture(2, 2, nullptr), nullptr);
  TexturePtr tex = dev.CreateTexture(2, 2, px);
  ASSERT_NE(tex, nullptr);
  EXPECT_EQ(tex->Width(), 2);
  EXPECT_EQ(dev.TexturesCreated(), 1);

  dev.SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  EXPECT_EQ(dev.GetRenderState(D3DRS_ALPHABLENDENABLE), 1u);
  Vertex v[4] = {{0, 0, 0, 1, 0xFFFFFFFFu, 0, 0}, {2, 0, 0, 1, 0xFFFFFFFFu, 1, 0},
                 {2, 2, 0, 1, 0xFFFFFFFFu, 1, 1}, {0, 2, 0, 1, 0xFFFFFFFFu, 0, 1}};
  dev.Clear(0xFF000000u);
  dev.DrawQuad(v, tex);
  dev.Present();
  ASSERT_EQ(dev.PresentedFrame().size(), 2u);
  EXPECT_TRUE(dev.PresentedFrame()[0].clear);
  EXPECT_EQ(dev.PresentedFrame()[1].tex, tex);
  EXPECT_EQ(dev.FramesPresented(), 1u);
  EXPECT_EQ(dev.DrawCalls(), 1u);
  std::vector<uint32_t> pixels;
  EXPECT_FALSE(dev.ReadPixels(pixels));
}
