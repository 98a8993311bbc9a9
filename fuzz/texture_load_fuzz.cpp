// The whole texture load: a file in the texture directory, the media-file
// lookup, the path resolver, format sniffing, every decoder and texture
// creation on the off-screen device. The first input byte picks the file
// name's extension, the rest is the file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "gfx/CPolygon.h"
#include "platform/diagnostics/Debug.h"
#include "platform/draw/OffscreenDevice.h"

namespace {
std::unique_ptr<platform::Device> g_device;

void SetUpOnce() {
  char dir[] = "/tmp/vantorel-texfuzz-XXXXXX";
  if (!mkdtemp(dir) || chdir(dir) != 0) std::abort();
  if (std::system("mkdir -p GameData/Texture") != 0) std::abort();
  platform::SetDebugEcho(false);
  g_device = platform::CreateOffscreenDevice(16, 16);
  if (!g_device) std::abort();
  CPolygon::InitDeviceObjects("GameData\\Texture\\", g_device.get());
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = (SetUpOnce(), true);
  (void)ready;
  if (size == 0) return 0;
  static const char* const kNames[] = {"pic.dds", "pic.tga", "pic.png", "pic.jpg", "pic.bmp", "pic"};
  std::string name = kNames[data[0] % 6];
  FILE* f = std::fopen(("GameData/Texture/" + name).c_str(), "wb");
  if (!f) std::abort();
  std::fwrite(data + 1, 1, size - 1, f);
  std::fclose(f);

  HRESULT hr = CPolygon::LoadTexture(name);
  auto it = CPolygon::Registry().find(name);
  platform::TexturePtr tex = it == CPolygon::Registry().end() ? nullptr : it->second;
  if (SUCCEEDED(hr) != (tex != nullptr)) std::abort();  // registered exactly when loaded
  if (tex && (tex->Width() <= 0 || tex->Height() <= 0)) std::abort();
  CPolygon::UnloadTexture(name);
  std::remove(("GameData/Texture/" + name).c_str());
  return 0;
}
