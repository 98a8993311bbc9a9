#include "platform/diagnostics/Debug.h"

#include <cstdio>
#include <string>

#include "platform/diagnostics/Trace.h"
#include "platform/text/TextCodec.h"

namespace platform {
namespace {
bool g_echo = true;
}

void SetDebugEcho(bool toStderr) { g_echo = toStderr; }

void EchoDebugLine(std::string_view cp932) {
  if (!g_echo) return;
  std::string utf8 = Cp932ToUtf8(cp932);
  std::fputs(utf8.c_str(), stderr);
  if (utf8.empty() || utf8.back() != '\n') std::fputc('\n', stderr);
}

void OutputDebugString(std::string_view cp932) {
  std::string utf8 = Cp932ToUtf8(cp932);
  EchoDebugLine(cp932);
  std::string text = utf8;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  trace::Event("{\"type\":\"debug\",\"text\":" + JsonString(text) + "}");
}
}  // namespace platform
