#include "framework/MediaPath.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/diagnostics/Debug.h"
#include "platform/files/Files.h"
#include "platform/text/TextCodec.h"

namespace {
bool CopyBounded(char* destination, const std::string& s) {
  if (s.size() >= static_cast<size_t>(kMaxPath)) return false;
  std::memcpy(destination, s.c_str(), s.size() + 1);
  return true;
}

// Where the file-name part of a CP932 path begins (after the last separator
// that is not the trail byte of a two-byte character).
size_t FileNamePart(const std::string& path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (platform::IsLeadByte(c)) {
      ++i;
      continue;
    }
    if (c == '\\' || c == '/') start = i + 1;
  }
  return start;
}
}  // namespace

const char* GetMediaPath() {
  static char buffer[kMaxPath] = "";
  return buffer;
}

HRESULT FindMediaFile(char* destination, const char* fileName) {
  if (!destination || !fileName) return E_INVALIDARG;
  std::string name(fileName);
  // The full path: relative names are taken from the current directory.
  std::string full = name;
  if (name.empty() || (name[0] != '/' && name[0] != '\\')) {
    std::string cwd;
    if (!platform::Utf8ToCp932(platform::CurrentDirectory(), cwd)) cwd.clear();
    full = cwd.empty() ? name : cwd + "/" + name;
  }
  if (full.size() >= 1024) return E_FAIL;
  std::string filePart = full.substr(FileNamePart(full));

  if (platform::FileExists(full)) {
    // A full path too long for the destination is given relative instead.
    if (CopyBounded(destination, full) || CopyBounded(destination, name)) return S_OK;
    return E_FAIL;
  }
  if (!filePart.empty() && platform::FileExists(filePart) && CopyBounded(destination, filePart)) return S_OK;
  std::string media = std::string(GetMediaPath()) + filePart;
  if (GetMediaPath()[0] != '\0' && platform::FileExists(media) && CopyBounded(destination, media)) return S_OK;
  if (!CopyBounded(destination, name)) destination[0] = '\0';
  return E_FAIL;
}

void Trace(const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);  // always terminates within 512 bytes
  va_end(args);
  platform::OutputDebugString(buffer);
}
