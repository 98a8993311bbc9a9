#include "platform/text/TextCodec.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

#include "platform/text/Cp932Table.h"

namespace platform {
namespace {
// iconv descriptors are not thread-safe; one mutex per direction is enough here.
struct Converter {
  iconv_t cd;
  std::mutex mutex;
  Converter(const char* to, const char* from) : cd(iconv_open(to, from)) {}
  ~Converter() {
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  }
};

Converter& ToUtf8() {
  static Converter c("UTF-8", "CP932");
  return c;
}
Converter& ToCp932() {
  static Converter c("CP932", "UTF-8");
  return c;
}

const char kReplacement[] = "\xEF\xBF\xBD";

size_t Utf8SequenceLength(unsigned char c) {
  if (c < 0x80) return 1;
  if ((c & 0xE0) == 0xC0) return 2;
  if ((c & 0xF0) == 0xE0) return 3;
  if ((c & 0xF8) == 0xF0) return 4;
  return 1;
}

// Runs iconv over the whole input, appending to `out`. On a sequence it
// cannot convert it asks `onBad` (with the offset and whether the input was
// cut short) whether to skip one byte and go on; otherwise it stops there.
template <typename OnBad>
bool Run(Converter& conv, std::string_view in, std::string& out, OnBad onBad) {
  iconv(conv.cd, nullptr, nullptr, nullptr, nullptr);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char buffer[1024];
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    size_t r = iconv(conv.cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, dst - buffer);
    if (r != static_cast<size_t>(-1) || errno == E2BIG) continue;
    bool cut = errno == EINVAL;
    if (!onBad(static_cast<size_t>(src - in.data()), cut) || cut) return false;
    ++src;
    --srcLeft;
    iconv(conv.cd, nullptr, nullptr, nullptr, nullptr);
  }
  return true;
}
}  // namespace

std::string Cp932ToUtf8(std::string_view in) {
  std::string out;
  Converter& conv = ToUtf8();
  std::lock_guard<std::mutex> lock(conv.mutex);
  // The browser's C library has Shift_JIS but not CP932: use our own table.
  if (conv.cd == reinterpret_cast<iconv_t>(-1)) return cp932::ToUtf8(in);
  // Invalid bytes become U+FFFD one by one; a cut character ends the text.
  Run(conv, in, out, [&out](size_t, bool) {
    out += kReplacement;
    return true;
  });
  return out;
}

bool Utf8ToCp932(std::string_view in, std::string& out, size_t* badOffset) {
  out.clear();
  Converter& conv = ToCp932();
  std::lock_guard<std::mutex> lock(conv.mutex);
  if (conv.cd == reinterpret_cast<iconv_t>(-1)) return cp932::FromUtf8(in, out, badOffset);
  return Run(conv, in, out, [badOffset](size_t at, bool) {
    if (badOffset) *badOffset = at;
    return false;
  });
}

std::string Utf8ToCp932Lossy(std::string_view in) {
  std::string out;
  size_t pos = 0;
  while (pos < in.size()) {
    std::string part;
    size_t bad = 0;
    if (Utf8ToCp932(in.substr(pos), part, &bad)) {
      out += part;
      break;
    }
    out += part;
    out += '?';
    pos += bad + Utf8SequenceLength(static_cast<unsigned char>(in[pos + bad]));
  }
  return out;
}
}  // namespace platform
