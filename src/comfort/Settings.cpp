#include "comfort/Settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "comfort/SettingsText.h"
#include "platform/files/Files.h"
#include "platform/input/InputBindings.h"
#include "platform/text/TextCodec.h"

namespace comfort {
namespace {
constexpr int32_t kMinWindowWidth = 160, kMinWindowHeight = 120;
}  // namespace

void Settings::Clamp() {
  stepsPerCharacter = std::clamp(stepsPerCharacter, 0, 4);
  autoDelay = std::clamp(autoDelay, 0.0, 10.0);
  autoPerCharacter = std::clamp(autoPerCharacter, 0.0, 0.5);
  musicVolume = std::clamp(musicVolume, 0, 100);
  effectVolume = std::clamp(effectVolume, 0, 100);
  if (windowWidth != 0 || windowHeight != 0) {
    windowWidth = std::clamp(windowWidth, kMinWindowWidth, 9999);
    windowHeight = std::clamp(windowHeight, kMinWindowHeight, 9999);
  }
}

int32_t VolumeLevel(int32_t percent, bool mute) {
  if (mute || percent <= 0) return -10000;
  // 40 dB over the whole range, evenly in log terms: half is -12 dB.
  return static_cast<int32_t>(std::lround(4000.0 * std::log10(std::min(percent, 100) / 100.0)));
}

std::string SerializeSettings(const Settings& s) { return SettingsText().Write(s); }

bool ParseSettings(std::string_view text, Settings& out, std::string& error) {
  std::vector<std::string> problems;
  SettingsText().Parse(text, out, problems);
  if (problems.empty()) return true;
  error = problems.front();
  return false;
}

std::string PlayerConfigDirectory() {
  const std::string dir = platform::ConfigDirectory();
  return dir.empty() ? dir : dir + "/" + platform::GameId();
}

}  // namespace comfort
