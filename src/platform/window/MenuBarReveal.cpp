#include "platform/window/MenuBarReveal.h"

namespace platform {

void MenuBarReveal::SetFullscreen(bool on) {
  fullscreen_ = on;
  pointer_ = asked_ = altAlone_ = false;
}

void MenuBarReveal::PointerAt(int y, int barHeight) {
  // The top two rows count as the edge: a pointer thrown upwards may stop at either.
  if (y <= 1) pointer_ = true;
  else if (y >= barHeight) pointer_ = false;
}

void MenuBarReveal::AltUp() {
  if (altAlone_) asked_ = !asked_;
  altAlone_ = false;
}

void MenuBarReveal::OtherInput() {
  altAlone_ = false;
  asked_ = false;
}

void MenuBarReveal::ListOpen(bool open) { listOpen_ = open; }

}  // namespace platform
