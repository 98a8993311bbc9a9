#include "platform/headless/HeadlessPass.h"

namespace platform {
namespace {
HeadlessPassHook g_hook;
}
void SetHeadlessPassHook(HeadlessPassHook hook) { g_hook = std::move(hook); }
bool HeadlessPass() { return g_hook ? g_hook() : false; }
}  // namespace platform
