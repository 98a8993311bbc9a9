// Writes the code page 932 tables (platform/text/Cp932Table.h) as the build
// machine's iconv maps them, so that a platform whose iconv lacks CP932 (the
// browser's C library has SHIFT_JIS only) converts exactly as Linux does.
// Usage: cp932gen OUT.cpp
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

bool IsLead(unsigned c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Converts `in` whole; returns errno of the failure, or 0.
int Convert(iconv_t cd, const std::string& in, std::string& out) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char buffer[16];
  char* dst = buffer;
  size_t dstLeft = sizeof buffer;
  size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  if (r == static_cast<size_t>(-1)) return errno;
  r = iconv(cd, nullptr, nullptr, &dst, &dstLeft);
  if (r == static_cast<size_t>(-1)) return errno;
  out.assign(buffer, static_cast<size_t>(dst - buffer));
  return 0;
}

// The one UTF-32LE code point in `u32`, or -1 when there is not exactly one.
long OneCodePoint(const std::string& u32) {
  if (u32.size() != 4) return -1;
  const auto* b = reinterpret_cast<const unsigned char*>(u32.data());
  return static_cast<long>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<unsigned long>(b[3]) << 24);
}

std::string Utf32(unsigned long cp) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(cp >> (8 * i) & 0xFF);
  return s;
}

int Fail(const char* what, unsigned value) {
  std::fprintf(stderr, "cp932gen: %s (0x%X)\n", what, value);
  return 1;
}

void WriteArray(FILE* f, const char* decl, const std::vector<unsigned>& values, const char* fmt) {
  std::fprintf(f, "%s = {", decl);
  for (size_t i = 0; i < values.size(); ++i) {
    std::fprintf(f, i % 12 ? " " : "\n   ");
    std::fprintf(f, fmt, values[i]);
    std::fputc(',', f);
  }
  std::fprintf(f, "\n};\n\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: cp932gen OUT.cpp\n");
    return 2;
  }
  iconv_t decode = iconv_open("UTF-32LE", "CP932");
  iconv_t encode = iconv_open("CP932", "UTF-32LE");
  if (decode == reinterpret_cast<iconv_t>(-1) || encode == reinterpret_cast<iconv_t>(-1))
    return Fail("this machine's iconv has no CP932", 0);

  constexpr unsigned kUnmapped = 0xFFFF, kFirstTrail = 0x40, kLastTrail = 0xFC;
  std::vector<unsigned> single(256, kUnmapped), pairs;
  std::string out;
  for (unsigned b = 0; b < 256; ++b) {
    int err = Convert(decode, std::string(1, static_cast<char>(b)), out);
    if (IsLead(b)) {
      if (err != EINVAL) return Fail("a lead byte is not an unfinished character", b);
      continue;
    }
    if (err == EILSEQ) continue;
    long cp = OneCodePoint(out);
    if (err || cp < 0 || cp >= static_cast<long>(kUnmapped)) return Fail("a byte maps outside the table's form", b);
    single[b] = static_cast<unsigned>(cp);
  }
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsLead(lead)) continue;
    for (unsigned trail = 0; trail < 256; ++trail) {
      std::string in{static_cast<char>(lead), static_cast<char>(trail)};
      int err = Convert(decode, in, out);
      const bool inRange = trail >= kFirstTrail && trail <= kLastTrail;
      if (err) {
        if (err != EILSEQ) return Fail("a two-byte sequence fails oddly", lead << 8 | trail);
        if (inRange) pairs.push_back(kUnmapped);
        continue;
      }
      long cp = OneCodePoint(out);
      if (!inRange || cp < 0 || cp >= static_cast<long>(kUnmapped))
        return Fail("a two-byte sequence maps outside the table's form", lead << 8 | trail);
      pairs.push_back(static_cast<unsigned>(cp));
    }
  }
  // Every code point iconv writes in CP932, with the bytes it chooses (several
  // byte pairs decode to the same character; iconv encodes each one way).
  // glibc drops some characters silently (the language tags U+E0000-E007F):
  // kept as ranges of code points that write nothing.
  std::vector<unsigned> encodeTable, dropped;
  for (unsigned long cp = 0; cp <= 0x10FFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    if (Convert(encode, Utf32(cp), out) != 0) continue;
    if (out.empty()) {
      if (!dropped.empty() && dropped.back() + 1 == cp) {
        dropped.back() = static_cast<unsigned>(cp);
      } else {
        dropped.push_back(static_cast<unsigned>(cp));
        dropped.push_back(static_cast<unsigned>(cp));
      }
      continue;
    }
    if (cp >= kUnmapped || out.size() > 2) return Fail("a character encodes outside the table's form", cp);
    unsigned bytes = static_cast<unsigned char>(out[0]);
    if (out.size() == 2) bytes = bytes << 8 | static_cast<unsigned char>(out[1]);
    encodeTable.push_back(static_cast<unsigned>(cp) << 16 | bytes);
  }
  iconv_close(decode);
  iconv_close(encode);

  const std::string path = argv[1], temp = path + ".tmp";
  FILE* f = std::fopen(temp.c_str(), "w");
  if (!f) return Fail("cannot write the output", 0);
  std::fprintf(f,
               "// Generated by tools/cp932gen from the build machine's iconv; do not edit.\n"
               "#include \"platform/text/Cp932Table.h\"\n\nnamespace platform::cp932 {\n\n");
  WriteArray(f, "const uint16_t kSingle[256]", single, "0x%04X");
  WriteArray(f, "const uint16_t kDouble[kLeads * kTrails]", pairs, "0x%04X");
  std::fprintf(f, "const size_t kEncodeCount = %zu;\n", encodeTable.size());
  WriteArray(f, "const uint32_t kEncode[]", encodeTable, "0x%08X");
  if (dropped.empty()) dropped = {1, 0};  // an empty range: the array needs an element
  std::fprintf(f, "const size_t kDroppedCount = %zu;\n", dropped.size() / 2);
  WriteArray(f, "const uint32_t kDropped[]", dropped, "0x%06X");
  std::fprintf(f, "}  // namespace platform::cp932\n");
  if (std::fclose(f) != 0 || std::rename(temp.c_str(), path.c_str()) != 0) return Fail("cannot write the output", 0);
  return 0;
}
