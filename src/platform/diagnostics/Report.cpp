#include "platform/diagnostics/Report.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/diagnostics/Debug.h"
#include "platform/diagnostics/Trace.h"
#include "platform/text/TextCodec.h"
#include "platform/window/Window.h"

namespace platform {

namespace {
uint64_t g_shownReports = 0;
}

uint64_t ShownReportCount() { return g_shownReports; }

HRESULT DXTraceA(const char* file, unsigned line, HRESULT hr, std::string_view message, bool showBox) {
  if (!file) file = "";
  char lineText[32];
  std::snprintf(lineText, sizeof lineText, "%u", line);
  char codeText[160];
  std::snprintf(codeText, sizeof codeText, "%s (0x%.8x)", ResultName(hr), static_cast<unsigned>(hr));

  std::string out;
  if (std::strlen(file) < 2800) {
    out += file;
    out += '(';
    out += lineText;
    out += "): ";
  }
  out += message;
  out += " (hr=";
  out += codeText;
  out += ")\n";
  OutputDebugString(out);

  trace::Event(std::string("{\"type\":\"report\",\"unit\":") + JsonString(file) + ",\"line\":" + lineText +
               ",\"code\":" + JsonString(codeText) + ",\"message\":" + JsonCp932(message) + "}");

  if (showBox) ++g_shownReports;
  if (showBox && std::strlen(file) + std::strlen(lineText) + std::strlen(codeText) + message.size() < 2800) {
    std::string text = std::string("File: ") + file + "\nLine: " + lineText + "\nError Code: " + codeText +
                       "\nCalling: " + std::string(message);
    if (Window* w = CurrentWindow()) {
      w->MessageBox(text, "Unexpected error encountered", MB_OK | MB_ICONERROR);
    } else {
      std::fprintf(stderr, "[error box] %s\n", Cp932ToUtf8(text).c_str());
    }
  }
  return hr;
}

}  // namespace platform
