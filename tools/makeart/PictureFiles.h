#pragma once
// Writing pictures in the two formats the engine's own files use: DDS
// (uncompressed 32-bit ARGB, or DXT1/DXT5 blocks) and TGA (uncompressed
// 32-bit with alpha, bottom row first).
#include <string>

#include "Canvas.h"

namespace makeart {

enum class DdsKind { Argb8888, Dxt1, Dxt5 };

std::string EncodeDds(const Image& image, DdsKind kind);
std::string EncodeTga(const Image& image);

// The file's bytes in the format its name's extension asks for: .dds (kind),
// .tga, .png (with alpha) or .jpg/.jpeg (no alpha). False for another
// extension, a DXT kind with another than .dds, or a failed encoding.
bool EncodePictureFile(const Image& image, const std::string& fileName, DdsKind kind, std::string& bytes);

}  // namespace makeart
