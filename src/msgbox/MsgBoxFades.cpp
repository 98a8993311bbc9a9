// The FadeIn / FadeOut commands and the fades' per-frame steps. A fade holds
// the script: Step does nothing while one runs, and the fade's end steps the
// script itself, so the script goes on unprompted.
#include <string>

#include "msgbox/CMsgBox.h"

CMsgBox::Outcome CMsgBox::CmdFadeIn() { return StartFade(true); }
CMsgBox::Outcome CMsgBox::CmdFadeOut() { return StartFade(false); }

CMsgBox::Outcome CMsgBox::StartFade(bool in) {
  fades_.Start(in, NextArgument(), window_);
  // The step ends here even when these were the last words of the file.
  NextWord();
  return Return(S_OK);
}

void CMsgBox::StepImageFade() {
  const msgbox::FadeStep step = fades_.StepImage();
  if (step == msgbox::FadeStep::Going) return;
  // The message shown so far vanishes; messageText itself stays.
  window_.ClearShownText();
  StepAfterFade(step == msgbox::FadeStep::EndedAfterTime);
}

int32_t CMsgBox::StepMusicFade() {
  const msgbox::FadeStep step = fades_.StepMusic(devices_.bgmPlayer);
  if (step != msgbox::FadeStep::Going) StepAfterFade(step == msgbox::FadeStep::EndedAfterTime);
  return 0;
}
