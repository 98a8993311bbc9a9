// The message window's part of the headless trace: its state on every line,
// and an event for every step and every script opened.
#include <cstdio>
#include <string>

#include "gfx/CAnimPolygon.h"
#include "gfx/CPolygon.h"
#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Trace.h"

namespace {
const char* Bool(bool b) { return b ? "true" : "false"; }

std::string Number(float f) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", static_cast<double>(f));
  return buf;
}

void AppendSprite(std::string& out, const char* key, const CPolygon* sprite) {
  if (out.back() != '{') out += ',';
  out += '"';
  out += key;
  out += "\":";
  if (!sprite) {
    out += "null";
    return;
  }
  Vec3 p = sprite->GetPosition();
  Vec3 s = sprite->GetSize();
  out += "{\"name\":" + platform::JsonCp932(sprite->textureName) + ",\"shown\":" + Bool(sprite->texture != nullptr) +
         ",\"alpha\":" + std::to_string(sprite->GetAlpha()) + ",\"x\":" + Number(p.x) + ",\"y\":" + Number(p.y) +
         ",\"w\":" + Number(s.x) + ",\"h\":" + Number(s.y) + "}";
}
}  // namespace

void CMsgBox::RegisterTrace() {
  traceId_ = platform::trace::AddStateProvider([this](std::string& members) { TraceState(members); });
}

void CMsgBox::UnregisterTrace() {
  if (traceId_) platform::trace::RemoveStateProvider(traceId_);
  traceId_ = 0;
}

void CMsgBox::TraceState(std::string& out) const {
  using platform::JsonCp932;
  out += "\"script\":" + JsonCp932(currentScriptName);
  out += ",\"position\":" + std::to_string(script_.Position());
  out += ",\"words\":" + std::to_string(script_.Words().size());
  out += std::string(",\"running\":") + Bool(script_.Running());
  // In a translation, the message as shown: its rows and what is typed of them.
  const bool translated = window_.Translated();
  out += ",\"message\":" + (translated ? platform::JsonString(window_.ShownText()) : JsonCp932(window_.MessageText()));
  out += ",\"typed\":" + std::to_string(translated ? window_.ShownTyped() : window_.TypedLength());
  out += std::string(",\"typing\":") + Bool(window_.Typing());
  out += ",\"speakerKey\":" + JsonCp932(window_.SpeakerKey());
  out += ",\"speakerLabel\":" + (translated ? platform::JsonString(shownLabel_) : JsonCp932(window_.SpeakerLabel()));
  out += std::string(",\"buttonMenuActive\":") + Bool(buttons_.ButtonMenuActive());
  out += std::string(",\"menuActive\":") + Bool(fontMenu_.MenuActive());
  out += std::string(",\"saveMode\":") + Bool(saves_.SaveMode());
  out += std::string(",\"loadMode\":") + Bool(saves_.LoadMode());
  out += std::string(",\"imageFadeActive\":") + Bool(fades_.ImageFadeActive());
  out += std::string(",\"volumeFadeActive\":") + Bool(fades_.VolumeFadeActive());

  out += ",\"variables\":{";
  for (auto it = script_.Variables().begin(); it != script_.Variables().end(); ++it) {
    if (it != script_.Variables().begin()) out += ',';
    out += JsonCp932(it->first) + ":" + JsonCp932(it->second);
  }
  out += "},\"intVars\":{";
  for (auto it = script_.IntVars().begin(); it != script_.IntVars().end(); ++it) {
    if (it != script_.IntVars().begin()) out += ',';
    out += JsonCp932(it->first) + ":" + std::to_string(it->second);
  }
  out += "},\"actions\":{";
  if (devices_.inputState) {
    bool first = true;
    for (int id = 0; id < 255; ++id) {
      if (!devices_.inputState[id]) continue;
      if (!first) out += ',';
      first = false;
      out += "\"" + std::to_string(id) + "\":" + std::to_string(devices_.inputState[id]);
    }
  }
  out += "},\"sprites\":{";
  AppendSprite(out, "bg", window_.BgSprite().get());
  AppendSprite(out, "left", window_.LeftSprite().get());
  AppendSprite(out, "center", window_.CenterSprite().get());
  AppendSprite(out, "right", window_.RightSprite().get());
  AppendSprite(out, "wideCenter", window_.WideCenterSprite().get());
  AppendSprite(out, "speaker", window_.SpeakerSprite().get());
  AppendSprite(out, "pictureFrame", window_.PictureFrameSprite().get());
  AppendSprite(out, "window", window_.WindowSprite().get());
  AppendSprite(out, "cursor", window_.CursorSprite().get());
  AppendSprite(out, "button", buttons_.ButtonSprite().get());
  out += '}';
  AppendMenuTrace(out);
}

void CMsgBox::TraceStep(HRESULT result) {
  if (!platform::trace::Enabled()) return;
  platform::trace::Event("{\"type\":\"step\",\"result\":" + std::to_string(result) + "}");
}

void CMsgBox::TraceOpen(const std::string& name, HRESULT result) {
  if (!platform::trace::Enabled()) return;
  platform::trace::Event("{\"type\":\"open\",\"name\":" + platform::JsonCp932(name) +
                         ",\"result\":" + std::to_string(result) + "}");
}
