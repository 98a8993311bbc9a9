#include "comfort/WindowHiding.h"

#include "msgbox/CMsgBox.h"

namespace comfort {
using Type = platform::Event::Type;

WindowHiding::~WindowHiding() { box_.SetChromeHidden(false); }

void WindowHiding::Set(bool hidden) {
  hidden_ = hidden;
  box_.SetChromeHidden(hidden);
}

bool WindowHiding::TakeReturn(const platform::Event& e) {
  const bool press = e.type == Type::KeyDown || e.type == Type::PadButtonDown || e.type == Type::MouseDown;
  if (!hidden_ || !press || (e.type == Type::KeyDown && e.repeat)) return false;
  Set(false);
  return true;
}

void WindowHiding::Trace(std::string& members) const {
  members += ",\"windowHidden\":";
  members += hidden_ ? "true" : "false";
}

}  // namespace comfort
