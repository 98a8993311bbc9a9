// Reading a save of the game menu from damaged bytes and putting the game
// back to it: any bytes must be read or refused cleanly, a save read must
// write back to bytes that read the same, and the game restored from it must
// step and draw without reading past its words, rows or items.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "MsgBoxSetup.h"
#include "saves/SaveFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static MsgBoxSetup setup;
  static int32_t actions[255];
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  saves::SaveSummary summary;
  std::string why;
  saves::DecodeSummary(bytes, summary, why);
  saves::SaveContents save;
  if (!saves::DecodeSave(bytes, save, why)) return 0;

  const std::string again = saves::EncodeSave(save);
  saves::SaveContents reread;
  if (!saves::DecodeSave(again, reread, why) || saves::EncodeSave(reread) != again) std::abort();

  if (save.record.empty()) return 0;
  CMsgBox box;
  box.Init(&setup.textFile, nullptr, actions, nullptr, nullptr, "x", 12, 1);
  box.SetLayout(FuzzMsgBoxLayout());
  box.RestoreSnapshot(save.record.back().snapshot);
  for (int i = 0; i < 16; ++i) {
    for (int frame = 0; frame < 3; ++frame) box.FrameMove();
    setup.device->Clear(0);
    box.Render();
    setup.device->Present();
    if (box.Script().Position() > box.Script().Words().size()) std::abort();
    if (!box.Script().Running()) break;
    box.Step();
  }
  setup.device->Clear(0);
  setup.device->Present();
  return 0;
}
