#pragma once
// Code page 932 as the build machine's iconv maps it (generated at build time
// by tools/cp932gen), for platforms whose iconv lacks CP932, and the
// converters over it, which behave exactly as the iconv-based ones in
// TextCodec.h do.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform::cp932 {
inline constexpr uint16_t kUnmapped = 0xFFFF;
inline constexpr unsigned kFirstTrail = 0x40, kLastTrail = 0xFC;
inline constexpr size_t kTrails = kLastTrail - kFirstTrail + 1;
inline constexpr size_t kLeads = 60;  // 0x81-0x9F, then 0xE0-0xFC

// One byte -> code point; lead bytes and unmapped bytes hold kUnmapped.
extern const uint16_t kSingle[256];
// (lead index, trail - kFirstTrail) -> code point or kUnmapped.
extern const uint16_t kDouble[kLeads * kTrails];
// Sorted by code point: code point << 16 | bytes (one byte when < 0x100).
extern const uint32_t kEncode[];
extern const size_t kEncodeCount;
// Code points iconv consumes without writing anything: pairs of first, last.
extern const uint32_t kDropped[];
extern const size_t kDroppedCount;

// Invalid bytes become U+FFFD one by one; a cut character ends the text.
std::string ToUtf8(std::string_view cp932);
// Converts up to the first character without a CP932 form (or invalid UTF-8),
// reporting its byte offset; out holds what came before it.
bool FromUtf8(std::string_view utf8, std::string& out, size_t* badOffset);
}  // namespace platform::cp932
