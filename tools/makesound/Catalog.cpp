#include "Sounds.h"

namespace makesound {

const std::vector<SoundEntry>& Catalog() {
  static const std::vector<SoundEntry> entries = {
      {"decide", "decide chime, two bell notes", MakeDecide, nullptr},
      {"cursor", "cursor tick", MakeCursor, nullptr},
      {"door", "sliding classroom door", MakeDoor, nullptr},
      {"footsteps", "light running steps", MakeFootsteps, nullptr},
      {"wind", "evening breeze, 4 s", MakeWind, nullptr},
      {"meow", "a cat's nyaa", MakeMeow, nullptr},
      {"school-bell", "school bell chime", MakeSchoolBell, nullptr},
      {"sparkle", "rising sparkle", MakeSparkle, nullptr},
      {"school-theme", "music: after school (title), piano and strings, 65 s", nullptr, ComposeSchoolTheme},
      {"evening-theme", "music: evening park, ocarina and guitar waltz, 57 s", nullptr, ComposeEveningTheme},
      {"night-theme", "music: promise under the stars, music box and harp, 58 s", nullptr, ComposeNightTheme},
  };
  return entries;
}

}  // namespace makesound
