// The message queue, the event hooks and the choice of window.
#include "platform/window/Window.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

#include "platform/diagnostics/Trace.h"
#include "platform/window/HeadlessWindow.h"
#include "platform/window/SdlWindow.h"

namespace platform {
namespace {
std::mutex g_queueMutex;
std::condition_variable g_queued;  // with g_queueMutex: a message was queued
std::map<int, Window::EventHook>& Hooks() {
  static std::map<int, Window::EventHook> hooks;
  return hooks;
}
int g_nextHook = 1;
Window* g_current = nullptr;
}  // namespace

Window* CurrentWindow() { return g_current; }
void SetCurrentWindow(Window* w) { g_current = w; }
int Window::AddEventHook(EventHook hook) {
  int id = g_nextHook++;
  Hooks()[id] = std::move(hook);
  return id;
}
void Window::RemoveEventHook(int id) { Hooks().erase(id); }
void Window::OfferEvent(const Event& e) {
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

bool Window::TakeWindowKey(const Event& e, bool alt) {
  if (e.type != Event::Type::KeyDown && e.type != Event::Type::KeyUp) return false;
  const bool down = e.type == Event::Type::KeyDown;
  if (e.key == Key::LeftAlt) altLeft_ = down;
  if (e.key == Key::RightAlt) altRight_ = down;
  if (!down || !(e.key == Key::F11 || (alt && (e.key == Key::Return || e.key == Key::KeypadEnter)))) return false;
  if (!e.repeat) SetFullscreen(!Fullscreen());
  return true;
}

void Window::TraceDialog(const std::string& title, const std::string& text, int answer) {
  const char* a = answer == IDYES ? "yes" : answer == IDNO ? "no" : "ok";
  trace::Event("{\"type\":\"dialog\",\"title\":" + JsonCp932(title) + ",\"text\":" + JsonCp932(text) +
               ",\"answer\":\"" + a + "\"}");
}

std::unique_ptr<Window> Window::Create(const WindowConfig& config, bool headless) {
  return headless ? CreateHeadlessWindow(config) : CreateSdlWindow(config);
}

}  // namespace platform
