#include "platform/audio/SoundFonts.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

namespace platform {

std::vector<std::string> SoundFontCandidates() {
  std::vector<std::string> out;
  if (const char* env = std::getenv("VANTOREL_SOUNDFONT"); env && *env) out.emplace_back(env);
  for (const char* p : {"/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
                        "/usr/share/sounds/sf2/default-GM.sf2"}) {
    struct stat st;
    if (::stat(p, &st) == 0 && S_ISREG(st.st_mode)) out.emplace_back(p);
  }
  return out;
}

bool LooksLikeSoundFont(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  // A pipe or a device is left to the loader to read: reading it here
  // could wait on the thread that asks.
  if (!S_ISREG(st.st_mode)) return true;
  std::ifstream in(path, std::ios::binary);
  char head[12] = {};
  if (!in.read(head, sizeof head)) return false;
  return std::string(head, 4) == "RIFF" && std::string(head + 8, 4) == "sfbk";
}

std::string ChooseSoundFont(std::string* passedOver) {
  if (passedOver) passedOver->clear();
  const char* env = std::getenv("VANTOREL_SOUNDFONT");
  for (const std::string& candidate : SoundFontCandidates()) {
    if (LooksLikeSoundFont(candidate)) return candidate;
    if (passedOver && env && candidate == env)
      *passedOver = "VANTOREL_SOUNDFONT names " + candidate + ", which is no soundfont that can be read";
  }
  return std::string();
}

}  // namespace platform
