#pragma once
// The main window and its message queue, standing in for Win32. Create
// chooses one of two kinds, once: the real window (SdlWindow: a menu bar
// drawn by us above the 640 x 480 game area, letterboxed scaling, full screen
// on F11 / Alt+Enter, modal dialogs drawn in the window) or the headless one
// (HeadlessWindow: no SDL window at all, an off-screen device, dialogs
// answered automatically).
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/draw/Device.h"
#include "platform/window/Event.h"

namespace platform {

enum : uint32_t {
  WM_ACTIVATE = 0x0006, WM_PAINT = 0x000F, WM_CLOSE = 0x0010, WM_QUIT = 0x0012,
  WM_COMMAND = 0x0111, WM_MOUSEMOVE = 0x0200, WM_APP = 0x8000,
};
enum : uint32_t { MB_OK = 0x0, MB_YESNO = 0x4, MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20 };
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

struct Message {
  uint32_t msg = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

struct WindowConfig {
  std::string title;  // CP932
  int width = 640, height = 480;
  int iconId = 0;
  bool hasMenu = false;
  std::string menuPopup;  // CP932, e.g. "システム"
  std::string menuItem;   // CP932
  uint32_t menuCommand = 0;
  // Items above that one, in order: label (CP932) and command.
  struct MenuEntry {
    std::string label;
    uint32_t command = 0;
  };
  std::vector<MenuEntry> menuExtras;
};

class Window {
 public:
  virtual ~Window() = default;
  static std::unique_ptr<Window> Create(const WindowConfig& config, bool headless);

  virtual bool Headless() const = 0;
  virtual Device& GetDevice() = 0;
  virtual void Show() = 0;
  virtual void Destroy() = 0;  // the window and its menu go; the queue stays
  virtual bool Minimized() const = 0;
  virtual bool Focused() const = 0;
  // The player's settings: full screen, and scaling by whole multiples with
  // sharp pixels instead of filling the window smoothly. Headless: full
  // screen is only a state, scaling nothing.
  virtual void SetFullscreen(bool) {}
  virtual bool Fullscreen() const { return false; }
  virtual void SetSharpScaling(bool) {}
  // The window's size out of full screen (the whole inside, menu bar
  // included), as the player left it; headless: the game area's.
  virtual void WindowedSize(int& w, int& h) const { w = h = 0; }
  virtual void SetWindowedSize(int, int) {}
  // A check mark beside a menu item (given by its command).
  virtual void SetMenuCheck(uint32_t, bool) {}
  virtual bool MenuChecked(uint32_t) const { return false; }
  // F11 and Alt+Enter turn full screen on and off in the window itself,
  // in every kind of window: true when `e` was such a press, which then
  // reaches nothing else (its release goes on as any other). `alt`: an Alt key is held (as the platform knows
  // it; the scripted input's windows follow its Alt presses).
  bool TakeWindowKey(const Event& e, bool alt);
  bool TakeWindowKey(const Event& e) { return TakeWindowKey(e, altLeft_ || altRight_); }

  // Message queue. PostMessage may be called from any thread; it wakes a
  // WaitMessage at once.
  void PostMessage(uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0);
  // Pumps platform events into the queue; true when a message waits.
  bool PeekMessage();
  // Takes the next message (pumping/waiting when none); false for WM_QUIT.
  bool GetMessage(Message& out);
  // Blocks until a message or platform event arrives or timeoutMs passes.
  virtual void WaitMessage(uint32_t timeoutMs) = 0;

  // The window procedure: modal loops hand it the messages they do not hold
  // back (application messages such as the music's end), as Win32's do.
  using MessageHandler = std::function<void(const Message&)>;
  void SetMessageHandler(MessageHandler handler) { handler_ = std::move(handler); }
  // False when there is no window procedure to take it.
  bool Dispatch(const Message& m) {
    if (!handler_) return false;
    handler_(m);
    return true;
  }

  // A modal message box; returns IDYES, IDNO or IDOK.
  virtual int MessageBox(const std::string& textCp932, const std::string& titleCp932, uint32_t type) = 0;

  // Platform events are offered to these hooks first, for units that read
  // devices directly (input). Returns an id for removal.
  using EventHook = std::function<void(const Event&)>;
  static int AddEventHook(EventHook hook);
  static void RemoveEventHook(int id);
  // Offers an event that no platform delivered (the scripted input's).
  static void InjectEvent(const Event& event) { OfferEvent(event); }

 protected:
  virtual void PumpEvents() = 0;
  // Called by PostMessage after queueing, on the posting thread.
  virtual void Wake() {}
  // Blocks until the queue holds a message or timeoutMs passes; for windows
  // without platform events to wait on.
  void WaitPosted(uint32_t timeoutMs);
  bool QueueEmpty();
  void Enqueue(const Message& m);
  static void OfferEvent(const Event& event);
  // The trace line every dialog leaves, in both kinds of window.
  static void TraceDialog(const std::string& title, const std::string& text, int answer);
  std::deque<Message> queue_;

 private:
  MessageHandler handler_;
  bool altLeft_ = false, altRight_ = false;
};

// The window the failure report and other units show dialogs on; null before
// one exists (then dialogs go to stderr only).
Window* CurrentWindow();
void SetCurrentWindow(Window* window);
// Opens the window's menu-bar font ahead of the window (start-up does this
// on a worker while SDL sets up the display); safe from any thread.
void PrepareWindowFonts();

}  // namespace platform
