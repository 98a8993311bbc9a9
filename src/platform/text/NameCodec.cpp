#include "platform/text/NameCodec.h"

#include <iconv.h>

#include <mutex>

namespace platform {
namespace {

// Converts the whole input or fails; iconv descriptors are not thread-safe.
bool Convert(const char* to, const char* from, std::string_view in, std::string& out) {
  static std::mutex mutex;
  std::lock_guard<std::mutex> lock(mutex);
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out.clear();
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  bool ok = true;
  char buffer[512];
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, size_t(dst - buffer));
    if (r == static_cast<size_t>(-1) && dst == buffer) {
      ok = false;  // a sequence without a mapping, or cut short
      break;
    }
  }
  iconv_close(cd);
  return ok;
}

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

bool IsValidUtf8(std::string_view s) {
  std::string ignored;
  return Convert("UTF-16LE", "UTF-8", s, ignored);
}

// Kana or kanji (ideographs, the CJK symbols block, half-width katakana):
// what a Japanese name read wrongly turns back into.
bool HasJapanese(std::string_view utf8) {
  std::string u16;
  if (!Convert("UTF-16LE", "UTF-8", utf8, u16)) return false;
  for (size_t i = 0; i + 1 < u16.size(); i += 2) {
    const unsigned cp = static_cast<unsigned char>(u16[i]) | static_cast<unsigned char>(u16[i + 1]) << 8;
    if ((cp >= 0x3000 && cp <= 0x30FF) || (cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0xFF61 && cp <= 0xFF9F))
      return true;
  }
  return false;
}

}  // namespace

bool Cp932ToUtf8Strict(std::string_view cp932, std::string& utf8) { return Convert("UTF-8", "CP932", cp932, utf8); }

bool Utf8ToCp437(std::string_view utf8, std::string& bytes) { return Convert("CP437", "UTF-8", utf8, bytes); }

std::string Cp437ToUtf8(std::string_view bytes) {
  std::string utf8;
  Convert("UTF-8", "CP437", bytes, utf8);
  return utf8;
}

NameForm ClassifyName(std::string_view name, std::string& properUtf8) {
  properUtf8.assign(name);
  if (IsAscii(name)) return NameForm::Utf8;
  std::string bytes, decoded;
  if (IsValidUtf8(name)) {
    if (Utf8ToCp437(name, bytes) && Cp932ToUtf8Strict(bytes, decoded) && HasJapanese(decoded)) {
      properUtf8 = decoded;
      return NameForm::Cp437Mojibake;
    }
    return NameForm::Utf8;
  }
  if (Cp932ToUtf8Strict(name, decoded)) {
    properUtf8 = decoded;
    return NameForm::Cp932Bytes;
  }
  return NameForm::Unknown;
}

}  // namespace platform
