// The message window: set-up, layout, the typewriter, the wait cursor and
// the order of drawing.
#include <algorithm>
#include <string>

#include "app/framework/TextFont.h"
#include "gfx/CAnimPolygon.h"
#include "gfx/CPolygon.h"
#include "msgbox/CMsgBox.h"
#include "msgbox/MsgBoxSeams.h"
#include "platform/diagnostics/Report.h"
#include "platform/text/TextCodec.h"
#include "script/MenuItems.h"
#include "sound/CDMMusic.h"

namespace {
const char kPictureFrameTexture[] = "MsgBox\\CharaPicFrame.dds";
const char kWindowTexture[] = "MsgBox\\MsgBox.dds";
const char kCursorTexture[] = "MsgBox\\Cursor.tga";
constexpr float kCursorInterval = 0.3f;  // seconds per cursor frame
}  // namespace

namespace msgbox {
MessageWindow::MessageWindow() = default;
MessageWindow::~MessageWindow() = default;
}  // namespace msgbox

CMsgBox::CMsgBox() {
  InitSaveSlots();
  RegisterTrace();
}

CMsgBox::~CMsgBox() {
  UnregisterTrace();
  DeleteObjects();
  buttons_.buttonMenuItems.clear();
  fontMenu_.fontMenuItems.clear();
}

HRESULT CMsgBox::Init(CTextFile* textFile_, CInput* input_, int32_t* inputState_, CDSMusic* bgmPlayer_,
                      CDMMusic* soundPlayer_, const std::string& faceName, int pointSize, int flags) {
  script_.textFile = textFile_;
  devices_.input = input_;
  devices_.inputState = inputState_;
  devices_.bgmPlayer = bgmPlayer_;
  devices_.soundPlayer = soundPlayer_;
  // The menus' cursor and decide sounds.
  msgboxseam::LoadSoundEffect(devices_.soundPlayer, "Push11.wav", SJ("方向キー音"));
  msgboxseam::LoadSoundEffect(devices_.soundPlayer, "Kachi04.wav", SJ("決定キー音"));
  script_.textDir = "GameData\\Text\\";

  window_.pictureFrameSprite = std::make_unique<CPolygon>();
  window_.speakerSprite = std::make_unique<CPolygon>();
  window_.windowSprite = std::make_unique<CPolygon>();
  window_.messageTextObject = std::make_unique<TextFont>();
  window_.messageTextObject->createFont(faceName, pointSize, flags);
  fontMenu_.menuTextObject = std::make_unique<TextFont>();
  fontMenu_.menuTextObject->createFont(SJ("ＭＳ ゴシック"), 14, 1);
  window_.cursorSprite = std::make_unique<CAnimPolygon>();
  window_.bgSprite = std::make_unique<CPolygon>();
  window_.rightSprite = std::make_unique<CPolygon>();
  window_.centerSprite = std::make_unique<CPolygon>();
  window_.leftSprite = std::make_unique<CPolygon>();
  window_.wideCenterSprite = std::make_unique<CPolygon>();
  buttons_.buttonSprite = std::make_unique<CPolygon>();

  window_.pictureFrameSprite->SetTexture(kPictureFrameTexture);
  window_.windowSprite->SetTexture(kWindowTexture);
  window_.cursorSprite->SetTexture(kCursorTexture);
  return S_OK;
}

HRESULT CMsgBox::SetLayout(MsgBoxLayout l) {
  window_.layout.bg = l.bg;
  window_.layout.pictureFrame = l.pictureFrame;
  window_.layout.speaker = l.speaker;
  window_.layout.window = l.window;
  window_.layout.alpha = l.alpha;

  auto place = [](CPolygon& sprite, const SpriteRect& r, int alpha) {
    sprite.Set(r.x, r.y, r.z, r.w, r.h, r.d, alpha, 0);
  };
  place(*window_.bgSprite, l.bg, l.alpha);
  place(*window_.pictureFrameSprite, l.pictureFrame, l.alpha);
  place(*window_.speakerSprite, l.speaker, l.alpha);
  place(*window_.windowSprite, l.window, l.alpha);

  // The cursor: four frames side by side in one texture, at the window's
  // lower-right corner.
  const SpriteRect& w = l.window;
  window_.cursorSprite->Setup({{0.0f, 0.0f, 0.25f, 1.0f}, {0.25f, 0.0f, 0.5f, 1.0f}, {0.5f, 0.0f, 0.75f, 1.0f},
                       {0.75f, 0.0f, 1.0f, 1.0f}},
                      kCursorInterval, w.x + w.w - 20, w.y + w.h - 30, 0.9f, 24, 32, 0, l.alpha, 0);

  window_.messageTextObject->setColor(255, 255, 255, 255);
  window_.messageTextObject->setAlpha(l.alpha);
  window_.messageTextObject->x = w.x + 20;
  window_.messageTextObject->y = w.y + 35;
  fontMenu_.menuTextObject->setColor(255, 255, 255, 255);
  fontMenu_.menuTextObject->setAlpha(l.alpha);

  // Standing pictures are always opaque, whatever the layout alpha.
  place(*window_.leftSprite, l.left, 255);
  place(*window_.centerSprite, l.center, 255);
  place(*window_.rightSprite, l.right, 255);
  place(*window_.wideCenterSprite, l.wideCenter, 255);
  return S_OK;
}

HRESULT CMsgBox::FrameMove() {
  if (!window_.windowSprite) return S_OK;  // not set up, or already released
  for (CPolygon* sprite : {window_.pictureFrameSprite.get(), window_.speakerSprite.get(), window_.windowSprite.get(), window_.bgSprite.get(),
                           window_.rightSprite.get(), window_.centerSprite.get(), window_.leftSprite.get(), window_.wideCenterSprite.get()}) {
    sprite->FrameMove(0);
  }
  if (fades_.imageFadeActive) StepImageFade();
  if (fades_.volumeFadeActive) StepMusicFade();
  if (buttons_.buttonMenuActive) buttons_.buttonSprite->FrameMove(0);

  // The typewriter: one character per logic step, two bytes for a lead byte.
  if (script_.running) {
    if (window_.typedLength < window_.messageText.size()) {
      window_.typing = true;
      window_.typedLength += platform::IsLeadByte(static_cast<unsigned char>(window_.messageText[window_.typedLength])) ? 2 : 1;
      size_t shown = std::min<size_t>(window_.typedLength, window_.messageText.size());
      window_.messageTextObject->setText(window_.messageText.substr(0, shown));
    } else {
      window_.typing = false;
    }
  }
  if (!window_.typing && script_.running && !fades_.imageFadeActive && !fades_.volumeFadeActive) window_.cursorSprite->Update();
  return S_OK;
}

HRESULT CMsgBox::Render() {
  if (!window_.windowSprite) return S_OK;
  for (CPolygon* sprite :
       {window_.bgSprite.get(), window_.rightSprite.get(), window_.centerSprite.get(), window_.leftSprite.get(), window_.wideCenterSprite.get()}) {
    if (sprite->texture) sprite->Render();
  }
  if (window_.speakerSprite->texture) window_.speakerSprite->Render();
  window_.pictureFrameSprite->Render();

  if (buttons_.buttonMenuActive) {
    for (auto& [id, item] : buttons_.buttonMenuItems) {
      buttons_.buttonSprite->SetPosition(item->position.x, item->position.y, item->position.z);
      buttons_.buttonSprite->SetSize(item->size.x, item->size.y, item->size.z);
      auto alias = script_.textureAliases.find(item->label + SJ("ボタン"));
      if (alias == script_.textureAliases.end()) {
        // Drawing stops here on every frame the menu is open; the player
        // is told once per opening, not sixty times a second.
        if (!buttons_.buttonPictureReported) DXTRACE("CMsgBox", E_FAIL, SJ("ボタンテクスチャが見つかりません。"), true);
        buttons_.buttonPictureReported = true;
        return E_FAIL;
      }
      // A picture file that could not be loaded is not tried again on every
      // frame of this opening: each try would report it again.
      const std::string& file = alias->second;
      if (std::find(buttons_.missingButtonPictures.begin(), buttons_.missingButtonPictures.end(), file) != buttons_.missingButtonPictures.end()) {
        buttons_.buttonSprite->SetTexturePointer(nullptr);
        buttons_.buttonSprite->textureName = file;
      } else {
        buttons_.buttonSprite->SetTexture(file);
        if (!buttons_.buttonSprite->texture) buttons_.missingButtonPictures.push_back(file);
      }
      buttons_.buttonSprite->Render();
    }
  }
  if (fontMenu_.menuActive) {
    for (auto& [id, item] : fontMenu_.fontMenuItems) {
      fontMenu_.menuTextObject->setText(item->label);
      fontMenu_.menuTextObject->x = item->position.x;
      fontMenu_.menuTextObject->y = item->position.y;
      fontMenu_.menuTextObject->setColor(item->brightness, 255, 255, 255);
      fontMenu_.menuTextObject->draw();
    }
  }
  if (!buttons_.buttonMenuActive && !fontMenu_.menuActive) {
    window_.windowSprite->Render();
    window_.messageTextObject->draw();
  }
  if (!window_.typing && script_.running && !buttons_.buttonMenuActive && !fontMenu_.menuActive && !fades_.imageFadeActive && !fades_.volumeFadeActive) {
    window_.cursorSprite->Render();
  }
  return S_OK;
}

void CMsgBox::DeleteObjects() {
  window_.pictureFrameSprite.reset();
  window_.speakerSprite.reset();
  window_.windowSprite.reset();
  window_.messageTextObject.reset();
  fontMenu_.menuTextObject.reset();
  window_.cursorSprite.reset();
  window_.bgSprite.reset();
  window_.rightSprite.reset();
  window_.leftSprite.reset();
  window_.centerSprite.reset();
  window_.wideCenterSprite.reset();
  buttons_.buttonSprite.reset();
  // Fades refer to these objects.
  fades_.fadeSprites.clear();
  fades_.fadeTexts.clear();
  script_.textureAliases.clear();
}
