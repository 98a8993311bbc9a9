// Snapshots of the whole box at a wait point, and giving one back.
#include <cstdint>

#include "msgbox/CMsgBox.h"
#include "sound/CDSMusic.h"

bool CMsgBox::AtWaitPoint() const {
  if (!window_.Created() || fades_.Active()) return false;
  if (MenuOpen()) return true;
  // Typing stays on for the step that types the last character.
  return script_.Running() && !window_.Typing() && !window_.MessageText().empty() && window_.TypedOut();
}

void CMsgBox::TakeSnapshot(msgbox::Snapshot& s, const msgbox::Snapshot* previous) const {
  script_.Capture(s, previous);
  window_.Capture(s, previous);
  buttons_.Capture(s, previous);
  fontMenu_.Capture(s, previous);
  s.language = translation_ ? translation_->Language() : std::string();
  s.speakerPlace = speakerOrigin_;
  s.textPlace = textOrigin_;
  s.menuScript = menuScript_;
  s.saveMode = saves_.SaveMode();
  s.loadMode = saves_.LoadMode();
  if (const CDSMusic* music = devices_.bgmPlayer) {
    s.musicPath = music->GetPath();
    s.musicVolume = music->GetVolume();
    s.musicPlaying = CDSMusic::Playing();
    s.musicTick = s.musicPlaying ? CDSMusic::Position() : -1;
  }
}

void CMsgBox::RestoreSnapshot(const msgbox::Snapshot& s, MusicReturn musicReturn) {
  fades_.Settle();
  script_.Restore(s);
  window_.Restore(s);
  buttons_.Restore(s);
  fontMenu_.Restore(s);
  saves_.RestoreModes(s.saveMode, s.loadMode);
  RestoreTranslation(s);
  if (CDSMusic* music = devices_.bgmPlayer) {
    const std::string& dir = music->GetDirectory();
    const bool differs = music->GetPath() != s.musicPath || (s.musicPlaying && !CDSMusic::Playing());
    // The same piece at another place: moved there for a load only, and only
    // when the place is known (else it goes on rather than start over).
    const bool moved = musicReturn == MusicReturn::AtPlace && s.musicPlaying && s.musicTick >= 0 &&
                       CDSMusic::Position() != s.musicTick;
    // A piece whose place could not be had (none then, or a save without
    // it) starts from its beginning.
    if ((differs || moved) && !s.musicPath.empty() && s.musicPath.compare(0, dir.size(), dir) == 0)
      music->PlayFrom(s.musicPath.substr(dir.size()), s.musicPlaying ? s.musicTick : 0);
    music->SetVolume(s.musicVolume);
  }
  paceCount_ = 0;
}

void CMsgBox::RestoreTranslation(const msgbox::Snapshot& s) {
  speakerOrigin_ = s.speakerPlace;
  textOrigin_ = s.textPlace;
  menuScript_ = s.menuScript;
  if (translation_) {
    // In the language chosen now: typed as far as it was in the same one,
    // else whole or from nothing as it stood.
    const std::string shown = window_.GivenText().empty() ? std::string() : TranslatedMessage();
    const size_t typed = s.language == translation_->Language() ? s.shownGraphemes : s.shownWhole ? SIZE_MAX : 0;
    window_.RestoreTranslated(shown, translation_->Language(), typed);
  } else {
    shownLabel_ = window_.SpeakerLabel();
  }
  TranslateMenus();
}
