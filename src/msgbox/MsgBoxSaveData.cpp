// Save data: the three save slots. Saving, loading and the save/load screen
// are wired in with the save commands.
#include <string>

#include "msgbox/CMsgBox.h"
#include "platform/TextCodec.h"

void CMsgBox::InitSaveSlots() {
  // Slot 0 holds no save; slots 1 to 3 have fixed files.
  for (int n = 1; n <= 3; ++n) {
    saveSlots[n].path = SJ("GameData\\Text\\セーブデータ\\セーブデータ") + std::to_string(n) + ".Dat";
  }
}
