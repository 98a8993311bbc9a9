// Loading save data and reading the save/load screen's slots from damaged
// files: any bytes, plain or enciphered, must load or be refused cleanly,
// and the screen must always list the back item and the three slots.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "framework/TextFont.h"
#include "gfx/CPolygon.h"
#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Debug.h"
#include "platform/draw/Device.h"
#include "platform/draw/OffscreenDevice.h"
#include "platform/files/Files.h"
#include "platform/text/TextCodec.h"
#include "script/CTextFile.h"
#include "script/MenuItems.h"

namespace {
struct Setup {
  std::unique_ptr<platform::Device> device = platform::CreateOffscreenDevice(640, 480);
  CTextFile plain{false};
  CTextFile enciphered{true};
  std::filesystem::path home = std::filesystem::current_path();
  std::filesystem::path game;
  Setup() {
    platform::SetDebugEcho(false);
    // A private game directory for the slot files. Each run works in it and
    // returns to the start directory: libFuzzer reads the corpus by relative
    // paths between runs.
    char dir[] = "/tmp/vantorel-savefuzz-XXXXXX";
    if (!mkdtemp(dir)) std::abort();
    game = dir;
    std::filesystem::current_path(game);
    std::filesystem::create_directories(platform::ResolvePath(SJ("GameData\\Text\\セーブデータ")));
    std::filesystem::current_path(home);
    CPolygon::InitDeviceObjects("GameData\\Texture\\", device.get());
    TextFont::SetDevice(device.get());
  }
  ~Setup() {
    std::error_code ec;
    std::filesystem::remove_all(game, ec);
  }
};

void WriteSlot(bool enciphered, int n, std::string_view bytes) {
  std::string path = SJ("GameData\\Text\\セーブデータ\\セーブデータ") + std::to_string(n) + ".Dat";
  if (enciphered) CTextFile::MarkEnciphered(path);
  std::ofstream(platform::ResolvePath(path), std::ios::binary | std::ios::trunc)
      .write(bytes.data(), std::streamsize(bytes.size()));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Setup setup;
  if (size < 1) return 0;
  std::filesystem::current_path(setup.game);
  // The first byte picks the file kind and which slots exist; the rest,
  // split at "\n--\n", fills slots 1 to 3 (slot 1 is the one loaded).
  const bool enciphered = data[0] & 1;
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  for (int n = 1; n <= 3; ++n) {
    size_t cut = rest.find("\n--\n");
    std::string_view part = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 4);
    std::string path = SJ("GameData\\Text\\セーブデータ\\セーブデータ") + std::to_string(n) + ".Dat";
    if (enciphered) CTextFile::MarkEnciphered(path);
    std::filesystem::remove(platform::ResolvePath(path));
    if (data[0] & (2 << n)) WriteSlot(enciphered, n, part);
  }

  // Failure boxes go to stderr here (no window); run with -close_fd_mask=2 to quiet them.
  // One box per file kind, kept between runs: setting a box up costs far more
  // than a load, and loading must cope with whatever an earlier load left.
  static int32_t actions[255];
  static CMsgBox boxes[2];
  static bool ready[2];
  CMsgBox& box = boxes[enciphered];
  if (!ready[enciphered]) {
    box.Init(enciphered ? &setup.enciphered : &setup.plain, nullptr, actions, nullptr, nullptr, "x", 12, 1);
    ready[enciphered] = true;
  }
  box.ClearVariables();
  box.ClearIntVariables();
  box.Load(SJ("セーブデータ\\セーブデータ1"));
  for (int mode = 0; mode < 2; ++mode) {
    box.OpenSaveLoadScreen(mode == 1, "x");
    if (box.TextMenu().FontMenuItems().size() != 4) std::abort();
    for (const auto& [id, item] : box.TextMenu().FontMenuItems())
      if (item->label.empty()) std::abort();
  }
  // Drawn as a frame: a device keeps every draw (and its texture) until the
  // frame is shown, so renders without frames piled up run after run until
  // libFuzzer's memory limit. An empty frame then lets go of the textures.
  setup.device->Clear(0);
  box.Render();
  setup.device->Present();
  setup.device->Clear(0);
  setup.device->Present();
  std::filesystem::current_path(setup.home);
  return 0;
}
