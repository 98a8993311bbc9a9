#include "app/Reloader.h"

#include <cstdio>

#include "app/RunOptions.h"
#include "framework/GameDataPaths.h"
#include "gfx/CPolygon.h"
#include "msgbox/CMsgBox.h"
#include "platform/files/Files.h"
#include "platform/text/TextCodec.h"
#include "platform/diagnostics/Trace.h"
#include "script/CTextFile.h"

namespace {
void Say(const std::string& line) { std::fprintf(stderr, "vantorel: %s\n", line.c_str()); }
std::string Utf8(const std::string& cp932) { return platform::Cp932ToUtf8(cp932); }
}  // namespace

std::vector<Reloader::Watched> Reloader::WatchedFiles() const {
  std::vector<Watched> files;
  const msgbox::Interpreter& script = box_.Script();
  if (script.ScriptPath().size() > script.TextDir().size()) {
    std::string path = script.ScriptPath();
    // An enciphered script lies on disk under its marked name.
    if (!textFile_.IsEncrypted() || CTextFile::MarkEnciphered(path))
      files.push_back({platform::ResolvePath(path), box_.OpenScriptName(), true});
  }
  for (const auto& [name, texture] : CPolygon::Registry())
    files.push_back({platform::ResolvePath(gamedata::kTextureDir + name), name, false});
  return files;
}

void Reloader::Step(uint32_t nowMs) {
  if (!watcher_.Due(nowMs)) return;
  std::vector<Watched> files = WatchedFiles();
  std::vector<std::string> paths;
  for (const Watched& f : files) paths.push_back(f.hostPath);
  std::vector<std::string> changed = watcher_.Poll(paths);
  // A held script waits only while it is still the open one.
  if (!heldScript_.empty() && heldScript_ != box_.OpenScriptName()) heldScript_.clear();
  for (const Watched& f : files) {
    bool saved = false;
    for (const std::string& p : changed) saved = saved || p == f.hostPath;
    if (f.script && (saved || heldScript_ == f.name)) ReloadScript(f.name);
    else if (saved) ReloadPicture(f.name);
  }
}

void Reloader::ReloadScript(const std::string& name) {
  size_t landing = 0;
  switch (box_.ReloadScript(landing)) {
    case CMsgBox::Reload::Held:
      if (heldScript_ != name) Say("script " + Utf8(name) + " saved; it is reloaded when the menu or fade ends");
      heldScript_ = name;
      return;
    case CMsgBox::Reload::Unreadable:
      heldScript_.clear();
      Say("script " + Utf8(name) + " no longer reads (missing or without words); the old words stay");
      platform::trace::Event("{\"type\":\"reload\",\"script\":" + platform::JsonCp932(name) +
                             ",\"failed\":true}");
      return;
    case CMsgBox::Reload::Done:
      heldScript_.clear();
      Say("reloaded script " + Utf8(name) + " at word " + std::to_string(landing));
      platform::trace::Event("{\"type\":\"reload\",\"script\":" + platform::JsonCp932(name) +
                             ",\"word\":" + std::to_string(landing) + "}");
      return;
  }
}

void Reloader::ReloadPicture(const std::string& name) {
  size_t sprites = 0;
  if (FAILED(CPolygon::ReloadTexture(name, sprites))) {
    Say("picture " + Utf8(name) + " no longer reads; the old picture stays");
    platform::trace::Event("{\"type\":\"reload\",\"picture\":" + platform::JsonCp932(name) +
                           ",\"failed\":true}");
    return;
  }
  Say("reloaded picture " + Utf8(name) + " into " + std::to_string(sprites) + " sprite" +
      (sprites == 1 ? "" : "s"));
  platform::trace::Event("{\"type\":\"reload\",\"picture\":" + platform::JsonCp932(name) +
                         ",\"sprites\":" + std::to_string(sprites) + "}");
}

bool ApplyDueRewrites(std::vector<FileRewrite>& rewrites, uint64_t pass) {
  bool ok = true;
  for (auto it = rewrites.begin(); it != rewrites.end();) {
    if (it->pass > pass) {
      ++it;
      continue;
    }
    std::string bytes;
    // Written in place, as an editor that truncates and writes does.
    if (platform::ReadRegularFile(it->from, bytes, platform::file_caps::kPicture) != platform::FileRead::kRead ||
        !platform::OverwriteRegularFile(it->to, bytes)) {
      Say("--rewrite-at: cannot copy '" + it->from + "' over '" + it->to + "'");
      ok = false;
    }
    it = rewrites.erase(it);
  }
  return ok;
}
