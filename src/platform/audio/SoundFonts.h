#pragma once
// Which General MIDI soundfont the music is synthesised with.
#include <string>
#include <vector>

namespace platform {

// The soundfonts to try, in order: the file $VANTOREL_SOUNDFONT names (as
// named, readable or not), then FluidR3_GM, TimGM6mb and default-GM where
// they are installed in /usr/share/sounds/sf2.
std::vector<std::string> SoundFontCandidates();

// True for a regular file that can be read and begins as a SoundFont 2
// file does ("RIFF", a length, "sfbk"), and for any other file but a
// directory (a pipe, say), which only loading it can tell.
bool LooksLikeSoundFont(const std::string& path);

// The first candidate that looks like a soundfont; "" when none does. When
// $VANTOREL_SOUNDFONT names a file that does not, `passedOver` (if given)
// says so, naming it; otherwise it is left empty.
std::string ChooseSoundFont(std::string* passedOver = nullptr);

}  // namespace platform
