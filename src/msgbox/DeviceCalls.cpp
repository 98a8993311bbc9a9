// The message box's calls into the sound players and the input unit.
// Tests can watch them through the observer; a missing player or input
// device makes the call a no-op that reports success, as when the unit
// failed to start and the game goes on without it.
#include "msgbox/DeviceCalls.h"

#include "input/CInput.h"
#include "sound/CDMMusic.h"
#include "sound/CDSMusic.h"

namespace devicecalls {

void (*observer)(const char* what, const std::string& name) = nullptr;

namespace {
void Observe(const char* what, const std::string& name) {
  if (observer) observer(what, name);
}
}  // namespace

HRESULT LoadSoundEffect(CDMMusic* player, const std::string& file, const std::string& alias) {
  Observe("LoadSoundEffect", file + ' ' + alias);
  return player ? player->LoadSegment(file, alias, 1, 0, 0, 0) : S_OK;
}

HRESULT PlaySoundEffect(CDMMusic* player, const std::string& alias) {
  Observe("PlaySoundEffect", alias);
  return player ? player->Play(alias) : S_OK;
}

HRESULT PlayMusic(CDSMusic* player, const std::string& name) {
  Observe("PlayMusic", name);
  return player ? player->Play(name) : S_OK;
}

HRESULT SetMusicVolume(CDSMusic* player, int32_t volume) { return player ? player->SetVolume(volume) : S_OK; }

HRESULT AddMusicVolume(CDSMusic* player, int32_t step) { return player ? player->AddVolume(step) : S_OK; }

int32_t GetMusicVolume(const CDSMusic* player) { return player ? player->GetVolume() : 0; }

HRESULT ConfigureDevices(CInput* input) {
  Observe("ConfigureDevices", std::string());
  return input ? input->configureDevices() : S_OK;
}

}  // namespace devicecalls
