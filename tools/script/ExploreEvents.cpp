#include "ExploreEvents.h"

#include <cstdlib>

namespace scripttool {
namespace {
void AppendUtf8(std::string& out, unsigned long code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}
}  // namespace

std::string JsonField(std::string_view object, std::string_view key) {
  const std::string pattern = "\"" + std::string(key) + "\":";
  // Keys are found at the top level only: a string value that happens to
  // hold the pattern is passed over.
  size_t i = 1;
  int depth = 0;
  while (i < object.size()) {
    char c = object[i];
    if (c == '"') {
      if (depth == 0 && object.compare(i, pattern.size(), pattern) == 0) {
        size_t v = i + pattern.size();
        if (v < object.size() && object[v] == '"') {
          std::string out;
          for (size_t j = v + 1; j < object.size() && object[j] != '"'; ++j) {
            if (object[j] != '\\' || j + 1 >= object.size()) {
              out += object[j];
              continue;
            }
            char e = object[++j];
            if (e == 'n') out += '\n';
            else if (e == 'r') out += '\r';
            else if (e == 't') out += '\t';
            else if (e == 'u' && j + 4 < object.size()) {
              AppendUtf8(out, std::strtoul(std::string(object.substr(j + 1, 4)).c_str(), nullptr, 16));
              j += 4;
            } else out += e;
          }
          return out;
        }
        size_t end = object.find_first_of(",}]", v);
        return std::string(object.substr(v, end == std::string_view::npos ? std::string_view::npos : end - v));
      }
      // Past this string (a key or a value).
      for (++i; i < object.size() && object[i] != '"'; ++i)
        if (object[i] == '\\') ++i;
    } else if (c == '{' || c == '[') {
      ++depth;
    } else if (c == '}' || c == ']') {
      --depth;
    }
    ++i;
  }
  return std::string();
}

}  // namespace scripttool
