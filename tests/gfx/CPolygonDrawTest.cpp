// Sprites drawn on the off-screen software device, checked pixel by pixel.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "gfx/CPolygon.h"
#include "platform/draw/OffscreenDevice.h"
#include "platform/files/ImageEncoder.h"
#include "support/PictureFiles.h"
#include "support/SpriteFixture.h"

using namespace platform;

namespace {

constexpr int kW = 64, kH = 64;

class SpriteDrawing : public ScratchGameDir {
 protected:
  void SetUp() override {
    ScratchGameDir::SetUp();
    device = CreateOffscreenDevice(kW, kH);
    ASSERT_TRUE(device);
    CPolygon::InitDeviceObjects("GameData\\Texture\\", device.get());
  }
  void TearDown() override {
    ScratchGameDir::TearDown();  // empties the registry while the device lives
    device.reset();
  }
  TexturePtr Texture(int w, int h, std::vector<uint32_t> argb) { return device->CreateTexture(w, h, argb.data()); }
  std::vector<uint32_t> Frame() {
    device->Present();
    std::vector<uint32_t> px;
    EXPECT_TRUE(device->ReadPixels(px));
    return px;
  }
  static void ExpectColour(uint32_t got, uint32_t want, int tolerance, const char* what) {
    for (int shift = 0; shift < 24; shift += 8)
      EXPECT_LE(std::abs(int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF)), tolerance)
          << what << std::hex << ": got " << got << ", want " << want;
  }
  static uint32_t At(const std::vector<uint32_t>& px, int x, int y) { return px[size_t(y) * kW + x]; }

  std::unique_ptr<Device> device;
};

}  // namespace

TEST_F(SpriteDrawing, VertexColourAndAlphaModulateTheTextureOverTheBackground) {
  TexturePtr tex = Texture(4, 4, std::vector<uint32_t>(16, 0xFFC86432));  // (200, 100, 50)
  TexturePtr halfClear = Texture(2, 1, {0x00FF0000, 0x80FF0000});
  device->Clear(0xFF0000FF);

  CPolygon tinted, faded, holes;
  tinted.SetTexturePointer(tex);
  tinted.Set(0, 0, 0.9f, 16, 16, 0, 255, 0);
  tinted.SetColor(255, 128, 255, 64);
  faded.SetTexturePointer(tex);
  faded.Set(32, 0, 0.9f, 16, 16, 0, 128, 0);
  holes.SetTexturePointer(halfClear);
  holes.Set(0, 32, 0.9f, 32, 16, 0, 128, 0);
  holes.smooth = 0;
  for (CPolygon* p : {&tinted, &faded, &holes}) EXPECT_EQ(p->Render(), 0);

  std::vector<uint32_t> px = Frame();
  ExpectColour(At(px, 60, 60), 0x0000FF, 0, "background");
  ExpectColour(At(px, 8, 8), 0x64640C, 2, "texture times vertex colour");
  ExpectColour(At(px, 40, 8), 0x643298, 3, "half alpha over blue");
  ExpectColour(At(px, 8, 40), 0x0000FF, 0, "texture alpha 0 leaves the background");
  ExpectColour(At(px, 24, 40), 0x4000BF, 3, "texture alpha 0.5 times vertex alpha 0.5");
}

TEST_F(SpriteDrawing, WholeTextureSpansTheQuadAndTexRectPicksAPart) {
  TexturePtr tex = Texture(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});
  CPolygon p;
  p.SetTexturePointer(tex);
  p.Set(0, 0, 0.9f, 32, 32, 0, 255, 0);
  p.smooth = 0;
  device->Clear(0xFF000000);
  p.Render();
  p.SetPosition(32, 32, 0.9f);
  p.SetTexRect(0.5f, 0, 1, 0.5f);  // the top-right texel only
  p.smooth = 0;
  p.Render();
  std::vector<uint32_t> px = Frame();
  ExpectColour(At(px, 1, 1), 0xFF0000, 0, "top left");
  ExpectColour(At(px, 30, 1), 0x00FF00, 0, "top right");
  ExpectColour(At(px, 1, 30), 0x0000FF, 0, "bottom left");
  ExpectColour(At(px, 30, 30), 0xFFFFFF, 0, "bottom right");
  ExpectColour(At(px, 33, 33), 0x00FF00, 0, "part, near corner");
  ExpectColour(At(px, 62, 62), 0x00FF00, 0, "part, far corner");
  ExpectColour(At(px, 40, 10), 0x000000, 0, "outside both");
}

TEST_F(SpriteDrawing, SmoothSelectsLinearAndPointIsLeftBehind) {
  TexturePtr tex = Texture(2, 1, {0xFF000000, 0xFFFFFFFF});
  auto row = [&](bool smooth, uint32_t filterBefore) {
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, filterBefore);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, filterBefore);
    CPolygon p;
    p.SetTexturePointer(tex);
    p.Set(0, 0, 0.9f, kW, 8, 0, 255, 0);
    p.smooth = smooth;
    device->Clear(0xFF000000);
    p.Render();
    EXPECT_EQ(device->GetTextureStageState(0, D3DTSS_MAGFILTER), uint32_t(D3DTEXF_POINT));
    EXPECT_EQ(device->GetTextureStageState(0, D3DTSS_MINFILTER), uint32_t(D3DTEXF_POINT));
    std::vector<uint32_t> px = Frame();
    int between = 0;
    for (int x = 0; x < kW; ++x) {
      uint32_t g = (At(px, x, 4) >> 8) & 0xFF;
      if (g > 8 && g < 247) ++between;
    }
    return std::pair{between, At(px, 31, 4) & 0xFFFFFF};
  };
  auto [pointBetween, pointMid] = row(false, D3DTEXF_POINT);
  EXPECT_EQ(pointBetween, 0) << "point filtering has only black and white";
  EXPECT_EQ(pointMid, 0u);
  auto [linearBetween, linearMid] = row(true, D3DTEXF_POINT);
  EXPECT_GT(linearBetween, kW / 4) << "linear filtering ramps between the texels";
  // A sprite without smoothing draws with whatever filter is current.
  auto [inheritedBetween, inheritedMid] = row(false, D3DTEXF_LINEAR);
  EXPECT_EQ(inheritedBetween, linearBetween);
  (void)linearMid;
  (void)inheritedMid;
}

TEST_F(SpriteDrawing, CallOrderDecidesNotDepth) {
  TexturePtr red = Texture(1, 1, {0xFFFF0000}), green = Texture(1, 1, {0xFF00FF00});
  CPolygon near, far;
  near.SetTexturePointer(red);
  near.Set(0, 0, 0.1f, 40, 40, 0, 255, 1);
  far.SetTexturePointer(green);
  far.Set(20, 20, 0.9f, 40, 40, 0, 255, 1);
  device->Clear(0xFF000000);
  near.Render();
  far.Render();
  EXPECT_EQ(device->GetRenderState(D3DRS_ZENABLE), 1u);
  std::vector<uint32_t> px = Frame();
  ExpectColour(At(px, 30, 30), 0x00FF00, 0, "later sprite on top");
  ExpectColour(At(px, 10, 10), 0xFF0000, 0, "earlier sprite outside the overlap");
  device->Clear(0xFF000000);
  far.Render();
  near.Render();
  px = Frame();
  ExpectColour(At(px, 30, 30), 0xFF0000, 0, "order reversed");
}

TEST_F(SpriteDrawing, PicturesOfEveryFormatWithAlphaOverABackground) {
  using namespace pictures;
  // A bigger screen of its own, saved as a screenshot to look at: a JPEG
  // gradient background and, over it, soft discs from a DXT5 DDS, an RLE TGA
  // and a PNG (opaque in the middle, clear at the corners).
  constexpr int W = 320, H = 160, S = 96;
  std::unique_ptr<Device> screen = CreateOffscreenDevice(W, H);
  ASSERT_TRUE(screen);
  CPolygon::InitDeviceObjects("GameData\\Texture\\", screen.get());
  {
    Image bg = MakeImage(W, H, [](int x, int y) {
      return 0xFF000000u | uint32_t(x * 255 / (W - 1)) << 16 | uint32_t(y * 255 / (H - 1)) << 8 | 0x40;
    });
    auto disc = [](uint32_t rgb) {
      Image img;
      img.width = img.height = S;
      for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
          int dx = 2 * x + 1 - S, dy = 2 * y + 1 - S;
          int d = int(std::sqrt(double(dx * dx + dy * dy))) / 2;  // distance from the centre in pixels
          uint32_t a = d < S / 4 ? 255 : d >= S / 2 ? 0 : uint32_t(255 * (S / 2 - d) / (S / 4));
          img.argb.push_back(a << 24 | rgb);
        }
      return img;
    };
    std::string jpg, png;
    ASSERT_TRUE(EncodeImage(bg, ImageType::Jpeg, jpg, 95));
    ASSERT_TRUE(EncodeImage(disc(0xFFFF00), ImageType::Png, png));
    WriteTexture("bg.jpg", jpg);
    WriteTexture("MsgBox/MsgBox.dds", MakeDxtDds(disc(0xFF0000), squish::kDxt5));
    WriteTexture("MsgBox/Cursor.tga", MakeTga(disc(0x00FF00), 32, true, false));
    WriteTexture("face.png", png);

    CPolygon back, dds, tga, pngSprite;
    back.SetTexture("bg.jpg");
    dds.SetTexture("MsgBox\\MsgBox.dds");
    tga.SetTexture("MsgBox\\Cursor.tga");
    pngSprite.SetTexture("face.png");
    back.Set(0, 0, 0.9f, W, H, 0, 255, 0);
    dds.Set(8, 32, 0.9f, S, S, 0, 255, 0);
    tga.Set(112, 32, 0.9f, S, S, 0, 255, 0);
    pngSprite.Set(216, 32, 0.9f, S, S, 0, 192, 0);
    screen->Clear(0xFF000000);
    for (CPolygon* p : {&back, &dds, &tga, &pngSprite}) {
      ASSERT_NE(p->texture, nullptr) << p->textureName;
      p->Render();
    }
    screen->Present();
    std::vector<uint32_t> px;
    ASSERT_TRUE(screen->ReadPixels(px));
    auto at = [&](int x, int y) { return px[size_t(y) * W + x]; };
    auto background = [&](int x, int y) { return bg.argb[size_t(y) * W + x] & 0xFFFFFF; };
    // JPEG is lossy: the background is only close to its gradient.
    ExpectColour(at(56, 80), 0xFF0000, 0, "DDS centre");
    ExpectColour(at(160, 80), 0x00FF00, 0, "TGA centre");
    ExpectColour(at(10, 34), background(10, 34), 6, "DDS corner shows the background");
    ExpectColour(at(114, 126), background(114, 126), 6, "TGA corner shows the background");
    // Yellow at 192/255 over the background.
    uint32_t b = background(264, 80);
    uint32_t mixed = uint32_t((255 * 192 + ((b >> 16) & 0xFF) * 63) / 255) << 16 |
                     uint32_t((255 * 192 + ((b >> 8) & 0xFF) * 63) / 255) << 8 | uint32_t((b & 0xFF) * 63 / 255);
    ExpectColour(at(264, 80), mixed, 6, "PNG centre at sprite alpha 192");
    ExpectColour(at(160, 10), background(160, 10), 6, "background above the sprites");
    EXPECT_TRUE(screen->SaveScreenshot(VANTOREL_BINARY_DIR "/sprites_over_background.png"));
  }
  CPolygon::DeleteDeviceObjects();  // before the screen goes
}
