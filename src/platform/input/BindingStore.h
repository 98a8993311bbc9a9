#pragma once
// The bindings in force, per action map, shared by the input system and its
// devices. Loaded from the player's file on first use.
#include <map>
#include <string>

#include "platform/input/InputBindings.h"

namespace platform {
class BindingStore {
 public:
  const Bindings& Get(const ActionMapSpec& spec) {
    auto it = byGuid_.find(spec.guid);
    if (it == byGuid_.end()) {
      Bindings loaded;
      LoadBindings(spec, loaded);
      it = byGuid_.emplace(spec.guid, std::move(loaded)).first;
    }
    return it->second;
  }
  void Set(const ActionMapSpec& spec, const Bindings& bindings) { byGuid_[spec.guid] = bindings; }

 private:
  std::map<std::string, Bindings> byGuid_;
};
}  // namespace platform
