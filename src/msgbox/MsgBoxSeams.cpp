// SEAM: until the sound and input units land, these calls only report to
// the observer; each body becomes the one-line call named in MsgBoxSeams.h.
#include "msgbox/MsgBoxSeams.h"

#include "sound/CDSMusic.h"

namespace msgboxseam {

void (*observer)(const char* what, const std::string& name) = nullptr;

namespace {
HRESULT Observe(const char* what, const std::string& name) {
  if (observer) observer(what, name);
  return S_OK;
}
}  // namespace

HRESULT LoadSoundEffect(CDMMusic* /*player*/, const std::string& file, const std::string& alias) {
  return Observe("LoadSoundEffect", file + ' ' + alias);
}

HRESULT PlaySoundEffect(CDMMusic* /*player*/, const std::string& alias) { return Observe("PlaySoundEffect", alias); }

HRESULT PlayMusic(CDSMusic* /*player*/, const std::string& name) { return Observe("PlayMusic", name); }

// The music player has landed: these are its calls.
HRESULT SetMusicVolume(CDSMusic* player, int32_t volume) { return player ? player->SetVolume(volume) : S_OK; }

HRESULT AddMusicVolume(CDSMusic* player, int32_t step) { return player ? player->AddVolume(step) : S_OK; }

int32_t GetMusicVolume(const CDSMusic* player) { return player ? player->GetVolume() : 0; }

HRESULT ConfigureDevices(CInput* /*input*/) { return Observe("ConfigureDevices", std::string()); }

}  // namespace msgboxseam
