#pragma once
// The drawing device that stands in for the Direct3D 8 device: a small
// render-state store (what the engine sets is kept and can be read back) and
// screen-space textured quads. A frame is recorded between Clear and Present
// and replayed by the device's kind: a window's device (WindowDevice)
// repaints only when the frame differs from the last one shown, the
// off-screen device (OffscreenDevice) rasterises only when its pixels are
// asked for, and the null device (NullDevice) draws nothing.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/draw/ScreenRect.h"

namespace platform {

// Render and texture-stage states, numbered as in Direct3D 8.
enum : uint32_t {
  D3DRS_ZENABLE = 7, D3DRS_FILLMODE = 8, D3DRS_SHADEMODE = 9, D3DRS_ZWRITEENABLE = 14,
  D3DRS_ALPHATESTENABLE = 15, D3DRS_SRCBLEND = 19, D3DRS_DESTBLEND = 20, D3DRS_CULLMODE = 22,
  D3DRS_ALPHABLENDENABLE = 27, D3DRS_FOGENABLE = 28, D3DRS_EDGEANTIALIAS = 40,
  D3DRS_STENCILENABLE = 52, D3DRS_CLIPPING = 136, D3DRS_LIGHTING = 137, D3DRS_VERTEXBLEND = 151,
  D3DRS_CLIPPLANEENABLE = 152, D3DRS_INDEXEDVERTEXBLENDENABLE = 167,
};
enum : uint32_t {
  D3DTSS_COLOROP = 1, D3DTSS_COLORARG1 = 2, D3DTSS_COLORARG2 = 3, D3DTSS_ALPHAOP = 4,
  D3DTSS_ALPHAARG1 = 5, D3DTSS_ALPHAARG2 = 6, D3DTSS_MAGFILTER = 16, D3DTSS_MINFILTER = 17,
  D3DTSS_MIPFILTER = 18,
};
enum : uint32_t { D3DTEXF_NONE = 0, D3DTEXF_POINT = 1, D3DTEXF_LINEAR = 2 };
enum : uint32_t { D3DCULL_NONE = 1, D3DCULL_CW = 2, D3DCULL_CCW = 3 };
enum : uint32_t { D3DSHADE_GOURAUD = 2, D3DFILL_SOLID = 3, D3DVBF_DISABLE = 0 };
enum : uint32_t { D3DBLEND_SRCALPHA = 5, D3DBLEND_INVSRCALPHA = 6 };
enum : uint32_t { D3DTOP_MODULATE = 4, D3DTA_DIFFUSE = 0, D3DTA_TEXTURE = 2 };
enum : uint32_t { D3DTS_VIEW = 2, D3DTS_PROJECTION = 3, D3DTS_WORLD = 256 };

using Matrix = std::array<float, 16>;  // row-major, Direct3D convention

class Texture {
 public:
  virtual ~Texture() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
};
using TexturePtr = std::shared_ptr<Texture>;

// Pre-transformed vertex: 28 bytes, as the sprite code writes them.
struct Vertex {
  float x, y, z, rhw;
  uint32_t diffuse;  // ARGB
  float u, v;
};

class Device {
 public:
  virtual ~Device() = default;

  int Width() const { return width_; }
  int Height() const { return height_; }

  // Pixels are 0xAARRGGBB, row by row. Returns null on failure.
  virtual TexturePtr CreateTexture(int width, int height, const uint32_t* argb) = 0;

  void SetRenderState(uint32_t state, uint32_t value);
  uint32_t GetRenderState(uint32_t state) const;
  void SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value);
  uint32_t GetTextureStageState(uint32_t stage, uint32_t type) const;
  void SetTransform(uint32_t which, const Matrix& m);
  Matrix GetTransform(uint32_t which) const;

  // State blocks: Begin/End record the render and stage states set in
  // between; Apply sets them again. Tokens start at 1.
  void BeginStateBlock();
  uint32_t EndStateBlock();
  bool ApplyStateBlock(uint32_t token);
  void DeleteStateBlock(uint32_t token);

  // Frame recording.
  void Clear(uint32_t argb);
  // Two triangles 0-1-2 and 0-2-3; colour and alpha modulate the texture
  // (white when tex is null) and the result is alpha-blended. The filter is
  // stage 0's MAGFILTER (linear or point) at the time of the call.
  void DrawQuad(const Vertex v[4], const TexturePtr& tex);
  // Ends the frame; a window repaints when the frame changed.
  void Present();
  // Runs after every Present. Tests stand a display in with it whose vsync
  // makes presenting wait (by advancing the virtual clock).
  void SetPresentHook(std::function<void()> hook) { presentHook_ = std::move(hook); }

  // The last presented frame as pixels (rasterised on demand), 0xAARRGGBB.
  virtual bool ReadPixels(std::vector<uint32_t>& argb) = 0;
  bool SaveScreenshot(const std::string& hostPngPath);

  uint64_t DrawCalls() const { return drawCalls_; }
  uint64_t FramesPresented() const { return framesPresented_; }

  struct Command {
    bool clear = false;
    uint32_t clearColor = 0;
    Vertex v[4]{};
    TexturePtr tex;
    bool linear = false;
    bool operator==(const Command& o) const;
  };

 protected:
  Device(int w, int h) : width_(w), height_(h) {}
  virtual void PresentFrame() = 0;
  std::vector<Command> recording_;
  std::vector<Command> presented_;
  uint64_t framesPresented_ = 0;
  // Moves the recording into presented_; true when it differs from before.
  // With `changed`, also gives the part of the screen whose pixels may differ.
  bool FinishFrame(ScreenRect* changed = nullptr);

 private:
  int width_, height_;
  std::map<uint32_t, uint32_t> renderStates_;
  std::map<uint64_t, uint32_t> stageStates_;
  std::map<uint32_t, Matrix> transforms_;
  bool recordingBlock_ = false;
  std::vector<std::pair<uint64_t, uint32_t>> blockEntries_;  // key: (1<<63)|stage/type or render state
  std::map<uint32_t, std::vector<std::pair<uint64_t, uint32_t>>> blocks_;
  uint32_t nextBlock_ = 1;
  uint64_t drawCalls_ = 0;
  std::function<void()> presentHook_;
};

}  // namespace platform
