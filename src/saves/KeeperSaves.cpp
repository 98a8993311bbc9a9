// Our saves: quick save and load, the autosave ring, --continue.
#include <chrono>

#include "comfort/Controller.h"
#include "framework/GameDataPaths.h"
#include "framework/TextFont.h"
#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Debug.h"
#include "platform/diagnostics/Report.h"
#include "platform/diagnostics/Trace.h"
#include "platform/files/Files.h"
#include "platform/files/ImageEncoder.h"
#include "platform/text/TextCodec.h"
#include "platform/text/UiText.h"
#include "saves/Keeper.h"
#include "saves/ScriptChanges.h"
#include "script/CTextFile.h"

namespace saves {

namespace {
// A line of ours to the player, in the language of our screens, as the
// failure report takes it (CP932; the catalogue's English is ASCII).
std::string Said(const char* msgid) { return platform::Utf8ToCp932Lossy(platform::Tr(msgid)); }

constexpr int kThumbScale = 4;  // the thumbnail is the screen at a quarter of its size

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}
}  // namespace

std::string Keeper::Thumbnail() const {
  platform::Device* device = TextFont::GetDevice();
  std::vector<uint32_t> px;
  if (!device || !device->ReadPixels(px) || px.empty()) return {};
  const int w = device->Width(), h = device->Height();
  if (w < kThumbScale || h < kThumbScale || px.size() < size_t(w) * size_t(h)) return {};
  platform::Image image;
  image.width = w / kThumbScale;
  image.height = h / kThumbScale;
  image.argb.resize(size_t(image.width) * size_t(image.height));
  // Each pixel the mean of the block it stands for.
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      uint32_t sum[3] = {0, 0, 0};
      for (int dy = 0; dy < kThumbScale; ++dy)
        for (int dx = 0; dx < kThumbScale; ++dx) {
          const uint32_t p = px[size_t(y * kThumbScale + dy) * size_t(w) + size_t(x * kThumbScale + dx)];
          sum[0] += (p >> 16) & 0xFF, sum[1] += (p >> 8) & 0xFF, sum[2] += p & 0xFF;
        }
      const uint32_t n = kThumbScale * kThumbScale;
      image.argb[size_t(y) * size_t(image.width) + size_t(x)] =
          0xFF000000u | (sum[0] / n) << 16 | (sum[1] / n) << 8 | (sum[2] / n);
    }
  std::string png;
  return platform::EncodeImage(image, platform::ImageType::Png, png) ? png : std::string();
}

SaveContents Keeper::Contents(const char* kind) const {
  SaveContents c;
  const auto& entries = record_.Entries();
  c.record.assign(entries.begin(), entries.begin() + static_cast<long>(record_.At()) + 1);
  const RecordEntry& at = c.record.back();
  // The history as it stood at that entry.
  const comfort::History& history = comforts_.Messages();
  const uint64_t later = history.Added() > at.historyAdded ? history.Added() - at.historyAdded : 0;
  const size_t keep = history.Entries().size() > later ? history.Entries().size() - size_t(later) : 0;
  c.history.assign(history.Entries().begin(), history.Entries().begin() + static_cast<long>(keep));
  const msgbox::Snapshot& s = at.snapshot;
  c.summary.kind = kind;
  c.summary.timeMs = NowMs();
  c.summary.time = c.summary.timeMs / 1000;
  c.summary.speaker = s.speakerLabel;
  c.summary.text = s.givenText.compare(0, s.speakerLabel.size(), s.speakerLabel) == 0
                       ? s.givenText.substr(s.speakerLabel.size())
                       : s.givenText;
  c.summary.script = s.currentScriptName;
  c.summary.position = s.position;
  c.summary.thumbnailPng = Thumbnail();
  return c;
}

bool Keeper::SaveAs(const std::string& name, const char* kind) {
  if (!place_.Usable()) return false;
  if (record_.Empty()) {
    // Nothing the player has seen yet to come back to: said, not saved.
    DXTRACE("Keeper", E_FAIL, Said("まだセーブできる場面がありません。"), false, name);
    return false;
  }
  const bool automatic = std::string(kind) == "auto";
  if (!place_.Write(name, EncodeSave(Contents(kind)))) {
    // Why, in the player's words (a full disk, a read-only place). A save the
    // player asked for is a failure reported with its box; an autosave, which
    // nobody asked for, goes to the debug output once, as the game's other
    // failures that need no attention do.
    const std::string why = platform::TakeWriteFailureReason();
    const std::string where = platform::Utf8ToCp932Lossy(place_.HostPath(name));
    if (!automatic)
      DXTRACE("Keeper", E_FAIL, Said("セーブデータの書き込みに失敗しました。") + why, true, where);
    else if (!autoFailed_)
      platform::OutputDebugString(Said("オートセーブの書き込みに失敗しました。") + why + " (" + where + ")\n");
    if (automatic) autoFailed_ = true;
    return false;
  }
  if (!automatic) used_ = true;
  TraceFile("save", kind, name);
  return true;
}

bool Keeper::AutoSave() {
  if (!place_.Usable() || record_.Empty()) return false;
  // The title as start-up opens it is no progress to keep: autosaving it
  // would leave --continue there after a start that only looked at it.
  const std::string& script = record_.Current()->snapshot.scriptPath;
  const std::string opening = SJ(gamedata::kOpeningScript);
  if (script.size() >= opening.size() && script.compare(script.size() - opening.size(), opening.size(), opening) == 0)
    return false;
  if (autoNext_ < 0) {
    const std::string next = place_.NextAutoName();
    autoNext_ = 0;
    for (int i = 0; i < SavePlace::kAutoRing; ++i)
      if (SavePlace::AutoName(i) == next) autoNext_ = i;
  }
  const std::string name = SavePlace::AutoName(autoNext_);
  autoNext_ = (autoNext_ + 1) % SavePlace::kAutoRing;
  return SaveAs(name, "auto");
}

void Keeper::AtQuit() {
  if (!record_.Empty()) AutoSave();
}

bool Keeper::LoadFrom(const std::string& name) {
  std::string bytes, why;
  SaveContents c;
  if (!place_.Read(name, bytes) || !DecodeSave(bytes, c, why)) {
    DXTRACE("Keeper", E_FAIL, SJ("データのロードに失敗。"), true, platform::Utf8ToCp932Lossy(place_.HostPath(name)));
    return false;
  }
  // The script as it is now: a save of a script that is gone is refused; one
  // of a script that changed is fitted to it, and its record before dropped.
  msgbox::Snapshot& last = c.record.back().snapshot;
  std::vector<std::string> now;
  CTextFile* file = box_.Script().TextFile();
  if (!file || last.scriptPath.empty() || FAILED(file->Read(last.scriptPath, now))) {
    DXTRACE("Keeper", E_FAIL, Said("このセーブデータのスクリプトは、今のゲームにはもうありません。"), true, last.scriptPath);
    return false;
  }
  const Fit fit = FitToScript(last, now, c.record);
  if (fit != Fit::Unchanged) {
    // A load that went well, said once as a note (the debug output and the
    // trace), not as a failure with its box.
    platform::OutputDebugString(Said(FitNote(fit)) + " (" + last.scriptPath + ")\n");
    c.record.erase(c.record.begin(), c.record.end() - 1);
  }
  // The history first, so that the record's numbers of messages follow it.
  comfort::HistoryRoom& history = comforts_.HistoryScreen();
  history.Close();
  history.Clear();
  for (const comfort::HistoryEntry& m : c.history) history.Add(m);
  const uint64_t savedAdded = c.record.back().historyAdded;
  const uint64_t nowAdded = history.Messages().Added();
  for (RecordEntry& e : c.record)
    e.historyAdded = e.historyAdded + nowAdded >= savedAdded ? e.historyAdded + nowAdded - savedAdded : 0;
  record_.Adopt(std::move(c.record));
  record_.RestoreCurrent(box_);
  if (fit == Fit::SameMessage || fit == Fit::EarlierMessage || fit == Fit::ScriptStart) box_.Step();
  used_ = true;
  TraceFile("load", c.summary.kind.c_str(), name);
  return true;
}

bool Keeper::ContinueNewest() {
  const std::string newest = place_.Newest();
  if (newest.empty()) {
    DXTRACE("Keeper", E_FAIL, Said("つづきから始められるセーブデータがありません。"), false, platform::Utf8ToCp932Lossy(place_.Directory()));
    return false;
  }
  return LoadFrom(newest);
}

void Keeper::TraceFile(const char* type, const char* kind, const std::string& name) const {
  if (!platform::trace::Enabled()) return;
  // Autosaves show once the player has used anything of ours: a run without
  // it traces as before.
  if (std::string(kind) == "auto" && !Used()) return;
  platform::trace::Event(std::string("{\"type\":\"") + type + "\",\"kind\":\"" + kind +
                         "\",\"file\":" + platform::JsonString(name) + "}");
}

}  // namespace saves
