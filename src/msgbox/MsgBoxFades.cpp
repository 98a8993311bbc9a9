// Fades of pictures and music. Until the stepped fades are built, a fade
// that is started ends in the next frame at its final alpha, and the script
// goes on by itself as after any fade.
#include "app/TextFont.h"
#include "gfx/CPolygon.h"
#include "msgbox/CMsgBox.h"

void CMsgBox::StepImageFade() {
  int alpha = imageFadeIn ? 255 : 0;
  for (TextFont* text : fadeTexts) text->setAlpha(alpha);
  for (CPolygon* sprite : fadeSprites) sprite->SetAlpha(alpha);
  imageFadeActive = false;
  fadeSprites.clear();
  fadeTexts.clear();
  if (messageTextObject) messageTextObject->setText("");
  Step();
}

int32_t CMsgBox::StepMusicFade() {
  volumeFadeActive = false;
  Step();
  return 0;
}
