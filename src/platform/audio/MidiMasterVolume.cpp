// A walk over the track chunks of a standard MIDI file that looks only at
// SysEx messages; channel messages are stepped over by their lengths,
// running status included. Every read is checked against the chunk's end.
#include "platform/audio/MidiMasterVolume.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "platform/files/ByteOrder.h"

namespace platform {
namespace {

struct Cursor {
  const unsigned char* p;
  const unsigned char* end;
  bool ok = true;

  unsigned Byte() {
    if (p >= end) {
      ok = false;
      return 0;
    }
    return *p++;
  }
  // Variable-length quantity: at most four bytes of seven bits.
  uint32_t Vlq() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
      unsigned b = Byte();
      v = v << 7 | (b & 0x7F);
      if (!(b & 0x80)) return v;
    }
    ok = false;
    return 0;
  }
  void Skip(uint32_t n) {
    if (uint64_t(end - p) < n) {
      ok = false;
      p = end;
    } else {
      p += n;
    }
  }
};

using byte_order::Be32;

// The gain a SysEx body (the bytes after F0) sets; negative when none.
float GainOf(const unsigned char* m, size_t n) {
  auto is = [&](std::initializer_list<int> prefix, size_t from) {
    if (n < from + prefix.size()) return false;
    size_t i = from;
    for (int b : prefix)
      if (m[i++] != b) return false;
    return true;
  };
  if (n >= 6 && m[0] == 0x7F && is({0x04, 0x01}, 2)) return float(m[5] << 7 | m[4]) / 16383.0f;  // universal
  if (n >= 4 && m[0] == 0x7E && is({0x09}, 2)) return 1.0f;  // GM (and GM2) system on
  if (n >= 4 && m[0] == 0x41 && is({0x42, 0x12, 0x40, 0x00}, 2)) {  // Roland GS, address 40 00 xx
    if (is({0x7F, 0x00}, 6)) return 1.0f;                      // GS reset
    if (n >= 8 && m[6] == 0x04) return float(m[7] & 0x7F) / 127.0f;  // master volume
  }
  if (n >= 6 && m[0] == 0x43 && (m[1] & 0xF0) == 0x10 && is({0x4C, 0x00, 0x00}, 2)) {  // Yamaha XG
    if (m[5] == 0x7E || m[5] == 0x7F) return 1.0f;             // XG system on, all parameters reset
    if (m[5] == 0x04 && n >= 7) return float(m[6] & 0x7F) / 127.0f;
  }
  return -1.0f;
}

void WalkTrack(Cursor c, std::vector<MasterVolumeChange>& out) {
  uint64_t tick = 0;
  unsigned status = 0;
  while (c.ok && c.p < c.end) {
    tick += c.Vlq();
    unsigned b = c.Byte();
    if (!c.ok) return;
    if (b == 0xFF) {  // meta event
      unsigned type = c.Byte();
      c.Skip(c.Vlq());
      if (type == 0x2F) return;  // end of track
      continue;
    }
    if (b == 0xF0 || b == 0xF7) {
      uint32_t length = c.Vlq();
      const unsigned char* body = c.p;
      c.Skip(length);
      if (!c.ok) return;
      float gain = b == 0xF0 ? GainOf(body, length) : -1.0f;
      if (gain >= 0.0f) out.push_back({uint32_t(std::min<uint64_t>(tick, UINT32_MAX)), gain});
      continue;
    }
    if (b & 0x80) {
      status = b;
    } else {
      if (!status) return;  // data with no status before it
      --c.p;                // running status: this byte is the first data byte
    }
    unsigned kind = status & 0xF0;
    c.Skip(kind == 0xC0 || kind == 0xD0 ? 1 : 2);
  }
}

}  // namespace

std::vector<MasterVolumeChange> ReadMasterVolume(std::string_view smf) {
  std::vector<MasterVolumeChange> out;
  const auto* data = reinterpret_cast<const unsigned char*>(smf.data());
  if (smf.size() < 14 || smf.compare(0, 4, "MThd") != 0) return out;
  uint64_t pos = 8 + uint64_t(Be32(data + 4));
  while (pos + 8 <= smf.size()) {
    uint64_t length = Be32(data + pos + 4), body = pos + 8;
    uint64_t end = std::min<uint64_t>(body + length, smf.size());
    if (smf.compare(size_t(pos), 4, "MTrk") == 0) WalkTrack(Cursor{data + body, data + end}, out);
    pos = body + length;
  }
  // Tracks are walked one after another; the changes go in tick order, and
  // those at one tick keep their file order.
  std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.tick < b.tick; });
  return out;
}

}  // namespace platform
