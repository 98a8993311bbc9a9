#pragma once
// Master volume from a piece's SysEx messages. FluidSynth takes the GM, GS
// and XG resets but ignores every master-volume message, which sequencers
// of the time put at the start of a piece to set its level.
#include <cstdint>
#include <string_view>
#include <vector>

namespace platform {

struct MasterVolumeChange {
  uint32_t tick;
  float gain;  // 1 is full volume
};

// The changes in tick order, from the universal real-time master volume
// (14 bits), the GS and XG master volumes (7 bits), and the GM-on, GS and
// XG resets, which bring the volume back to full. A damaged track ends its
// walk where it stops making sense; what came before still counts.
std::vector<MasterVolumeChange> ReadMasterVolume(std::string_view smf);

}  // namespace platform
