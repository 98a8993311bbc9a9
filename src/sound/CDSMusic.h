#pragma once
// Background music: one MIDI file at a time from the music directory. A new
// piece replaces the current one; a piece that ends starts again (the graph
// posts WM_MUSIC_EVENT to the window, whose handler calls OnGraphEvent). The
// graph is class-wide, created and released by the game.
#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "platform/audio/MusicGraph.h"
#include "platform/diagnostics/Result.h"

namespace platform {
class Window;
}

class CDSMusic {
 public:
  static constexpr uint32_t kMusicEventMessage = 0x8001;  // WM_APP + 1

  // The window receives kMusicEventMessage whenever the graph has an event;
  // null posts nothing (OnGraphEvent can still be called).
  static HRESULT InitGraph(platform::Window* window);
  static HRESULT ReleaseGraph();
  static platform::MusicGraph* Graph() { return graph.get(); }

  CDSMusic();
  ~CDSMusic();
  CDSMusic(const CDSMusic&) = delete;
  CDSMusic& operator=(const CDSMusic&) = delete;

  HRESULT SetDirectory(const std::string& dir);
  // 0 when playback was attempted, 2 when no file is at the path (the piece
  // playing goes on). An empty name plays the current path again.
  HRESULT Play(const std::string& name);
  // The same from a place Position gave (a snapshot given back); the piece
  // starts from its beginning when it ends, as any does.
  HRESULT PlayFrom(const std::string& name, int32_t tick);
  // Where the piece stands (MIDI ticks); -1 when no place can be had.
  static int32_t Position() { return graph ? graph->Position() : -1; }
  // Drains the graph's events; a finished piece starts again. One that
  // ended without reaching its end (the synthesiser's player refused it)
  // is not: it is reported, once, without a box.
  void OnGraphEvent();
  HRESULT SetVolume(int32_t v);  // clamped to -10000..0
  HRESULT AddVolume(int32_t step);
  int32_t GetVolume() const { return volume; }
  const std::string& GetPath() const { return path; }
  const std::string& GetDirectory() const { return directory; }
  // Whether the graph has a piece going.
  static bool Playing() { return graph && graph->Playing(); }

 private:
  HRESULT Start(const std::string& name, int32_t tick);
  void ReportUnplayable();
  static std::unique_ptr<platform::MusicGraph> graph;

  std::string directory;
  std::string path;
  int32_t volume = -3000;
  std::set<std::string> unplayable;  // paths reported
  int traceProvider = 0;
};
