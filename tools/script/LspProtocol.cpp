#include "LspProtocol.h"

#include <cctype>
#include <cstring>

namespace scripttool::lsp {

std::optional<std::string> ReadMessage(std::FILE* in) {
  long length = -1;
  std::string line;
  for (;;) {
    int c = std::fgetc(in);
    if (c == EOF) return std::nullopt;
    if (c != '\n') {
      line += static_cast<char>(c);
      continue;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) break;
    constexpr const char* kLength = "content-length:";
    if (line.size() > std::strlen(kLength)) {
      std::string head = line.substr(0, std::strlen(kLength));
      for (char& ch : head) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      if (head == kLength) length = std::strtol(line.c_str() + std::strlen(kLength), nullptr, 10);
    }
    line.clear();
  }
  if (length < 0) return std::nullopt;
  std::string body(static_cast<size_t>(length), '\0');
  if (length > 0 && std::fread(body.data(), 1, body.size(), in) != body.size()) return std::nullopt;
  return body;
}

void WriteMessage(std::FILE* out, const Json& message) {
  // Invalid UTF-8 (it cannot come from our CP932 conversions) is replaced
  // rather than thrown on.
  const std::string body = message.dump(-1, ' ', false, Json::error_handler_t::replace);
  std::fprintf(out, "Content-Length: %zu\r\n\r\n", body.size());
  std::fwrite(body.data(), 1, body.size(), out);
  std::fflush(out);
}

namespace {
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

std::string PathFromUri(const std::string& uri) {
  const std::string scheme = "file://";
  if (uri.compare(0, scheme.size(), scheme) != 0) return "";
  std::string path;
  for (size_t i = scheme.size(); i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size() && HexValue(uri[i + 1]) >= 0 && HexValue(uri[i + 2]) >= 0) {
      path += static_cast<char>(HexValue(uri[i + 1]) * 16 + HexValue(uri[i + 2]));
      i += 2;
    } else {
      path += uri[i];
    }
  }
  return path;
}

std::string UriFromPath(const std::string& path) {
  static const char* kHex = "0123456789ABCDEF";
  std::string uri = "file://";
  for (unsigned char c : path) {
    if (std::isalnum(c) || std::strchr("/-._~", c)) {
      uri += static_cast<char>(c);
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 15];
    }
  }
  return uri;
}

}  // namespace scripttool::lsp
