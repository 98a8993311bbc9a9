#pragma once
// The desktop's clipboard, for players who read with a dictionary tool.
// Without a display (headless, SDL's dummy driver) the text is only kept
// here, where tests read it back.
#include <string>

namespace platform {
// Puts UTF-8 text on the clipboard; false when the desktop refused it.
bool SetClipboardText(const std::string& utf8);
// The text last put there by this program.
const std::string& LastClipboardText();
}  // namespace platform
