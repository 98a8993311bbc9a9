// Standard MIDI file images: chunks, and the events of a track.
#include "platform/audio/SmfImage.h"

#include <algorithm>
#include <cstdint>

#include "platform/files/ByteOrder.h"

namespace platform {
namespace {
using byte_order::Be32;
using byte_order::Le32;

// FluidSynth walks a file's chunks its own way: it reads lengths as signed
// numbers, and after a chunk that is no track it takes the next four bytes
// for another length, not for an id. A damaged file could so send its
// reader round a circle of negative lengths for ever, inside the
// synthesiser's rendering, and a file with any chunk of its own before a
// track did not play. What it is given is rebuilt from the chunks as the
// format defines them: the header's six bytes, then the tracks, each cut to
// what the file holds (and below 2^31); other chunks, which players are to
// pass over, are left out. A track so cut plays as a truncated one. False
// when the header is too short to be one.
bool KeepHeaderAndTracks(std::string& smf) {
  if (smf.size() < 14 || smf.compare(0, 4, "MThd") != 0 || Be32(smf, 4) < 6) return false;
  std::string kept = smf.substr(0, 4) + std::string("\0\0\0\6", 4) + smf.substr(8, 6);
  size_t at = 8 + std::min<size_t>(Be32(smf, 4), smf.size() - 8);
  while (at + 8 <= smf.size()) {
    const size_t length = std::min<size_t>({Be32(smf, at + 4), smf.size() - at - 8, 0x7FFFFFFF});
    if (smf.compare(at, 4, "MTrk") == 0) {
      const std::string events = WriteOutRunningStatus(smf.substr(at + 8, length));
      const size_t written = std::min<size_t>(events.size(), 0x7FFFFFFF);
      kept.append("MTrk");
      for (int i = 0; i < 4; ++i) kept.push_back(static_cast<char>(written >> (24 - 8 * i)));
      kept.append(events, 0, written);
    }
    at += 8 + length;
  }
  smf = std::move(kept);
  return true;
}

}  // namespace

bool ExtractSmf(std::string& bytes) {
  if (bytes.size() >= 12 && bytes.compare(0, 4, "RIFF") == 0 && bytes.compare(8, 4, "RMID") == 0) {
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
      size_t size = Le32(bytes, at + 4);
      if (bytes.compare(at, 4, "data") == 0) {
        bytes = bytes.substr(at + 8, std::min(size, bytes.size() - at - 8));
        break;
      }
      if (size > bytes.size()) return false;
      at += 8 + size + (size & 1);
    }
  }
  return KeepHeaderAndTracks(bytes);
}

namespace {
// Reads a variable-length number at `at`; false when the track ends inside it.
bool ReadVlq(const std::string& t, size_t& at, uint32_t& value) {
  value = 0;
  for (int i = 0; i < 4; ++i) {
    if (at >= t.size()) return false;
    const uint8_t b = static_cast<uint8_t>(t[at++]);
    value = (value << 7) | (b & 0x7F);
    if (!(b & 0x80)) return true;
  }
  return false;  // longer than the format allows
}
// Data bytes after a channel status.
size_t DataBytes(uint8_t status) { return (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2; }
}  // namespace

std::string WriteOutRunningStatus(const std::string& t) {
  std::string out;
  size_t done = 0;         // the bytes of `t` before it are in `out`
  uint8_t status = 0;      // the last channel status
  bool cancelled = false;  // a meta or SysEx event came since
  while (done < t.size()) {
    size_t at = done;
    uint32_t n = 0;
    if (!ReadVlq(t, at, n) || at >= t.size()) break;  // the delta time
    const uint8_t b = static_cast<uint8_t>(t[at]);
    bool insert = false;
    if (b < 0x80) {
      if (status == 0) break;  // nothing to repeat
      insert = cancelled;
      cancelled = false;
      at += DataBytes(status);
    } else if (b < 0xF0) {
      status = b;
      cancelled = false;
      at += 1 + DataBytes(b);
    } else if (b == 0xFF || b == 0xF0 || b == 0xF7) {
      at += b == 0xFF ? 2 : 1;  // a meta event has its type after the status
      if (at > t.size() || !ReadVlq(t, at, n)) break;
      at += n;
      cancelled = true;
    } else {
      break;  // system messages have no place in a file
    }
    if (at > t.size()) break;
    if (insert) {
      const size_t data = at - DataBytes(status);
      out.append(t, done, data - done);
      out.push_back(static_cast<char>(status));
      out.append(t, data, at - data);
    } else {
      out.append(t, done, at - done);
    }
    done = at;
  }
  out.append(t, done, std::string::npos);  // what could not be read stays as it was
  return out;
}

}  // namespace platform
