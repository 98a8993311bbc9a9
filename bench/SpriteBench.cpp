// Sprite drawing and picture decoding costs.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "support/PictureFiles.h"
#include "gfx/CPolygon.h"
#include "platform/draw/OffscreenDevice.h"
#include "platform/files/ImageEncoder.h"

using namespace platform;
using namespace pictures;

namespace {

constexpr int kW = 640, kH = 480;

// Something like a picture: gradients, a soft disc of alpha, fine detail.
Image Picture(int w, int h) {
  Image img;
  img.width = w;
  img.height = h;
  img.argb.resize(size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      double dx = x - w / 2.0, dy = y - h / 2.0, d = std::sqrt(dx * dx + dy * dy) / (h / 2.0);
      uint32_t a = d < 0.7 ? 255 : d > 1 ? 0 : uint32_t(255 * (1 - d) / 0.3);
      uint32_t r = uint32_t(x * 255 / w), g = uint32_t(y * 255 / h);
      uint32_t b = uint32_t(128 + 100 * std::sin(x * 0.05) * std::cos(y * 0.07));
      img.argb[size_t(y) * w + x] = a << 24 | r << 16 | g << 8 | b;
    }
  return img;
}

// A scene as the message window draws it: background, four pictures, the
// speaker picture and its frame, the window, a button and the cursor.
void BM_DrawTenSpriteScene(benchmark::State& state) {
  bool smooth = state.range(0) != 0;
  std::unique_ptr<Device> dev = CreateOffscreenDevice(kW, kH);
  CPolygon::InitDeviceObjects("GameData\\Texture\\", dev.get());
  {
    struct Spec { float x, y, w, h; int tw, th; };
    const Spec specs[10] = {{0, 0, 640, 480, 640, 480},   {20, 40, 200, 360, 256, 512},  {220, 40, 200, 360, 256, 512},
                            {420, 40, 200, 360, 256, 512}, {120, 60, 400, 300, 512, 512}, {24, 340, 96, 96, 128, 128},
                            {20, 336, 104, 104, 128, 128}, {16, 330, 608, 140, 512, 128}, {260, 200, 120, 40, 128, 64},
                            {610, 402, 24, 32, 128, 32}};
    std::vector<std::unique_ptr<CPolygon>> sprites;
    for (const Spec& s : specs) {
      Image img = Picture(s.tw, s.th);
      auto p = std::make_unique<CPolygon>();
      p->SetTexturePointer(dev->CreateTexture(img.width, img.height, img.argb.data()));
      p->Set(s.x, s.y, 0.9f, s.w, s.h, 0, 255, 0);
      sprites.push_back(std::move(p));
    }
    sprites[7]->SetAlpha(200);
    std::vector<uint32_t> px;
    uint32_t frame = 0;
    for (auto _ : state) {
      // A different clear colour each frame, so that every frame is rasterised.
      dev->Clear(0xFF000000u | (frame++ & 1));
      for (auto& p : sprites) {
        p->smooth = smooth;
        p->Render();
      }
      dev->Present();
      dev->ReadPixels(px);
      benchmark::DoNotOptimize(px.data());
    }
  }
  CPolygon::DeleteDeviceObjects();
}
BENCHMARK(BM_DrawTenSpriteScene)->ArgName("linear")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

enum Format { kDdsArgb, kDdsDxt1, kDdsDxt5, kTgaRaw, kTgaRle, kPng, kJpeg, kBmp };

std::string Encode(Format f, const Image& img) {
  std::string out;
  switch (f) {
    case kDdsArgb: return MakeDds(img, kA8R8G8B8);
    case kDdsDxt1: return MakeDxtDds(img, squish::kDxt1);
    case kDdsDxt5: return MakeDxtDds(img, squish::kDxt5);
    case kTgaRaw: return MakeTga(img, 32, false, false);
    case kTgaRle: return MakeTga(img, 32, true, false);
    case kPng: EncodeImage(img, ImageType::Png, out); return out;
    case kJpeg: EncodeImage(img, ImageType::Jpeg, out, 90); return out;
    case kBmp: EncodeImage(img, ImageType::Bmp, out); return out;
  }
  return out;
}

void BM_Decode640x480(benchmark::State& state) {
  static const char* const kLabels[] = {"DDS A8R8G8B8", "DDS DXT1", "DDS DXT5", "TGA raw", "TGA RLE", "PNG", "JPEG", "BMP"};
  Format f = Format(state.range(0));
  std::string file = Encode(f, Picture(kW, kH));
  Image img;
  for (auto _ : state) {
    if (!DecodeImage(file, "picture", img)) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(img.argb.data());
  }
  state.SetLabel(std::string(kLabels[f]) + ", " + std::to_string(file.size() / 1024) + " KiB");
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}
BENCHMARK(BM_Decode640x480)->DenseRange(kDdsArgb, kBmp)->Unit(benchmark::kMillisecond);

}  // namespace
