#include "sound/CDSMusic.h"

#include <algorithm>

#include "platform/diagnostics/Report.h"
#include "platform/diagnostics/Trace.h"
#include "platform/files/Files.h"
#include "platform/text/TextCodec.h"
#include "platform/window/Window.h"

using namespace platform;

static_assert(CDSMusic::kMusicEventMessage == WM_APP + 1);

std::unique_ptr<MusicGraph> CDSMusic::graph;

HRESULT CDSMusic::InitGraph(Window* window) {
  graph.reset();
  graph = std::make_unique<MusicGraph>();
  if (window) graph->SetNotify([window] { window->PostMessage(kMusicEventMessage, 0, 0); });
  return S_OK;
}

HRESULT CDSMusic::ReleaseGraph() {
  graph.reset();
  return S_OK;
}

CDSMusic::CDSMusic() {
  traceProvider = trace::AddStateProvider([this](std::string& members) {
    members += "\"music\":{\"path\":" + JsonCp932(path) + ",\"volume\":" + std::to_string(volume) +
               ",\"playing\":" + (graph && graph->Playing() ? "true" : "false") + "}";
  });
}

CDSMusic::~CDSMusic() { trace::RemoveStateProvider(traceProvider); }

HRESULT CDSMusic::SetDirectory(const std::string& dir) {
  directory = dir;
  return S_OK;
}

HRESULT CDSMusic::Play(const std::string& name) { return Start(name, 0); }

HRESULT CDSMusic::PlayFrom(const std::string& name, int32_t tick) { return Start(name, std::max(tick, 0)); }

HRESULT CDSMusic::Start(const std::string& name, int32_t tick) {
  if (!name.empty()) path = directory + name;
  HRESULT result = 0;
  if (!FileExists(path)) {
    // The graph is left alone: the current piece goes on, but `path` now
    // names the missing file, so it is not started again when it ends.
    result = 2;
    // The game plays on without a box, but the author is told which piece
    // is missing (once per asking: the replay at a piece's end names none).
    if (!name.empty()) DXTRACE("CDSMusic", E_FAIL, SJ("MIDIファイルが見つかりませんでした。"), false, name);
  } else if (graph && graph->Play(path, tick)) {
    SetVolume(volume);
  }
  // The place only when there is one: a piece started from its beginning
  // traces as it always has.
  trace::Event("{\"type\":\"midi\",\"name\":" + JsonCp932(name) + ",\"result\":" + std::to_string(result) +
               (tick > 0 ? ",\"at\":" + std::to_string(tick) : std::string()) + "}");
  return result;
}

void CDSMusic::OnGraphEvent() {
  int code = 0;
  while (graph && graph->GetEvent(code)) {
    if (code == MusicGraph::kComplete) {
      Play(std::string());
      break;
    }
    if (code == MusicGraph::kUserAbort) break;
    if (code == MusicGraph::kErrorAbort) ReportUnplayable();
  }
}

void CDSMusic::ReportUnplayable() {
  // Once a piece: the script may ask for it again, and nothing would change.
  if (!unplayable.insert(path).second) return;
  // Named as the script names it: the file name without the directory.
  const size_t slash = path.find_last_of('\\');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  DXTRACE("CDSMusic", E_FAIL, SJ("MIDIファイルを再生できませんでした（何も鳴らずに終わります）。"), false, name);
}

HRESULT CDSMusic::SetVolume(int32_t v) {
  volume = std::clamp(v, -10000, 0);
  return graph ? graph->SetVolume(volume) : 0;
}

HRESULT CDSMusic::AddVolume(int32_t step) {
  // Summed wide, so no step can wrap the volume around.
  int64_t sum = static_cast<int64_t>(volume) + step;
  return SetVolume(static_cast<int32_t>(std::clamp<int64_t>(sum, -10000, 0)));
}
