#pragma once
// A 128-bit identity in the Windows GUID layout.
#include <cstdint>
#include <cstdio>
#include <string>

struct GUID {
  uint32_t data1 = 0;
  uint16_t data2 = 0, data3 = 0;
  uint8_t data4[8] = {};
};

// "2972611C-8A87-4B5D-95AA-BFF9FD576136" (upper case, no braces).
inline std::string GuidText(const GUID& g) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", static_cast<unsigned>(g.data1),
                g.data2, g.data3, g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6],
                g.data4[7]);
  return buf;
}
