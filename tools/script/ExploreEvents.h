#pragma once
// Reading the engine's trace events (flat JSON objects the engine itself
// writes) as a branch sees them: one member's value by key.
#include <string>
#include <string_view>

namespace scripttool {
// A string member's value, unescaped (UTF-8); a number's or literal's text
// as written; empty when the key is missing.
std::string JsonField(std::string_view object, std::string_view key);
}  // namespace scripttool
