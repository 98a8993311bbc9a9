#pragma once
// What the platform finds on this machine, for `vantorel --info`: the video
// and audio drivers SDL picks, the window's renderer, the sound device's
// format, the soundfont and the fonts the game's faces resolve to. Users
// paste it into bug reports.
#include <string>
#include <utility>
#include <vector>

namespace platform {

// (label, value) pairs in a fixed order. Opens and closes a hidden window
// and the sound device to see what they would be; nothing is shown or heard.
std::vector<std::pair<std::string, std::string>> CollectSystemInfo();

}  // namespace platform
