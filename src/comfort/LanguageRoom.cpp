#include "comfort/LanguageRoom.h"

#include <algorithm>

#include "gfx/CPolygon.h"
#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Report.h"
#include "platform/diagnostics/Trace.h"
#include "platform/text/Font.h"
#include "platform/text/Languages.h"
#include "platform/text/TextCodec.h"
#include "platform/text/UiText.h"

namespace comfort {

LanguageRoom::LanguageRoom(CMsgBox& box, std::string cacheDir)
    : box_(box), cacheDir_(std::move(cacheDir)), files_(msgbox::FindTranslations()) {
  choices_.push_back({std::string(), platform::LanguageName(kOriginalLanguage)});
  for (const msgbox::TranslationFile& f : files_) choices_.push_back({f.language, platform::LanguageName(f.language)});
}

LanguageRoom::~LanguageRoom() {
  // The process-wide choices go back to the original's with this room.
  if (!current_.empty()) Follow(std::string());
}

bool LanguageRoom::Has(const std::string& code) const {
  return std::any_of(files_.begin(), files_.end(), [&](const msgbox::TranslationFile& f) { return f.language == code; });
}

std::string LanguageRoom::Match(const std::vector<std::string>& wanted) const {
  for (const std::string& w : wanted) {
    if (w == kOriginalLanguage || w.rfind(std::string(kOriginalLanguage) + "_", 0) == 0) return {};
    if (Has(w)) return w;
  }
  return {};
}

std::shared_ptr<const msgbox::Translation> LanguageRoom::Load(const std::string& code) {
  if (auto it = loaded_.find(code); it != loaded_.end()) return it->second;
  if (failed_.count(code)) return nullptr;
  auto file = std::find_if(files_.begin(), files_.end(), [&](const msgbox::TranslationFile& f) { return f.language == code; });
  std::string error = "no translation file for " + code;
  std::shared_ptr<const msgbox::Translation> t;
  if (file != files_.end()) t = msgbox::LoadTranslation(*file, error, cacheDir_);
  if (!t) {
    failed_.insert(code);
    platform::DXTraceA("LanguageRoom", __LINE__, E_FAIL,
                       platform::Utf8ToCp932Lossy(std::string(platform::Tr("翻訳を読めません。ゲームは元の言語のまま続きます：")) +
                                                  error),
                       false);
    return nullptr;
  }
  loaded_.emplace(code, t);
  return t;
}

void LanguageRoom::Follow(const std::string& code) {
  wanted_ = code;
  if (code == current_) return;
  std::shared_ptr<const msgbox::Translation> t;
  if (!code.empty()) t = Load(code);
  const std::string next = t ? code : std::string();
  if (next == current_) return;
  current_ = next;
  // Fonts and pictures first: the message on screen is laid out anew with them.
  platform::SetFontLanguage(current_);
  CPolygon::SetTextureLanguage(current_);
  platform::SetUiLanguage(current_.empty() ? kOriginalLanguage : current_);
  box_.SetTranslation(std::move(t));
}

void LanguageRoom::Trace(std::string& members) const {
  if (!current_.empty()) members += ",\"language\":" + platform::JsonString(current_);
  if (failed_.empty()) return;
  members += ",\"languagesFailed\":[";
  bool first = true;
  for (const std::string& code : failed_) {
    if (!first) members += ',';
    first = false;
    members += platform::JsonString(code);
  }
  members += "]";
}

}  // namespace comfort
