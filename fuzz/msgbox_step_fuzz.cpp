// Running any word list as a script: stepping, typing out and drawing must
// never crash, hang or read past the list, whatever the words hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "MsgBoxSetup.h"
#include "script/WordList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static MsgBoxSetup setup;
  static int32_t actions[255];
  CMsgBox box;
  box.Init(&setup.textFile, nullptr, actions, nullptr, nullptr, "x", 12, 1);
  box.SetLayout(FuzzMsgBoxLayout());
  WordList words;
  SplitWords(std::string_view(reinterpret_cast<const char*>(data), size), words);
  box.ReplaceWords(std::move(words));
  for (int i = 0; i < 64; ++i) {
    box.Step();
    if (box.Script().Position() > box.Script().Words().size()) std::abort();
    for (int frame = 0; frame < 3; ++frame) box.FrameMove();
    setup.device->Clear(0);
    box.Render();
    setup.device->Present();
    if (box.Window().TypedLength() > box.Window().MessageText().size() + 1) std::abort();  // a last lead byte advances two
    if (!box.Script().Running()) break;
  }
  // An empty frame lets go of this run's textures, so that every run starts
  // from the same heap and the leak check has nothing to chase.
  setup.device->Clear(0);
  setup.device->Present();
  return 0;
}
