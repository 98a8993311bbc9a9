#pragma once
// Little-endian fields for the file builders and readers of the tests.
#include <cstddef>
#include <cstdint>
#include <string>

namespace testsupport {

inline void AppendLe16(std::string& s, uint16_t v) {
  s += char(v & 0xFF), s += char(v >> 8);
}
inline void AppendLe32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s += char((v >> (8 * i)) & 0xFF);
}
inline void PutLe32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = char((v >> (8 * i)) & 0xFF);
}
inline uint16_t ReadLe16(const std::string& s, size_t at) {
  return uint16_t(uint8_t(s[at]) | uint8_t(s[at + 1]) << 8);
}
inline uint32_t ReadLe32(const std::string& s, size_t at) {
  return uint32_t(ReadLe16(s, at)) | uint32_t(ReadLe16(s, at + 2)) << 16;
}

}  // namespace testsupport
