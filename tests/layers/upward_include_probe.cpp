// Built only by the layer_upward_include test, which expects this to fail:
// the graphics library must not see the message box's headers.
#include "msgbox/CMsgBox.h"
