#pragma once
// Hiding the message window (and the rest of the game's chrome) to look at
// the picture; the next press brings it back and does nothing else.
#include <string>

#include "platform/window/Event.h"

class CMsgBox;

namespace comfort {

class WindowHiding {
 public:
  explicit WindowHiding(CMsgBox& box) : box_(box) {}
  ~WindowHiding();
  WindowHiding(const WindowHiding&) = delete;
  WindowHiding& operator=(const WindowHiding&) = delete;

  void Hide() { Set(true); }
  bool Hidden() const { return hidden_; }
  // True when `e` is the press that brings the window back: the caller
  // lets it do nothing else.
  bool TakeReturn(const platform::Event& e);

  // ,"windowHidden":…
  void Trace(std::string& members) const;

 private:
  void Set(bool hidden);
  CMsgBox& box_;
  bool hidden_ = false;
};

}  // namespace comfort
