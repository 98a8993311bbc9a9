// The message box as the game shell sees it: set-up, layout, the logic step
// and drawing, which hand each role its part in a fixed order.
#include "msgbox/CMsgBox.h"

#include <string>

#include "framework/DueTime.h"
#include "framework/GameDataPaths.h"
#include "gfx/CAnimPolygon.h"
#include "msgbox/DeviceCalls.h"
#include "platform/text/TextCodec.h"

CMsgBox::CMsgBox() { RegisterTrace(); }

CMsgBox::~CMsgBox() {
  UnregisterTrace();
  DeleteObjects();
  buttons_.Clear();
  fontMenu_.Clear();
}

HRESULT CMsgBox::Init(CTextFile* textFile_, CInput* input_, int32_t* inputState_, CDSMusic* bgmPlayer_,
                      CDMMusic* soundPlayer_, const std::string& faceName, int pointSize, int flags) {
  devices_.input = input_;
  devices_.inputState = inputState_;
  devices_.bgmPlayer = bgmPlayer_;
  devices_.soundPlayer = soundPlayer_;
  // The menus' cursor and decide sounds.
  devicecalls::LoadSoundEffect(devices_.soundPlayer, "Push11.wav", SJ("方向キー音"));
  devicecalls::LoadSoundEffect(devices_.soundPlayer, "Kachi04.wav", SJ("決定キー音"));
  script_.Attach(textFile_, gamedata::kTextDir);

  window_.Create(faceName, pointSize, flags);
  fontMenu_.CreateText();
  buttons_.CreateSprite();
  return S_OK;
}

HRESULT CMsgBox::SetLayout(MsgBoxLayout l) {
  window_.SetLayout(l);
  fontMenu_.SetAlpha(l.alpha);
  return S_OK;
}

HRESULT CMsgBox::FrameMove() {
  if (!window_.Created()) return S_OK;  // not set up, or already released
  window_.FramePictures();
  if (fades_.ImageFadeActive()) StepImageFade();
  if (fades_.VolumeFadeActive()) StepMusicFade();
  buttons_.FrameMove();
  if (script_.Running()) {
    if (typingPace_ == 0) window_.TypeAll();
    if (typingPace_ <= 1 || ++paceCount_ >= typingPace_) {
      paceCount_ = 0;
      window_.Type();
    }
  }
  if (!window_.Typing() && script_.Running() && !fades_.Active()) window_.AnimateCursor();
  return S_OK;
}

double CMsgBox::SecondsUntilDue(double now) const {
  if (!window_.Created()) return due::kNever;
  if (fades_.Active()) return 0;  // fades look at the clock on every step
  if (!script_.Running()) return due::kNever;
  // One character per step; the step after the last one ends the typing.
  if (window_.Typing() || window_.TypedLength() < window_.MessageText().size()) return 0;
  const auto& cursor = window_.CursorSprite();
  return cursor ? cursor->SecondsUntilNextFrame(now) : due::kNever;
}

HRESULT CMsgBox::Render() {
  if (!window_.Created()) return S_OK;
  window_.RenderPictures(!chromeHidden_);
  if (chromeHidden_) return S_OK;
  if (FAILED(buttons_.Render(script_.TextureAliases()))) return E_FAIL;
  fontMenu_.Render();
  const bool menuOpen = buttons_.ButtonMenuActive() || fontMenu_.MenuActive();
  if (!menuOpen) window_.RenderWindow();
  if (!window_.Typing() && script_.Running() && !menuOpen && !fades_.Active()) window_.RenderCursor();
  return S_OK;
}

void CMsgBox::DeleteObjects() {
  window_.Release();
  fontMenu_.ReleaseText();
  buttons_.ReleaseSprite();
  // Fades refer to these objects.
  fades_.ForgetObjects();
  script_.ForgetAliases();
}
