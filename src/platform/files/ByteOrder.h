// Unsigned numbers stored in a file's bytes, least or most significant byte
// first, read from a pointer or from a position in a byte string. Callers
// check the bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace platform::byte_order {

inline uint32_t Le16(const unsigned char* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
inline uint32_t Le32(const unsigned char* p) { return Le16(p) | Le16(p + 2) << 16; }
inline uint32_t Be16(const unsigned char* p) { return uint32_t(p[0]) << 8 | p[1]; }
inline uint32_t Be32(const unsigned char* p) { return Be16(p) << 16 | Be16(p + 2); }

inline const unsigned char* At(std::string_view b, size_t at) {
  return reinterpret_cast<const unsigned char*>(b.data()) + at;
}
inline uint32_t Le16(std::string_view b, size_t at) { return Le16(At(b, at)); }
inline uint32_t Le32(std::string_view b, size_t at) { return Le32(At(b, at)); }
inline uint32_t Be32(std::string_view b, size_t at) { return Be32(At(b, at)); }

}  // namespace platform::byte_order
