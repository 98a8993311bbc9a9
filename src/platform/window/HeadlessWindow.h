#pragma once
// The window of headless runs: no SDL window at all, an off-screen device,
// dialogs answered automatically.
#include <memory>

#include "platform/window/Window.h"

namespace platform {

// Null when its device cannot be made.
std::unique_ptr<Window> CreateHeadlessWindow(const WindowConfig& config);
// Headless answer to Yes/No questions (default yes).
void SetHeadlessAnswer(bool yes);
bool HeadlessAnswer();

}  // namespace platform
