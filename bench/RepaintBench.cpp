// What the wait cursor's animation costs a window drawing in software: the
// game area redrawn whole, or only the rectangle the cursor changed.
#include <benchmark/benchmark.h>

#include <random>

#include "platform/draw/Device.h"
#include "platform/draw/FrameDamage.h"
#include "platform/draw/ScreenRect.h"
#include "platform/draw/SdlTexture.h"
#include "platform/draw/SoftwareCanvas.h"

using platform::Device;
using platform::ScreenRect;

namespace {
Device::Command Quad(float x, float y, float w, float h, platform::TexturePtr tex, bool linear, float u0 = 0,
                     float u1 = 1) {
  Device::Command c;
  c.v[0] = {x, y, 0.5f, 1, 0xFFFFFFFF, u0, 0};
  c.v[1] = {x + w, y, 0.5f, 1, 0xFFFFFFFF, u1, 0};
  c.v[2] = {x + w, y + h, 0.5f, 1, 0xFFFFFFFF, u1, 1};
  c.v[3] = {x, y + h, 0.5f, 1, 0xFFFFFFFF, u0, 1};
  c.tex = std::move(tex);
  c.linear = linear;
  return c;
}

// Arg 0: whole repaints; 1: only the changed rectangle. The scene has the
// demo's layout: a stretched background, a standing picture, the face frame,
// the message window, a line of text and the cursor.
void BM_CursorRedraw(benchmark::State& state) {
  platform::SoftwareCanvas canvas(640, 480);
  if (!canvas.Ok()) return state.SkipWithError("no software renderer");
  std::mt19937 rng(1);
  auto texture = [&](int w, int h) {
    std::vector<uint32_t> px(size_t(w) * h);
    for (auto& p : px) p = rng() | 0x80000000u;
    return platform::CreateSdlTexture(canvas.Renderer(), w, h, px.data());
  };
  auto bg = texture(640, 480), chara = texture(400, 426), face = texture(136, 136), window = texture(470, 136),
       text = texture(296, 48), cursor = texture(96, 32);
  auto frame = [&](int f) {
    Device::Command clear;
    clear.clear = true;
    clear.clearColor = 0xFF000000;
    return std::vector<Device::Command>{clear,
                                        Quad(10, 10, 620, 460, bg, true),
                                        Quad(130, 20, 400, 426, chara, true),
                                        Quad(10, 296, 136, 136, face, true),
                                        Quad(160, 296, 470, 136, window, true),
                                        Quad(180, 331, 296, 48, text, false),
                                        Quad(610, 402, 24, 32, cursor, true, f * 0.25f, f * 0.25f + 0.25f)};
  };
  std::vector<Device::Command> frames[4] = {frame(0), frame(1), frame(2), frame(3)};
  const ScreenRect whole{0, 0, 640, 480};
  canvas.Draw(frames[0], whole);
  int f = 0;
  for (auto _ : state) {
    int next = (f + 1) % 4;
    canvas.Draw(frames[next], state.range(0) ? ChangedRect(frames[f], frames[next], 640, 480) : whole);
    f = next;
  }
}
BENCHMARK(BM_CursorRedraw)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
}  // namespace
