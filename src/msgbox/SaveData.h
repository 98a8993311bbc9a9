#pragma once
// The save screen's state: the three slots as last read, and which screen
// (save or load) the font menu shows.
#include <cstdint>
#include <string>

namespace msgbox {

struct SaveSlot {
  std::string path;
  int32_t second = 0, minute = 0, hour = 0, day = 0, month = 0, year = 0, weekday = 0;
  int32_t exists = 0;
};

struct SaveData {
  SaveSlot saveSlots[4];  // slot 0 holds no save
  bool saveMode = false;
  bool loadMode = false;
};

}  // namespace msgbox
