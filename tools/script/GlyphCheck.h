#pragma once
// Whether the fonts the window draws with hold a glyph for every character
// of every message and text-menu label. The IPA fonts that stand in for the
// game's Japanese faces lack some of what CP932 can encode (the user-defined
// area, a few NEC symbols); such characters show as empty boxes.
#include <vector>

#include "ScriptWalk.h"

namespace scripttool {

// Adds an error for each message or label with characters its font lacks,
// naming them; a warning when a font cannot be opened at all.
void CheckGlyphs(const std::vector<WalkedScript>& scripts, std::vector<Finding>& findings);

}  // namespace scripttool
