#pragma once
// FNV-1a 64 over bytes: a content key that is the same on every build (64-bit
// Linux and 32-bit WebAssembly alike), and its 16 lowercase hex digits.
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

inline uint64_t Fnv1a64(std::string_view bytes) {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 0x100000001b3ull;
  }
  return hash;
}

inline std::string Hex16(uint64_t value) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out(16, '0');
  for (int i = 15; i >= 0; --i, value >>= 4) out[size_t(i)] = kDigits[value & 15];
  return out;
}

}  // namespace platform
