#include "gfx/CPolygon.h"

#include <algorithm>

#include "gfx/TextureFile.h"
#include "platform/diagnostics/Report.h"
#include "platform/files/Files.h"
#include "platform/text/TextCodec.h"

using namespace platform;

Device* CPolygon::device = nullptr;
std::string CPolygon::textureDirectory;
std::map<std::string, TexturePtr> CPolygon::registry;
std::string CPolygon::textureLanguage;
std::map<std::string, std::string> CPolygon::sources;
Vertex CPolygon::quad[4] = {};

namespace {
int32_t Clamp255(int32_t v) { return std::clamp<int32_t>(v, 0, 255); }
}  // namespace

// ---- class-wide state ----------------------------------------------------

HRESULT CPolygon::InitDeviceObjects(std::string directory, Device* dev) {
  registry.clear();
  sources.clear();
  textureDirectory = std::move(directory);
  device = dev;
  // The quad's triangles are 0-1-2 and 0-2-3, the order the device draws
  // four vertices in, so there is no index buffer to fill.
  std::fill(std::begin(quad), std::end(quad), Vertex{});
  return S_OK;
}

HRESULT CPolygon::DeleteDeviceObjects() {
  registry.clear();
  sources.clear();
  // Forget the device too: it is released right after this, and a sprite
  // drawn later must find no device rather than a dangling one.
  device = nullptr;
  return S_OK;
}

std::string CPolygon::SourcePath(const std::string& name) {
  if (!textureLanguage.empty()) {
    std::string own = textureDirectory + textureLanguage + "\\" + name;
    if (FileExists(own)) return own;
  }
  return textureDirectory + name;
}

HRESULT CPolygon::LoadTexture(std::string name) {
  TexturePtr tex;
  const std::string source = SourcePath(name);
  HRESULT hr = D3DUtil_CreateTexture(device, source, tex);
  if (FAILED(hr)) {
    DXTRACE("CPolygon", hr, SJ("CPolygon内で、D3DUtil_CreateTextureの失敗。"), true, name);
    return hr;
  }
  if (registry.emplace(name, std::move(tex)).second) sources[name] = source;  // an existing entry stays
  return S_OK;
}

void CPolygon::SetTextureLanguage(const std::string& language) {
  if (language == textureLanguage) return;
  textureLanguage = language;
  // Only pictures whose file changes with the language are read again.
  for (const auto& [name, tex] : std::map<std::string, TexturePtr>(registry)) {
    auto from = sources.find(name);
    if (from != sources.end() && from->second == SourcePath(name)) continue;
    size_t sprites = 0;
    ReloadTexture(name, sprites);
  }
}

HRESULT CPolygon::UnloadTexture(std::string name) {
  // Sprites that still show the texture keep their own reference to it.
  sources.erase(name);
  return registry.erase(name) ? S_OK : E_FAIL;
}

TexturePtr CPolygon::FindTexture(std::string name) {
  auto it = registry.find(name);
  if (it != registry.end()) return it->second;
  LoadTexture(name);
  it = registry.find(name);
  return it != registry.end() ? it->second : nullptr;
}

std::set<CPolygon*>& CPolygon::Live() {
  // Never destroyed: a sprite held in some static object may go after it.
  static auto* live = new std::set<CPolygon*>;
  return *live;
}

HRESULT CPolygon::ReloadTexture(const std::string& name, size_t& sprites) {
  sprites = 0;
  TexturePtr tex;
  const std::string source = SourcePath(name);
  HRESULT hr = D3DUtil_CreateTexture(device, source, tex);
  if (FAILED(hr)) return hr;
  registry[name] = tex;
  sources[name] = source;
  for (CPolygon* sprite : Live()) {
    if (sprite->textureName != name || !sprite->texture) continue;
    sprite->texture = tex;
    ++sprites;
  }
  return S_OK;
}

// ---- the sprite ----------------------------------------------------------

CPolygon::CPolygon() {
  Live().insert(this);
  SetTexture("Nothing");
}

CPolygon::~CPolygon() { Live().erase(this); }

HRESULT CPolygon::SetTexture(std::string name) {
  texture = name == "Nothing" ? nullptr : FindTexture(name);
  textureName = std::move(name);
  return S_OK;
}

HRESULT CPolygon::SetTexturePointer(TexturePtr tex) {
  texture = std::move(tex);
  return S_OK;
}

void CPolygon::PackColor() {
  color = uint32_t(alpha) << 24 | uint32_t(red & 0xFF) << 16 | uint32_t(green & 0xFF) << 8 | uint32_t(blue & 0xFF);
}

void CPolygon::SetColor(int32_t a, int32_t r, int32_t g, int32_t b) {
  alpha = Clamp255(a);
  red = Clamp255(r);
  green = Clamp255(g);
  blue = Clamp255(b);
  PackColor();
}

void CPolygon::SetAlpha(int32_t a) {
  alpha = Clamp255(a);
  PackColor();
}

void CPolygon::AddAlpha(int32_t step) {
  // In 64 bits so that a huge step cannot overflow before the clamp.
  SetAlpha(int32_t(std::clamp<int64_t>(int64_t(alpha) + step, 0, 255)));
}

HRESULT CPolygon::Set(float px, float py, float pz, float w, float h, float d, int32_t a, int32_t depthTestFlag) {
  SetPosition(px, py, pz);
  SetSize(w, h, d);
  smooth = 1;
  // White with the given alpha; red, green and blue keep their values for a
  // later SetAlpha. The alpha is clamped like everywhere else, so that 300
  // cannot wrap into the packed colour as a faint 0x2C.
  alpha = Clamp255(a);
  color = uint32_t(alpha) << 24 | 0xFFFFFF;
  depthTest = depthTestFlag;
  return 0;
}

HRESULT CPolygon::Render() {
  if (!device) return D3DERR_INVALIDCALL;  // before set-up or after shutdown
  device->SetRenderState(D3DRS_ZENABLE, depthTest ? 1 : 0);
  if (smooth) {
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
  }
  // No half-pixel offset: x and y go to the vertices unchanged.
  quad[0] = {x, y, z, 1.0f, color, tu0, tv0};
  quad[1] = {x + width, y, z, 1.0f, color, tu1, tv0};
  quad[2] = {x + width, y + height, z, 1.0f, color, tu1, tv1};
  quad[3] = {x, y + height, z, 1.0f, color, tu0, tv1};
  device->DrawQuad(quad, texture);

  device->SetRenderState(D3DRS_ZENABLE, 1);
  device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
  device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
  return 0;
}

void CPolygon::SetPosition(float px, float py, float pz) {
  x = px;
  y = py;
  z = pz;
}
Vec3 CPolygon::GetPosition() const { return {x, y, z}; }
void CPolygon::Move(float dx, float dy, float dz) {
  x += dx;
  y += dy;
  z += dz;
}
void CPolygon::Move(const Vec3& d) { Move(d.x, d.y, d.z); }
void CPolygon::SetSize(float w, float h, float d) {
  width = w;
  height = h;
  depth = d;
}
Vec3 CPolygon::GetSize() const { return {width, height, depth}; }
void CPolygon::SetTexRect(float u0, float v0, float u1, float v1) {
  tu0 = u0;
  tv0 = v0;
  tu1 = u1;
  tv1 = v1;
}
void CPolygon::SetTexRect(const TexRect& r) { SetTexRect(r.tu0, r.tv0, r.tu1, r.tv1); }
