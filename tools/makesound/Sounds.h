#pragma once
// Every sound the tool can make, by name.
#include <functional>
#include <string>
#include <vector>

#include "Midi.h"
#include "Wave.h"

namespace makesound {

struct SoundEntry {
  std::string name;
  std::string description;
  std::function<Wave()> effect;  // set for effects (.wav)
  std::function<Song()> music;   // set for music (.mid)
};

const std::vector<SoundEntry>& Catalog();

Wave MakeDecide();
Wave MakeCursor();
Wave MakeDoor();
Wave MakeFootsteps();
Wave MakeWind();
Wave MakeMeow();
Wave MakeSchoolBell();
Wave MakeSparkle();

Song ComposeSchoolTheme();
Song ComposeEveningTheme();
Song ComposeNightTheme();

}  // namespace makesound
