#pragma once
// fontconfig's configuration, shared by the face lookup and the mixed
// faces of a translation (not in the browser build, which has no fontconfig).
#include <fontconfig/fontconfig.h>

namespace platform::fonts {

// fontconfig with our alias rules for the Windows face names; null when
// fontconfig cannot start.
FcConfig* Config();

}  // namespace platform::fonts
