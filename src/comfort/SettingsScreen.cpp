#include "comfort/SettingsScreen.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "comfort/Panel.h"
#include "framework/GameFaces.h"
#include "framework/TextFont.h"
#include "platform/draw/Device.h"
#include "platform/text/TextCodec.h"
#include "platform/text/UiText.h"

namespace comfort {
namespace {
constexpr uint32_t kCursor = 0xFF3A5FCD, kPanel = 0xFF202A40, kText = 0xFFFFFFFF,
                   kDim = 0xFFB0B8C8;

using platform::Tr;

// The screen's texts in UTF-8, from the engine's catalogue: with the
// original they are the msgids themselves.
std::string Seconds(double s) {
  char b[32];
  std::snprintf(b, sizeof b, "%.2f", s);
  return std::string(b) + Tr("秒");
}

std::string OnOff(bool b) { return b ? Tr("オン") : Tr("オフ"); }

const char* const kNames[SettingsScreen::kRows] = {TR_NOOP("文字の速さ"),
                                                   TR_NOOP("オートの待ち時間"),
                                                   TR_NOOP("オートの一文字ごとの追加"),
                                                   TR_NOOP("音楽の音量"),
                                                   TR_NOOP("効果音の音量"),
                                                   TR_NOOP("消音"),
                                                   TR_NOOP("未読もスキップする"),
                                                   TR_NOOP("フルスクリーン"),
                                                   TR_NOOP("拡大の方法"),
                                                   TR_NOOP("メッセージをクリップボードへ"),
                                                   TR_NOOP("言語"),
                                                   TR_NOOP("巻き戻し"),
                                                   TR_NOOP("右クリックでウィンドウを消す"),
                                                   TR_NOOP("閉じる")};

std::string ValueText(const Settings& s, int32_t row) {
  switch (row) {
    case SettingsScreen::kTextSpeed:
      if (s.stepsPerCharacter == 0) return Tr("一度に全部");
      if (s.stepsPerCharacter == 1) return Tr("標準");
      return std::to_string(s.stepsPerCharacter) + Tr("ステップに一文字");
    case SettingsScreen::kAutoDelay: return Seconds(s.autoDelay);
    case SettingsScreen::kAutoPerCharacter: return Seconds(s.autoPerCharacter);
    case SettingsScreen::kMusic: return std::to_string(s.musicVolume) + "%";
    case SettingsScreen::kEffects: return std::to_string(s.effectVolume) + "%";
    case SettingsScreen::kMute: return OnOff(s.mute);
    case SettingsScreen::kSkipUnseen: return OnOff(s.skipUnseen);
    case SettingsScreen::kFullScreen: return OnOff(s.fullScreen);
    case SettingsScreen::kScaling: return s.sharpScaling ? Tr("整数倍（くっきり）") : Tr("ウィンドウに合わせる（なめらか）");
    case SettingsScreen::kClipboard: return OnOff(s.copyToClipboard);
    case SettingsScreen::kRollback: return OnOff(s.rollback);
    case SettingsScreen::kRightClick: return OnOff(s.rightClickHides);
    default: return {};
  }
}

// One notch from `v` towards `direction` on a grid of `step`, within [lo, hi].
double Notch(double v, int32_t direction, double step, double lo, double hi) {
  double n = std::round(v / step) + direction;
  return std::fmin(hi, std::fmax(lo, n * step));
}
}  // namespace

SettingsScreen::SettingsScreen() : text_(SJ(gamefaces::kMessageFace), 16) {}

bool SettingsScreen::Change(Settings& s, int32_t direction) const {
  const int32_t d = direction < 0 ? -1 : 1;
  switch (cursor_) {
    case kTextSpeed: {
      // Slowest to fastest: 4, 3, 2, 1 steps a character, then whole at once.
      static constexpr int32_t kOrder[] = {4, 3, 2, 1, 0};
      int32_t at = 3;
      for (int32_t i = 0; i < 5; ++i)
        if (kOrder[i] == s.stepsPerCharacter) at = i;
      at = at + d < 0 ? 0 : at + d > 4 ? 4 : at + d;
      s.stepsPerCharacter = kOrder[at];
      return true;
    }
    case kAutoDelay: s.autoDelay = Notch(s.autoDelay, d, 0.25, 0.0, 10.0); return true;
    case kAutoPerCharacter: s.autoPerCharacter = Notch(s.autoPerCharacter, d, 0.01, 0.0, 0.5); return true;
    case kMusic: s.musicVolume = s.musicVolume + 10 * d < 0 ? 0 : std::min(100, s.musicVolume + 10 * d); return true;
    case kEffects: s.effectVolume = s.effectVolume + 10 * d < 0 ? 0 : std::min(100, s.effectVolume + 10 * d); return true;
    case kMute: s.mute = !s.mute; return true;
    case kSkipUnseen: s.skipUnseen = !s.skipUnseen; return true;
    case kFullScreen: s.fullScreen = !s.fullScreen; return true;
    case kScaling: s.sharpScaling = !s.sharpScaling; return true;
    case kClipboard: s.copyToClipboard = !s.copyToClipboard; return true;
    case kRollback: s.rollback = !s.rollback; return true;
    case kRightClick: s.rightClickHides = !s.rightClickHides; return true;
    case kLanguage: s.language = NextLanguage(s.language, direction); return true;
    default: return false;
  }
}

int32_t SettingsScreen::RowAt(int32_t x, int32_t y) {
  if (x < kLeft || x >= kLeft + kWidth || y < kTop) return -1;
  const int32_t row = (y - kTop) / kRowHeight;
  return row < kRows ? row : -1;
}

std::string SettingsScreen::Name(int32_t row) {
  return row >= 0 && row < kRows ? platform::Utf8ToCp932Lossy(kNames[row]) : std::string();
}

std::string SettingsScreen::Value(const Settings& s, int32_t row) {
  return platform::Utf8ToCp932Lossy(ValueText(s, row));
}

std::string SettingsScreen::NextLanguage(const std::string& code, int32_t direction) const {
  if (languages_.empty()) return code;
  const int32_t n = int32_t(languages_.size());
  int32_t at = 0;
  for (int32_t i = 0; i < n; ++i)
    if (languages_[size_t(i)].code == code) at = i;
  return languages_[size_t(((at + (direction < 0 ? -1 : 1)) % n + n) % n)].code;
}

std::string SettingsScreen::LanguageValue(const std::string& language, bool failed) const {
  std::string value;
  for (const LanguageChoice& c : languages_)
    if (c.code == language) value = c.name;
  if (!failed) return value;
  // "%s" is the language's name; nothing of the translator's reaches printf.
  std::string shown = Tr("%s（読めません）");
  const size_t at = shown.find("%s");
  return at == std::string::npos ? value : shown.replace(at, 2, value);
}

void SettingsScreen::Render(const Settings& s, const std::string& language, bool failed) {
  platform::Device* device = TextFont::GetDevice();
  if (!device) return;
  Panel::Draw(*device, text_, Utf8{Tr("設定")});
  for (int32_t i = 0; i < kRows; ++i) {
    const float top = float(kTop + i * kRowHeight);
    FillRect(*device, float(kLeft), top, float(kWidth), float(kRowHeight - 4), i == cursor_ ? kCursor : kPanel);
    text_.Draw(*device, Utf8{Tr(kNames[i])}, float(kLeft + 12), top + 5.0f, kText);
    std::string value = ValueText(s, i);
    if (i == kLanguage) value = LanguageValue(language, failed);
    text_.Draw(*device, Utf8{value}, float(kLeft + 300), top + 5.0f, kText);
  }
  text_.Draw(*device, Utf8{Tr("↑↓: 選ぶ　←→ / クリック / ホイール: 変える　Esc / 右クリック / F2: 閉じる")}, float(kLeft),
             float(kTop + kRows * kRowHeight + 8), kDim);
}

}  // namespace comfort
