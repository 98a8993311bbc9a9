// The render-state store, state blocks, frame recording and screenshots.
#include "platform/draw/Device.h"

#include <SDL.h>

#include <climits>
#include <cstring>
#include <string>

#include "platform/draw/FrameDamage.h"
#include "platform/files/ImageLibrary.h"
#include "platform/files/RegularFile.h"

namespace platform {
namespace {
constexpr uint64_t kStageFlag = 1ull << 63;
uint64_t StageKey(uint32_t stage, uint32_t type) { return kStageFlag | (uint64_t(stage) << 32) | type; }
}  // namespace

bool Device::Command::operator==(const Command& o) const {
  if (clear != o.clear) return false;
  if (clear) return clearColor == o.clearColor;
  return tex == o.tex && linear == o.linear && std::memcmp(v, o.v, sizeof v) == 0;
}

void Device::SetRenderState(uint32_t state, uint32_t value) {
  renderStates_[state] = value;
  if (recordingBlock_) blockEntries_.emplace_back(state, value);
}

uint32_t Device::GetRenderState(uint32_t state) const {
  auto it = renderStates_.find(state);
  return it == renderStates_.end() ? 0 : it->second;
}

void Device::SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) {
  stageStates_[StageKey(stage, type)] = value;
  if (recordingBlock_) blockEntries_.emplace_back(StageKey(stage, type), value);
}

uint32_t Device::GetTextureStageState(uint32_t stage, uint32_t type) const {
  auto it = stageStates_.find(StageKey(stage, type));
  if (it != stageStates_.end()) return it->second;
  // Defaults: stage 0 modulates, filters are point.
  if (type == D3DTSS_MAGFILTER || type == D3DTSS_MINFILTER) return D3DTEXF_POINT;
  return 0;
}

void Device::SetTransform(uint32_t which, const Matrix& m) { transforms_[which] = m; }

Matrix Device::GetTransform(uint32_t which) const {
  auto it = transforms_.find(which);
  if (it != transforms_.end()) return it->second;
  return Matrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

void Device::BeginStateBlock() {
  recordingBlock_ = true;
  blockEntries_.clear();
}

uint32_t Device::EndStateBlock() {
  recordingBlock_ = false;
  uint32_t token = nextBlock_++;
  blocks_[token] = std::move(blockEntries_);
  blockEntries_.clear();
  return token;
}

bool Device::ApplyStateBlock(uint32_t token) {
  auto it = blocks_.find(token);
  if (it == blocks_.end()) return false;
  for (auto& [key, value] : it->second) {
    if (key & kStageFlag)
      stageStates_[key] = value;
    else
      renderStates_[static_cast<uint32_t>(key)] = value;
  }
  return true;
}

void Device::DeleteStateBlock(uint32_t token) { blocks_.erase(token); }

void Device::Clear(uint32_t argb) {
  // A clear makes everything recorded before it invisible.
  recording_.clear();
  Command c;
  c.clear = true;
  c.clearColor = argb;
  recording_.push_back(c);
}

void Device::DrawQuad(const Vertex v[4], const TexturePtr& tex) {
  Command c;
  std::memcpy(c.v, v, sizeof c.v);
  c.tex = tex;
  c.linear = GetTextureStageState(0, D3DTSS_MAGFILTER) == D3DTEXF_LINEAR;
  recording_.push_back(std::move(c));
  ++drawCalls_;
}

void Device::Present() {
  PresentFrame();
  if (presentHook_) presentHook_();
}

bool Device::FinishFrame(ScreenRect* changedRect) {
  bool changed = recording_ != presented_;
  if (changedRect) *changedRect = changed ? ChangedRect(presented_, recording_, width_, height_) : ScreenRect{};
  presented_.swap(recording_);
  recording_.clear();
  ++framesPresented_;
  return changed;
}

bool Device::SaveScreenshot(const std::string& path) {
  const image_library::ImageFunctions* img = image_library::Img();
  std::vector<uint32_t> px;
  if (!img || !ReadPixels(px)) return false;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(px.data(), Width(), Height(), 32, Width() * 4,
                                                      SDL_PIXELFORMAT_ARGB8888);
  if (!s) return false;
  // Screenshots show the screen: force opaque output.
  SDL_Surface* rgb = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_RGB24, 0);
  SDL_FreeSurface(s);
  if (!rgb) return false;
  // Made in memory and written with every write checked: SDL_image's own
  // file writer left a 0-byte file on a full disk and called it done.
  std::string png(size_t(rgb->h) * size_t(rgb->pitch) * 2 + 65536, '\0');
  SDL_RWops* rw = png.size() <= size_t(INT_MAX) ? SDL_RWFromMem(png.data(), int(png.size())) : nullptr;
  bool ok = rw && img->IMG_SavePNG_RW(rgb, rw, 0) == 0;
  const Sint64 length = rw ? SDL_RWtell(rw) : 0;
  if (rw) SDL_RWclose(rw);
  SDL_FreeSurface(rgb);
  ok = ok && length > 0;
  if (ok) png.resize(size_t(length));
  return ok && WriteOutputFile(path, png);
}

}  // namespace platform
