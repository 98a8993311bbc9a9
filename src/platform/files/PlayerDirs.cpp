// The game's identity and the player's data directory for it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/files/Files.h"

namespace platform {
namespace {
std::string& CurrentGameId() {
  static std::string id;
  return id;
}

uint64_t Fnv1a(std::string_view bytes) {
  uint64_t h = 14695981039346656037ull;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

std::string Hex(uint64_t v) {
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
  return buf;
}
}  // namespace

std::string MakeGameId(std::string_view directoryName, std::string_view openingScript) {
  // The name is only for people looking at the directory: bytes that could
  // make it a path or hide it are replaced; UTF-8 letters stay.
  std::string name;
  for (unsigned char c : directoryName) {
    if (name.size() >= 48) break;
    const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' ||
                       c == '_' || c >= 0x80;
    name += plain ? static_cast<char>(c) : '_';
  }
  if (name.empty() || name.find_first_not_of('_') == std::string::npos) name = "game";
  return name + "-" + Hex(Fnv1a(openingScript)).substr(0, 12);
}

void SetGameId(const std::string& id) { CurrentGameId() = id; }

std::string GameId() {
  if (!CurrentGameId().empty()) return CurrentGameId();
  return "game-" + Hex(Fnv1a(CurrentDirectory())).substr(0, 12);
}

std::string VantorelHome(const char* xdgVariable, const char* homeFallback) {
  const char* xdg = std::getenv(xdgVariable);
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/vantorel";
  const char* home = std::getenv("HOME");
  if (home && home[0]) return std::string(home) + "/" + homeFallback + "/vantorel";
  return std::string();
}

std::string PlayerDataDirectory() {
  const std::string dir = VantorelHome("XDG_DATA_HOME", ".local/share");
  return dir.empty() ? dir : dir + "/" + GameId();
}
}  // namespace platform
