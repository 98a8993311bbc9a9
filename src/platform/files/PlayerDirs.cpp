// The game's identity and the player's data directory for it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/files/ContentHash.h"
#include "platform/files/Files.h"

namespace platform {
namespace {
std::string& CurrentGameId() {
  static std::string id;
  return id;
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
  return name + "-" + Hex16(Fnv1a64(openingScript)).substr(0, 12);
}

void SetGameId(const std::string& id) { CurrentGameId() = id; }

std::string GameId() {
  if (!CurrentGameId().empty()) return CurrentGameId();
  return "game-" + Hex16(Fnv1a64(CurrentDirectory())).substr(0, 12);
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
