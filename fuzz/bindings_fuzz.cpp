// The player's bindings file is read at every start; whatever it holds, the
// parser must neither crash nor accept something it would not write back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "input/GameActions.h"
#include "platform/input/InputBindings.h"

namespace {
platform::ActionMapSpec Spec() {
  platform::ActionMapSpec spec;
  spec.guid = GuidText(kGameActionMapGuid);
  for (const DIACTION& a : GameActions()) spec.actions.push_back({a.uAppData, a.dwSemantic});
  return spec;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const platform::ActionMapSpec spec = Spec();
  std::string_view text(reinterpret_cast<const char*>(data), size);
  platform::Bindings parsed;
  std::string error;
  if (!platform::ParseBindings(text, spec, parsed, error)) return 0;
  // What was accepted writes back to a file that reads as the same bindings.
  platform::Bindings again;
  if (!platform::ParseBindings(platform::SerializeBindings(spec, parsed), spec, again, error) || again != parsed)
    __builtin_trap();
  return 0;
}
