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

}  // namespace makeart
