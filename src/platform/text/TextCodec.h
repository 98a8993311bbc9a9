#pragma once
// Code page 932 <-> UTF-8 at the edges of the engine (iconv "CP932", or our
// own table where iconv lacks it: platform/text/Cp932Table.h).
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {
// Invalid or cut bytes become U+FFFD; never fails.
std::string Cp932ToUtf8(std::string_view cp932);
// Returns false when a character has no CP932 form; badOffset then holds the
// byte offset of that character in the input.
bool Utf8ToCp932(std::string_view utf8, std::string& out, size_t* badOffset = nullptr);
// Lossy form for literals: characters without a CP932 form become '?'.
std::string Utf8ToCp932Lossy(std::string_view utf8);
// True when byte c begins a two-byte CP932 character.
inline bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
}  // namespace platform

// A CP932 byte string from a UTF-8 literal in our sources, converted once.
// Engine code writes its Japanese texts as SJ("終了確認").
#define SJ(utf8literal)                                                              \
  ([]() -> const std::string& {                                                     \
    static const std::string converted = ::platform::Utf8ToCp932Lossy(utf8literal); \
    return converted;                                                               \
  }())
