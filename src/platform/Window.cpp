// The message queue, event hooks and the headless window.
#include "platform/Window.h"

#include <SDL.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/TextCodec.h"
#include "platform/Trace.h"

namespace platform {
namespace {
std::mutex g_queueMutex;
std::condition_variable g_queued;  // with g_queueMutex: a message was queued
std::map<int, Window::RawEventHook>& Hooks() {
  static std::map<int, Window::RawEventHook> hooks;
  return hooks;
}
int g_nextHook = 1;
Window* g_current = nullptr;
bool g_headlessYes = true;
}  // namespace

Window* CurrentWindow() { return g_current; }
void SetCurrentWindow(Window* w) { g_current = w; }
void SetHeadlessAnswer(bool yes) { g_headlessYes = yes; }

bool ShowsNoWindow(const char* userDriver, const char* chosenDriver) {
  if (userDriver && *userDriver) return false;
  if (!chosenDriver) return true;
  // SDL's fallbacks: "evdev" is the dummy driver reading evdev input.
  for (const char* invisible : {"offscreen", "dummy", "evdev"})
    if (std::strcmp(chosenDriver, invisible) == 0) return true;
  return false;
}
bool HeadlessAnswer() { return g_headlessYes; }

int Window::AddRawEventHook(RawEventHook hook) {
  int id = g_nextHook++;
  Hooks()[id] = std::move(hook);
  return id;
}
void Window::RemoveRawEventHook(int id) { Hooks().erase(id); }
void Window::OfferRawEvent(const void* e) {
  for (auto& [id, hook] : Hooks()) hook(e);
}

void Window::PostMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  Enqueue(Message{msg, wParam, lParam});
  Wake();
}
void Window::Enqueue(const Message& m) {
  {
    std::lock_guard<std::mutex> lock(g_queueMutex);
    queue_.push_back(m);
  }
  g_queued.notify_all();
}
bool Window::QueueEmpty() {
  std::lock_guard<std::mutex> lock(g_queueMutex);
  return queue_.empty();
}
void Window::WaitPosted(uint32_t timeoutMs) {
  std::unique_lock<std::mutex> lock(g_queueMutex);
  g_queued.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !queue_.empty(); });
}

bool Window::PeekMessage() {
  PumpEvents();
  std::lock_guard<std::mutex> lock(g_queueMutex);
  return !queue_.empty();
}

bool Window::GetMessage(Message& out) {
  while (!PeekMessage()) WaitMessage(10);
  std::lock_guard<std::mutex> lock(g_queueMutex);
  out = queue_.front();
  queue_.pop_front();
  return out.msg != WM_QUIT;
}

// Trace and stderr line for every dialog, in both modes.
void TraceDialog(const std::string& title, const std::string& text, int answer) {
  const char* a = answer == IDYES ? "yes" : answer == IDNO ? "no" : "ok";
  trace::Event("{\"type\":\"dialog\",\"title\":" + JsonCp932(title) + ",\"text\":" + JsonCp932(text) +
               ",\"answer\":\"" + a + "\"}");
}

namespace {
class HeadlessWindow : public Window {
 public:
  explicit HeadlessWindow(const WindowConfig& c) : device_(CreateOffscreenDevice(c.width, c.height)) {}
  bool Ok() const { return device_ != nullptr; }
  bool Headless() const override { return true; }
  Device& GetDevice() override { return *device_; }
  void Show() override {}
  void Destroy() override {}
  bool Minimized() const override { return false; }
  bool Focused() const override { return true; }
  void WaitMessage(uint32_t) override {}
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
};
}  // namespace

std::unique_ptr<Window> CreateSdlWindow(const WindowConfig& config);

std::unique_ptr<Window> Window::Create(const WindowConfig& config, bool headless) {
  if (headless) {
    auto w = std::make_unique<HeadlessWindow>(config);
    if (!w->Ok()) return nullptr;
    return w;
  }
  return CreateSdlWindow(config);
}

}  // namespace platform
