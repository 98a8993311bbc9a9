#include "platform/diagnostics/Report.h"

#include <algorithm>
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
// Names are words of a script or file names; one that is longer than any
// path could be is cut, so the box stays readable.
constexpr size_t kLongestSubject = 260;
}  // namespace

std::string SubjectLine(std::string_view subject) {
  std::string line = SJ("対象: ");
  if (subject.empty()) return line + SJ("（空の名前）");
  size_t end = 0;
  while (end < subject.size()) {
    const size_t width = IsLeadByte(static_cast<unsigned char>(subject[end])) ? 2 : 1;
    if (end + width > kLongestSubject) break;
    end += width;
  }
  line.append(subject.substr(0, std::min(end, subject.size())));
  if (end < subject.size()) line += SJ("…");
  return line;
}

uint64_t ShownReportCount() { return g_shownReports; }

HRESULT DXTraceA(const char* file, unsigned line, HRESULT hr, std::string_view message, bool showBox,
                 std::optional<std::string_view> subject) {
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
  // The debug line stays as it always was; the subject comes below it.
  const std::string subjectLine = subject ? SubjectLine(*subject) : std::string();
  if (subject) EchoDebugLine(subjectLine);

  trace::Event(std::string("{\"type\":\"report\",\"unit\":") + JsonString(file) + ",\"line\":" + lineText +
               ",\"code\":" + JsonString(codeText) + ",\"message\":" + JsonCp932(message) +
               (subject ? ",\"subject\":" + JsonCp932(*subject) : std::string()) + "}");

  if (showBox) ++g_shownReports;
  if (showBox && std::strlen(file) + std::strlen(lineText) + std::strlen(codeText) + message.size() < 2800) {
    std::string text = std::string("File: ") + file + "\nLine: " + lineText + "\nError Code: " + codeText +
                       "\nCalling: " + std::string(message);
    if (subject) text += "\n" + subjectLine;
    if (Window* w = CurrentWindow()) {
      w->MessageBox(text, "Unexpected error encountered", MB_OK | MB_ICONERROR);
    } else {
      std::fprintf(stderr, "[error box] %s\n", Cp932ToUtf8(text).c_str());
    }
  }
  return hr;
}

}  // namespace platform
