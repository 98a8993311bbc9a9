#pragma once
// Helpers for the input tests: a private configuration directory, the game's
// action map, and key events as the window hands them to the input system.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "input/CInput.h"
#include "input/GameActions.h"
#include "platform/diagnostics/Trace.h"
#include "platform/input/InputSystem.h"
#include "platform/window/Event.h"
#include "support/ScratchDir.h"

// Points XDG_CONFIG_HOME at a fresh directory for the test's lifetime.
class ConfigHome {
 public:
  ConfigHome() : dir_(ScratchDir::kStay, "config") {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    hadOld_ = old != nullptr;
    if (old) old_ = old;
    ::setenv("XDG_CONFIG_HOME", dir_.Path().c_str(), 1);
  }
  ~ConfigHome() {
    if (hadOld_)
      ::setenv("XDG_CONFIG_HOME", old_.c_str(), 1);
    else
      ::unsetenv("XDG_CONFIG_HOME");
  }
  const std::string& Path() const { return dir_.Path(); }

 private:
  ScratchDir dir_;
  std::string old_;
  bool hadOld_ = false;
};

inline platform::ActionMapSpec GameSpec() {
  platform::ActionMapSpec spec;
  spec.guid = GuidText(kGameActionMapGuid);
  for (const DIACTION& a : GameActions()) spec.actions.push_back({a.uAppData, a.dwSemantic});
  spec.genre = 0x07000000;
  return spec;
}

inline void SendKey(platform::InputSystem& sys, platform::Key key, bool down, bool repeat = false) {
  sys.OnPlatformEvent(platform::Event::KeyPress(key, down, repeat));
}

// The input unit made with the game's action map, its 255 action slots and
// a private configuration directory: what the input tests of both test
// binaries start from.
struct InputHarness {
  void Create(platform::Window* window = nullptr) {
    ASSERT_EQ(input.create(kGameActionMapGuid, nullptr, window, "Vantorel Ver1.0", GameActions().data(),
                           static_cast<uint32_t>(sizeof(DIACTION) * GameActions().size())),
              S_OK);
  }
  void Poll(int32_t active = 1) { ASSERT_EQ(input.poll(s.data(), active), S_OK); }
  platform::InputSystem& Sys() { return *input.System(); }
  void KeyStep(platform::Key k, bool down) {
    SendKey(Sys(), k, down);
    Poll();
  }
  // The decide and direction grids fired and saw what was pressed: a press
  // let go of since then clears its slot (CInput latches each press).
  void GridsFired() { input.Latch().GridFired(s.data(), {3, 4, 5, 6, 7}); }

  ConfigHome home;
  std::array<int32_t, 255> s{};
  CInput input;
};

// Records the trace of a test in a temporary file, to read back what was
// written to the debugger output and which events were traced.
class ScratchTrace {
 public:
  ScratchTrace() {
    char templ[] = "/tmp/vantorel-trace-XXXXXX";
    int fd = ::mkstemp(templ);
    if (fd >= 0) ::close(fd);
    path_ = templ;
    platform::trace::Open(path_);
  }
  ~ScratchTrace() {
    platform::trace::Close();
    ::unlink(path_.c_str());
  }
  // Ends the trace and returns its text.
  std::string Text() {
    platform::trace::EndFrame(0, 0);
    platform::trace::Close();
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::vector<std::string> DebugLines() {
    std::string text = Text();
    std::vector<std::string> out;
    const std::string tag = "{\"type\":\"debug\",\"text\":\"";
    for (size_t at = text.find(tag); at != std::string::npos; at = text.find(tag, at + 1)) {
      size_t start = at + tag.size(), end = start;
      while (end < text.size() && text[end] != '"') end += text[end] == '\\' ? 2 : 1;
      out.push_back(text.substr(start, end - start));
    }
    return out;
  }

 private:
  std::string path_;
};
