// Chunk walks over a WAV image: `RIFF` size `WAVE`, then chunks of an id,
// a length and the body, padded to an even length.
#include "platform/audio/WavImage.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/files/ByteOrder.h"

namespace platform {
namespace {
using byte_order::Le16;
using byte_order::Le32;
void SetLe16(std::string& b, size_t at, uint32_t v) {
  b[at] = char(v & 0xFF);
  b[at + 1] = char((v >> 8) & 0xFF);
}
void SetLe32(std::string& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF);
}

// Where the first chunk starts; 0 for no WAV image.
size_t FirstChunk(const std::string& b) {
  if (b.size() >= 12 && b.compare(0, 4, "RIFF") == 0 && b.compare(8, 4, "WAVE") == 0) return 12;
  if (b.size() >= 4 && b.compare(0, 4, "WAVE") == 0) return 4;  // SDL also takes a file without its RIFF header
  return 0;
}

constexpr uint32_t kFloatTag = 3, kExtensibleTag = 0xFFFE;
}  // namespace

void ClampWavChunkLengths(std::string& b) {
  size_t pos = FirstChunk(b);
  if (pos == 0) return;
  if (pos == 12 && Le32(b, 4) > b.size() - 8) SetLe32(b, 4, uint32_t(b.size() - 8));
  while (pos + 8 <= b.size()) {
    size_t left = b.size() - (pos + 8);
    uint32_t length = Le32(b, pos + 4);
    if (length > left) {
      SetLe32(b, pos + 4, uint32_t(left));
      break;
    }
    pos += 8 + size_t(length) + (length & 1);
  }
}

void NarrowDoubleWavSamples(std::string& b) {
  size_t pos = FirstChunk(b), fmt = 0, fmtLength = 0, data = 0, dataLength = 0;
  if (pos == 0) return;
  // Lengths are within the file here (ClampWavChunkLengths ran first).
  while (pos + 8 <= b.size() && (!fmt || !data)) {
    uint32_t length = Le32(b, pos + 4);
    if (!fmt && b.compare(pos, 4, "fmt ") == 0) fmt = pos + 8, fmtLength = length;
    if (!data && b.compare(pos, 4, "data") == 0) data = pos + 8, dataLength = length;
    pos += 8 + size_t(length) + (length & 1);
  }
  if (!fmt || !data || fmtLength < 16 || data + dataLength > b.size()) return;
  const uint32_t tag = Le16(b, fmt), channels = Le16(b, fmt + 2), bits = Le16(b, fmt + 14);
  const bool extensible = tag == kExtensibleTag && fmtLength >= 40 && Le16(b, fmt + 24) == kFloatTag;
  if (bits != 64 || (tag != kFloatTag && !extensible) || channels == 0) return;

  const size_t count = dataLength / 8;
  std::string narrow(count * 4, '\0');
  for (size_t i = 0; i < count; ++i) {
    uint64_t raw = uint64_t(Le32(b, data + 8 * i)) | uint64_t(Le32(b, data + 8 * i + 4)) << 32;
    double v;
    std::memcpy(&v, &raw, 8);
    // Not a number has no level; silence. Out of range clips later.
    float f = std::isnan(v) ? 0.0f : float(std::fmax(-2.0, std::fmin(2.0, v)));
    uint32_t word;
    std::memcpy(&word, &f, 4);
    SetLe32(narrow, 4 * i, word);
  }
  SetLe16(b, fmt + 14, 32);
  SetLe16(b, fmt + 12, channels * 4);                  // block align
  SetLe32(b, fmt + 8, Le32(b, fmt + 4) * channels * 4);  // bytes per second
  if (extensible && Le16(b, fmt + 18) == 64) SetLe16(b, fmt + 18, 32);  // valid bits
  const size_t end = data + dataLength + (dataLength & 1);
  b = b.substr(0, data) + narrow + (end < b.size() ? b.substr(end) : std::string());
  SetLe32(b, data - 4, uint32_t(narrow.size()));
  if (b.compare(0, 4, "RIFF") == 0) SetLe32(b, 4, uint32_t(b.size() - 8));
}

}  // namespace platform
