// The message window: set-up, layout, the typewriter, the wait cursor and
// the order of drawing.
#include <algorithm>
#include <string>

#include "app/framework/TextFont.h"
#include "gfx/CAnimPolygon.h"
#include "gfx/CPolygon.h"
#include "msgbox/CMsgBox.h"
#include "msgbox/MsgBoxSeams.h"
#include "platform/Report.h"
#include "platform/TextCodec.h"
#include "script/MenuItems.h"
#include "sound/CDMMusic.h"

namespace {
const char kPictureFrameTexture[] = "MsgBox\\CharaPicFrame.dds";
const char kWindowTexture[] = "MsgBox\\MsgBox.dds";
const char kCursorTexture[] = "MsgBox\\Cursor.tga";
constexpr float kCursorInterval = 0.3f;  // seconds per cursor frame
}  // namespace

CMsgBox::CMsgBox() {
  buttonMenuCursor = buttonMenuItems.end();
  fontMenuCursor = fontMenuItems.end();
  InitSaveSlots();
  RegisterTrace();
}

CMsgBox::~CMsgBox() {
  UnregisterTrace();
  DeleteObjects();
  buttonMenuItems.clear();
  fontMenuItems.clear();
}

HRESULT CMsgBox::Init(CTextFile* textFile_, CInput* input_, int32_t* inputState_, CDSMusic* bgmPlayer_,
                      CDMMusic* soundPlayer_, const std::string& faceName, int pointSize, int flags) {
  textFile = textFile_;
  input = input_;
  inputState = inputState_;
  bgmPlayer = bgmPlayer_;
  soundPlayer = soundPlayer_;
  // The menus' cursor and decide sounds.
  msgboxseam::LoadSoundEffect(soundPlayer, "Push11.wav", SJ("方向キー音"));
  msgboxseam::LoadSoundEffect(soundPlayer, "Kachi04.wav", SJ("決定キー音"));
  textDir = "GameData\\Text\\";

  pictureFrameSprite = std::make_unique<CPolygon>();
  speakerSprite = std::make_unique<CPolygon>();
  windowSprite = std::make_unique<CPolygon>();
  messageTextObject = std::make_unique<TextFont>();
  messageTextObject->createFont(faceName, pointSize, flags);
  menuTextObject = std::make_unique<TextFont>();
  menuTextObject->createFont(SJ("ＭＳ ゴシック"), 14, 1);
  cursorSprite = std::make_unique<CAnimPolygon>();
  bgSprite = std::make_unique<CPolygon>();
  rightSprite = std::make_unique<CPolygon>();
  centerSprite = std::make_unique<CPolygon>();
  leftSprite = std::make_unique<CPolygon>();
  wideCenterSprite = std::make_unique<CPolygon>();
  buttonSprite = std::make_unique<CPolygon>();

  pictureFrameSprite->SetTexture(kPictureFrameTexture);
  windowSprite->SetTexture(kWindowTexture);
  cursorSprite->SetTexture(kCursorTexture);
  return S_OK;
}

HRESULT CMsgBox::SetLayout(MsgBoxLayout l) {
  layout.bg = l.bg;
  layout.pictureFrame = l.pictureFrame;
  layout.speaker = l.speaker;
  layout.window = l.window;
  layout.alpha = l.alpha;

  auto place = [](CPolygon& sprite, const SpriteRect& r, int alpha) {
    sprite.Set(r.x, r.y, r.z, r.w, r.h, r.d, alpha, 0);
  };
  place(*bgSprite, l.bg, l.alpha);
  place(*pictureFrameSprite, l.pictureFrame, l.alpha);
  place(*speakerSprite, l.speaker, l.alpha);
  place(*windowSprite, l.window, l.alpha);

  // The cursor: four frames side by side in one texture, at the window's
  // lower-right corner.
  const SpriteRect& w = l.window;
  cursorSprite->Setup({{0.0f, 0.0f, 0.25f, 1.0f}, {0.25f, 0.0f, 0.5f, 1.0f}, {0.5f, 0.0f, 0.75f, 1.0f},
                       {0.75f, 0.0f, 1.0f, 1.0f}},
                      kCursorInterval, w.x + w.w - 20, w.y + w.h - 30, 0.9f, 24, 32, 0, l.alpha, 0);

  messageTextObject->setColor(255, 255, 255, 255);
  messageTextObject->setAlpha(l.alpha);
  messageTextObject->x = w.x + 20;
  messageTextObject->y = w.y + 35;
  menuTextObject->setColor(255, 255, 255, 255);
  menuTextObject->setAlpha(l.alpha);

  // Standing pictures are always opaque, whatever the layout alpha.
  place(*leftSprite, l.left, 255);
  place(*centerSprite, l.center, 255);
  place(*rightSprite, l.right, 255);
  place(*wideCenterSprite, l.wideCenter, 255);
  return S_OK;
}

HRESULT CMsgBox::FrameMove() {
  if (!windowSprite) return S_OK;  // not set up, or already released
  for (CPolygon* sprite : {pictureFrameSprite.get(), speakerSprite.get(), windowSprite.get(), bgSprite.get(),
                           rightSprite.get(), centerSprite.get(), leftSprite.get(), wideCenterSprite.get()}) {
    sprite->FrameMove(0);
  }
  if (imageFadeActive) StepImageFade();
  if (volumeFadeActive) StepMusicFade();
  if (buttonMenuActive) buttonSprite->FrameMove(0);

  // The typewriter: one character per logic step, two bytes for a lead byte.
  if (running) {
    if (typedLength < messageText.size()) {
      typing = true;
      typedLength += platform::IsLeadByte(static_cast<unsigned char>(messageText[typedLength])) ? 2 : 1;
      size_t shown = std::min<size_t>(typedLength, messageText.size());
      messageTextObject->setText(messageText.substr(0, shown));
    } else {
      typing = false;
    }
  }
  if (!typing && running && !imageFadeActive && !volumeFadeActive) cursorSprite->Update();
  return S_OK;
}

HRESULT CMsgBox::Render() {
  if (!windowSprite) return S_OK;
  for (CPolygon* sprite :
       {bgSprite.get(), rightSprite.get(), centerSprite.get(), leftSprite.get(), wideCenterSprite.get()}) {
    if (sprite->texture) sprite->Render();
  }
  if (speakerSprite->texture) speakerSprite->Render();
  pictureFrameSprite->Render();

  if (buttonMenuActive) {
    for (auto& [id, item] : buttonMenuItems) {
      buttonSprite->SetPosition(item->position.x, item->position.y, item->position.z);
      buttonSprite->SetSize(item->size.x, item->size.y, item->size.z);
      auto alias = textureAliases.find(item->label + SJ("ボタン"));
      if (alias == textureAliases.end()) {
        // Drawing stops here on every frame the menu is open; the player
        // is told once per opening, not sixty times a second.
        if (!buttonPictureReported_) DXTRACE("CMsgBox", E_FAIL, SJ("ボタンテクスチャが見つかりません。"), true);
        buttonPictureReported_ = true;
        return E_FAIL;
      }
      // A picture file that could not be loaded is not tried again on every
      // frame of this opening: each try would report it again.
      const std::string& file = alias->second;
      if (std::find(missingButtonPictures_.begin(), missingButtonPictures_.end(), file) != missingButtonPictures_.end()) {
        buttonSprite->SetTexturePointer(nullptr);
        buttonSprite->textureName = file;
      } else {
        buttonSprite->SetTexture(file);
        if (!buttonSprite->texture) missingButtonPictures_.push_back(file);
      }
      buttonSprite->Render();
    }
  }
  if (menuActive) {
    for (auto& [id, item] : fontMenuItems) {
      menuTextObject->setText(item->label);
      menuTextObject->x = item->position.x;
      menuTextObject->y = item->position.y;
      menuTextObject->setColor(item->brightness, 255, 255, 255);
      menuTextObject->draw();
    }
  }
  if (!buttonMenuActive && !menuActive) {
    windowSprite->Render();
    messageTextObject->draw();
  }
  if (!typing && running && !buttonMenuActive && !menuActive && !imageFadeActive && !volumeFadeActive) {
    cursorSprite->Render();
  }
  return S_OK;
}

void CMsgBox::DeleteObjects() {
  pictureFrameSprite.reset();
  speakerSprite.reset();
  windowSprite.reset();
  messageTextObject.reset();
  menuTextObject.reset();
  cursorSprite.reset();
  bgSprite.reset();
  rightSprite.reset();
  leftSprite.reset();
  centerSprite.reset();
  wideCenterSprite.reset();
  buttonSprite.reset();
  // Fades refer to these objects.
  fadeSprites.clear();
  fadeTexts.clear();
  textureAliases.clear();
}
