#pragma once
// When the menu bar shows. In a window it always does, above the game. In
// full screen the game takes the whole screen and the bar is hidden; it
// shows over the game's top while the pointer is at the screen's top edge
// (and stays while the pointer is on it), while its list is open (F10, or a
// click on it), and after a tap of Alt alone until the next Alt tap, key or
// click; then it hides again.
namespace platform {

class MenuBarReveal {
 public:
  void SetFullscreen(bool on);
  // The pointer at window row y (0 the top); the bar is `barHeight` rows tall.
  void PointerAt(int y, int barHeight);
  void AltDown() { altAlone_ = true; }
  void AltUp();
  // Any other key or a click off the bar: an Alt held with it was no tap, and
  // a bar that Alt showed hides.
  void OtherInput();
  void ListOpen(bool open);

  bool Shown() const { return !fullscreen_ || pointer_ || asked_ || listOpen_; }
  bool Fullscreen() const { return fullscreen_; }

 private:
  bool fullscreen_ = false;
  bool pointer_ = false;   // the pointer reached the top edge and has not left the bar
  bool asked_ = false;     // shown by a tap of Alt
  bool altAlone_ = false;  // an Alt is down and nothing else was pressed since
  bool listOpen_ = false;
};

}  // namespace platform
