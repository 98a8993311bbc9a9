#include "gfx/TextureFile.h"

#include "framework/MediaPath.h"
#include "gfx/DecodeAhead.h"
#include "platform/diagnostics/Debug.h"
#include "platform/files/Files.h"
#include "platform/files/ImageDecoder.h"

HRESULT D3DUtil_CreateTexture(platform::Device* device, const std::string& path, platform::TexturePtr& out) {
  out.reset();
  if (!device) return D3DERR_INVALIDCALL;
  char found[kMaxPath] = {};
  FindMediaFile(found, path.c_str());  // on failure `found` holds the name unchanged, which then fails to read

  platform::Image image;
  if (decode_ahead::Take(found, image)) {
    out = device->CreateTexture(image.width, image.height, image.argb.data());
    return out ? S_OK : E_OUTOFMEMORY;
  }
  std::string bytes;
  if (!platform::ReadWholeFile(found, bytes, platform::file_caps::kPicture)) {
    platform::OutputDebugString("D3DUtil_CreateTexture: cannot read " + std::string(found) + "\n");
    return D3DXERR_INVALIDDATA;
  }
  std::string why;
  if (!platform::DecodeImage(bytes, found, image, &why)) {
    platform::OutputDebugString("D3DUtil_CreateTexture: " + std::string(found) + ": " + why + "\n");
    return D3DXERR_INVALIDDATA;
  }
  out = device->CreateTexture(image.width, image.height, image.argb.data());
  return out ? S_OK : E_OUTOFMEMORY;
}
