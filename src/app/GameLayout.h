#pragma once
// The game's message-window layout: background, picture frame, speaker
// picture, window and the four picture positions, in screen pixels.
#include "msgbox/CMsgBox.h"

MsgBoxLayout GameLayout();
