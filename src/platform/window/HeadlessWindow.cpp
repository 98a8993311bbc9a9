// The headless window: an off-screen device, no platform events, and every
// dialog answered at once (Yes/No by the answer set for the run).
#include "platform/window/HeadlessWindow.h"

#include <cstdio>
#include <map>

#include "platform/draw/Device.h"
#include "platform/draw/OffscreenDevice.h"
#include "platform/text/TextCodec.h"
#include "platform/window/Window.h"

namespace platform {
namespace {
bool g_headlessYes = true;
}  // namespace

void SetHeadlessAnswer(bool yes) { g_headlessYes = yes; }
bool HeadlessAnswer() { return g_headlessYes; }

namespace {
class HeadlessWindow : public Window {
 public:
  explicit HeadlessWindow(const WindowConfig& c)
      : device_(CreateOffscreenDevice(c.width, c.height)), width_(c.width), height_(c.height) {}
  bool Ok() const { return device_ != nullptr; }
  bool Headless() const override { return true; }
  Device& GetDevice() override { return *device_; }
  void Show() override {}
  void Destroy() override {}
  bool Minimized() const override { return false; }
  bool Focused() const override { return true; }
  void WaitMessage(uint32_t) override {}
  // What a player could change is kept as state, for the units that follow it.
  void SetFullscreen(bool on) override { fullscreen_ = on; }
  bool Fullscreen() const override { return fullscreen_; }
  void WindowedSize(int& w, int& h) const override { w = width_, h = height_; }
  void SetWindowedSize(int w, int h) override { width_ = w, height_ = h; }
  void SetMenuCheck(uint32_t command, bool checked) override { checks_[command] = checked; }
  bool MenuChecked(uint32_t command) const override {
    auto it = checks_.find(command);
    return it != checks_.end() && it->second;
  }
  int MessageBox(const std::string& text, const std::string& title, uint32_t type) override {
    int answer = (type & 0xF) == MB_YESNO ? (HeadlessAnswer() ? IDYES : IDNO) : IDOK;
    std::fprintf(stderr, "[dialog] %s: %s -> %s\n", Cp932ToUtf8(title).c_str(), Cp932ToUtf8(text).c_str(),
                 answer == IDYES ? "yes" : answer == IDNO ? "no" : "ok");
    TraceDialog(title, text, answer);
    return answer;
  }

 protected:
  void PumpEvents() override {}

 private:
  std::unique_ptr<Device> device_;
  bool fullscreen_ = false;
  int width_, height_;
  std::map<uint32_t, bool> checks_;
};
}  // namespace

std::unique_ptr<Window> CreateHeadlessWindow(const WindowConfig& config) {
  auto w = std::make_unique<HeadlessWindow>(config);
  if (!w->Ok()) return nullptr;
  return w;
}

}  // namespace platform
