#pragma once
// Texture creation from a picture file: the media-file lookup, the path
// resolver, the decoder, then the device. Alpha is kept, no colour key is
// applied, and texture coordinates 0 to 1 span the whole picture.
#include <string>

#include "platform/diagnostics/Result.h"
#include "platform/draw/Device.h"

// path is an engine path (CP932, backslashes). On failure `out` is null and
// the reason goes to the debug output; the caller reports to the player.
HRESULT D3DUtil_CreateTexture(platform::Device* device, const std::string& path, platform::TexturePtr& out);
