#pragma once
// Where the saves of the game menu live (the player's data directory per
// game, "<data>/saves", or "<--save-dir>/saves"), their file names, and
// reading and writing them whole. Names are plain ASCII: "quick.vsave",
// "auto-00.vsave" ... "auto-09.vsave" (a ring), "slot-01.vsave" ...
#include <cstdint>
#include <string>
#include <vector>

namespace saves {

class SavePlace {
 public:
  static constexpr int kAutoRing = 10;
  static constexpr int kSlots = 60;

  // The directory (host path, UTF-8); empty: no place, nothing is kept.
  explicit SavePlace(std::string directory) : dir_(std::move(directory)) {}
  const std::string& Directory() const { return dir_; }
  bool Usable() const { return !dir_.empty(); }

  static std::string QuickName() { return "quick.vsave"; }
  static std::string AutoName(int i);
  static std::string SlotName(int slot);  // from 1

  // Crash-safe; false when it could not be written (the old file stays).
  bool Write(const std::string& name, const std::string& bytes) const;
  bool Read(const std::string& name, std::string& bytes) const;
  bool Exists(const std::string& name) const;
  bool Remove(const std::string& name) const;
  std::string HostPath(const std::string& name) const { return dir_ + "/" + name; }

  // The autosave to write next: the ring's oldest (by the time each holds).
  std::string NextAutoName() const;
  // The newest save of any kind; empty when there is none.
  std::string Newest() const;

 private:
  std::string dir_;
};

}  // namespace saves
