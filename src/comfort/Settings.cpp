#include "comfort/Settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/diagnostics/Report.h"
#include "platform/files/Files.h"
#include "platform/input/InputBindings.h"
#include "platform/text/TextCodec.h"

namespace comfort {
namespace {
constexpr int32_t kMinWindowWidth = 160, kMinWindowHeight = 120;
constexpr const char* kHeader = "# vantorel settings 1";

std::string Number(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%g", v);
  return b;
}

bool ParseBool(const std::string& v, bool& out) {
  if (v == "on") out = true;
  else if (v == "off") out = false;
  else return false;
  return true;
}

bool ParseInt(const std::string& v, int32_t& out) {
  if (v.empty() || v.size() > 4 || v.find_first_not_of("0123456789") != std::string::npos) return false;
  out = std::stoi(v);
  return true;
}

bool ParseSeconds(const std::string& v, double& out) {
  char* end = nullptr;
  out = std::strtod(v.c_str(), &end);
  return !v.empty() && end && *end == '\0' && std::isfinite(out) && out >= 0.0;
}
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

std::string SerializeSettings(const Settings& s) {
  auto onOff = [](bool b) { return b ? "on" : "off"; };
  std::string out = std::string(kHeader) + "\n";
  out += "steps-per-character = " + std::to_string(s.stepsPerCharacter) + "\n";
  out += "auto-delay = " + Number(s.autoDelay) + "\n";
  out += "auto-per-character = " + Number(s.autoPerCharacter) + "\n";
  out += "music-volume = " + std::to_string(s.musicVolume) + "\n";
  out += "effect-volume = " + std::to_string(s.effectVolume) + "\n";
  out += std::string("mute = ") + onOff(s.mute) + "\n";
  out += std::string("skip-unseen = ") + onOff(s.skipUnseen) + "\n";
  out += std::string("full-screen = ") + onOff(s.fullScreen) + "\n";
  out += std::string("scaling = ") + (s.sharpScaling ? "sharp" : "smooth") + "\n";
  out += std::string("copy-to-clipboard = ") + onOff(s.copyToClipboard) + "\n";
  out += "window-width = " + std::to_string(s.windowWidth) + "\n";
  out += "window-height = " + std::to_string(s.windowHeight) + "\n";
  return out;
}

bool ParseSettings(std::string_view text, Settings& out, std::string& error) {
  Settings s;
  std::istringstream lines{std::string(text)};
  std::string line;
  if (!std::getline(lines, line) || line != kHeader) {
    error = "not a settings file";
    return false;
  }
  int number = 1;
  while (std::getline(lines, line)) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    const size_t eq = line.find(" = ");
    const std::string key = eq == std::string::npos ? line : line.substr(0, eq);
    const std::string value = eq == std::string::npos ? "" : line.substr(eq + 3);
    bool ok = eq != std::string::npos;
    if (!ok) {
    } else if (key == "steps-per-character") ok = ParseInt(value, s.stepsPerCharacter);
    else if (key == "auto-delay") ok = ParseSeconds(value, s.autoDelay);
    else if (key == "auto-per-character") ok = ParseSeconds(value, s.autoPerCharacter);
    else if (key == "music-volume") ok = ParseInt(value, s.musicVolume);
    else if (key == "effect-volume") ok = ParseInt(value, s.effectVolume);
    else if (key == "mute") ok = ParseBool(value, s.mute);
    else if (key == "skip-unseen") ok = ParseBool(value, s.skipUnseen);
    else if (key == "full-screen") ok = ParseBool(value, s.fullScreen);
    else if (key == "copy-to-clipboard") ok = ParseBool(value, s.copyToClipboard);
    else if (key == "window-width") ok = ParseInt(value, s.windowWidth);
    else if (key == "window-height") ok = ParseInt(value, s.windowHeight);
    else if (key == "scaling") {
      ok = value == "sharp" || value == "smooth";
      s.sharpScaling = value == "sharp";
    } else {
      error = "line " + std::to_string(number) + ": unknown setting '" + key + "'";
      return false;
    }
    if (!ok) {
      error = "line " + std::to_string(number) + ": bad value in '" + line + "'";
      return false;
    }
  }
  const Settings read = s;
  s.Clamp();
  if (!(s == read)) {
    error = "a value out of its range";
    return false;
  }
  out = s;
  return true;
}

std::string PlayerConfigDirectory() {
  const std::string dir = platform::ConfigDirectory();
  return dir.empty() ? dir : dir + "/" + platform::GameId();
}

Settings SettingsFile::Load() {
  Settings s;
  if (path_.empty()) return s;
  std::string text;
  const platform::FileRead read = platform::ReadRegularFile(path_, text, platform::file_caps::kSettings);
  if (read == platform::FileRead::kMissing) return s;  // none yet: the defaults, written on the first change
  if (read != platform::FileRead::kRead) {
    // Not ours to replace (a FIFO, a device, a directory), or too large to
    // read: the defaults, and said once.
    platform::ReportRefusedFile(platform::Utf8ToCp932Lossy(path_), read, platform::file_caps::kSettings);
    return s;
  }
  std::string error;
  if (ParseSettings(text, s, error)) return s;
  platform::DXTraceA("Settings", __LINE__, E_FAIL,
                     platform::Utf8ToCp932Lossy("設定ファイルが壊れているため初期設定に戻します: " + path_ + " (" + error + ")"),
                     false);
  s = Settings{};
  Save(s);  // replaced, so that it is reported only this once
  return s;
}

bool SettingsFile::Save(const Settings& s) const {
  if (path_.empty()) return false;
  const size_t slash = path_.rfind('/');
  if (slash != std::string::npos && slash > 0) platform::MakeHostDirs(path_.substr(0, slash));
  return platform::WriteHostFileAtomic(path_, SerializeSettings(s));
}

}  // namespace comfort
