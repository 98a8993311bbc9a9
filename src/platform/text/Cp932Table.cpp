#include "platform/text/Cp932Table.h"

#include <algorithm>

#include "platform/text/TextCodec.h"

namespace platform::cp932 {
namespace {

const char kReplacement[] = "\xEF\xBF\xBD";

void AppendUtf8(std::string& out, unsigned cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

size_t LeadIndex(unsigned char lead) { return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 31; }

// Decodes one UTF-8 character at `at` as strictly as iconv does (no overlong
// forms, no surrogates, nothing past U+10FFFF); returns its length, 0 if bad.
size_t DecodeUtf8(std::string_view in, size_t at, unsigned long& cp) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(in[at + i]); };
  const unsigned char c = byte(0);
  size_t length;
  unsigned long min;
  if (c < 0x80) {
    cp = c;
    return 1;
  } else if (c >= 0xC2 && c <= 0xDF) {
    length = 2, min = 0x80, cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    length = 3, min = 0x800, cp = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    length = 4, min = 0x10000, cp = c & 0x07;
  } else {
    return 0;
  }
  if (at + length > in.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    cp = cp << 6 | (byte(i) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return length;
}

bool Dropped(unsigned long cp) {
  for (size_t r = 0; r < kDroppedCount; ++r)
    if (cp >= kDropped[2 * r] && cp <= kDropped[2 * r + 1]) return true;
  return false;
}

}  // namespace

std::string ToUtf8(std::string_view in) {
  std::string out;
  for (size_t i = 0; i < in.size();) {
    const auto c = static_cast<unsigned char>(in[i]);
    if (IsLeadByte(c)) {
      if (i + 1 == in.size()) {
        out += kReplacement;
        break;
      }
      const auto trail = static_cast<unsigned char>(in[i + 1]);
      const uint16_t cp = trail >= kFirstTrail && trail <= kLastTrail
                              ? kDouble[LeadIndex(c) * kTrails + (trail - kFirstTrail)]
                              : kUnmapped;
      if (cp != kUnmapped) {
        AppendUtf8(out, cp);
        i += 2;
        continue;
      }
    } else if (kSingle[c] != kUnmapped) {
      AppendUtf8(out, kSingle[c]);
      ++i;
      continue;
    }
    out += kReplacement;
    ++i;
  }
  return out;
}

bool FromUtf8(std::string_view in, std::string& out, size_t* badOffset) {
  out.clear();
  const uint32_t* end = kEncode + kEncodeCount;
  for (size_t i = 0; i < in.size();) {
    unsigned long cp = 0;
    const size_t length = DecodeUtf8(in, i, cp);
    const uint32_t* found =
        length && cp <= 0xFFFF ? std::lower_bound(kEncode, end, static_cast<uint32_t>(cp << 16),
                                  [](uint32_t entry, uint32_t key) { return (entry >> 16) < (key >> 16); })
               : end;
    if (length && Dropped(cp)) {
      i += length;
      continue;
    }
    if (found == end || (*found >> 16) != cp) {
      if (badOffset) *badOffset = i;
      return false;
    }
    const unsigned bytes = *found & 0xFFFF;
    if (bytes >= 0x100) out += static_cast<char>(bytes >> 8);
    out += static_cast<char>(bytes & 0xFF);
    i += length;
  }
  return true;
}

}  // namespace platform::cp932
