#pragma once
// The calls the message box's roles make into the sound players and the
// input unit, gathered in one place so that tests can watch them.
#include <cstdint>
#include <string>

#include "platform/diagnostics/Result.h"

class CDMMusic;
class CDSMusic;
class CInput;

namespace devicecalls {

// CDMMusic::LoadSegment(file, alias, 1, 0, 0, 0): a secondary, unlooped effect.
HRESULT LoadSoundEffect(CDMMusic* player, const std::string& file, const std::string& alias);
// CDMMusic::Play(alias).
HRESULT PlaySoundEffect(CDMMusic* player, const std::string& alias);
// CDSMusic::Play(name), name with its ".mid".
HRESULT PlayMusic(CDSMusic* player, const std::string& name);
// CDSMusic::SetVolume(volume), AddVolume(step), GetVolume(), in hundredths
// of a decibel; the music fade's calls. A null player is left alone (0).
HRESULT SetMusicVolume(CDSMusic* player, int32_t volume);
HRESULT AddMusicVolume(CDSMusic* player, int32_t step);
int32_t GetMusicVolume(const CDSMusic* player);
// CInput::configureDevices(): returns once the player closes the screen.
HRESULT ConfigureDevices(CInput* input);

// Tests watch the calls through this: what ("LoadSoundEffect", ...) and the
// name argument. Null: nobody watches.
extern void (*observer)(const char* what, const std::string& name);

}  // namespace devicecalls
