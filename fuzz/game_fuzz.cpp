// Whole games played headless through GameApp: scripts that lead into one
// another through menus of both kinds, goto, NextScriptFile, Save, Load, the
// save and load screens and fades, with missing scripts, pictures and saves,
// and a player pressing buttons (GameFromBytes.h has the input format).
// Besides crashes and hangs, these are findings: failure boxes in a pass
// where neither the player nor a fade did anything (a game reporting on its
// own, once per frame or round a loop), or more in one pass than the game's
// words can account for; an open menu with nothing to decide (it could
// never close); and a game that no longer quits when the player asks.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/DdsWriter.h"
#include "GameFromBytes.h"
#include "app/GameApp.h"
#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Debug.h"
#include "platform/diagnostics/Report.h"
#include "platform/files/Files.h"
#include "platform/headless/Clock.h"
#include "platform/text/TextCodec.h"
#include "platform/window/HeadlessWindow.h"
#include "platform/window/Window.h"
#include "script/CTextFile.h"

namespace fs = std::filesystem;

namespace {

std::string Le(uint32_t v, int bytes) {
  std::string s;
  for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

// An uncompressed 32-bit TGA of one colour, top-left origin.
std::string Tga(int w, int h, uint32_t argb) {
  std::string f(18, '\0');
  f[2] = 2;
  f[12] = char(w), f[14] = char(h), f[16] = 32, f[17] = 0x28;
  for (int i = 0; i < w * h; ++i) f += Le(argb, 4);
  return f;
}

// An uncompressed A8R8G8B8 DDS of one colour.
std::string Dds(int w, int h, uint32_t argb) {
  return ddswriter::EncodeMasked(uint32_t(w), uint32_t(h), std::vector<uint32_t>(size_t(w) * h, argb),
                                 ddswriter::kA8R8G8B8);
}

// A short 16-bit mono PCM WAV.
std::string Wav() {
  const std::string data(64, '\0');
  return "RIFF" + Le(36 + uint32_t(data.size()), 4) + "WAVEfmt " + Le(16, 4) + Le(1, 2) + Le(1, 2) + Le(22050, 4) +
         Le(44100, 4) + Le(2, 2) + Le(16, 2) + "data" + Le(uint32_t(data.size()), 4) + data;
}

// The smallest soundfont the synthesiser takes: one preset of one instrument
// of one silent sample. No music is played; a soundfont that does not load
// would cost every run its loader's error (and libinstpatch leaks it).
std::string SoundFont() {
  auto chunk = [](const char* id, const std::string& body) { return std::string(id, 4) + Le(uint32_t(body.size()), 4) + body; };
  auto list = [&chunk](const char* type, const std::string& body) { return chunk("LIST", std::string(type, 4) + body); };
  auto name = [](const char* n) {
    std::string s(n);
    s.resize(20, '\0');
    return s;
  };
  const std::string info = chunk("ifil", Le(2, 2) + Le(1, 2)) + chunk("isng", std::string("EMU8000\0", 8)) +
                           chunk("INAM", std::string("x\0", 2));
  const std::string sdta = chunk("smpl", std::string(2 * 64, '\0'));
  const std::string pdta =
      chunk("phdr", name("p") + Le(0, 2) + Le(0, 2) + Le(0, 2) + Le(0, 4) + Le(0, 4) + Le(0, 4) + name("EOP") + Le(0, 2) +
                        Le(0, 2) + Le(1, 2) + Le(0, 4) + Le(0, 4) + Le(0, 4)) +
      chunk("pbag", Le(0, 2) + Le(0, 2) + Le(1, 2) + Le(0, 2)) + chunk("pmod", std::string(10, '\0')) +
      chunk("pgen", Le(41, 2) + Le(0, 2) + Le(0, 2) + Le(0, 2)) + chunk("inst", name("i") + Le(0, 2) + name("EOI") + Le(1, 2)) +
      chunk("ibag", Le(0, 2) + Le(0, 2) + Le(1, 2) + Le(0, 2)) + chunk("imod", std::string(10, '\0')) +
      chunk("igen", Le(53, 2) + Le(0, 2) + Le(0, 2) + Le(0, 2)) +
      chunk("shdr", name("s") + Le(0, 4) + Le(16, 4) + Le(4, 4) + Le(12, 4) + Le(22050, 4) + Le(60, 1) + Le(0, 1) + Le(0, 2) +
                        Le(1, 2) + name("EOS") + std::string(26, '\0'));
  return chunk("RIFF", "sfbk" + list("INFO", info) + list("sdta", sdta) + list("pdta", pdta));
}

void Put(const std::string& enginePath, const std::string& bytes) {
  std::ofstream(platform::ResolvePath(enginePath), std::ios::binary | std::ios::trunc)
      .write(bytes.data(), std::streamsize(bytes.size()));
}

// The scratch game directory: the message window's pictures, a few the
// scripts may name (others are missing), the menus' sounds. In memory where
// there is a tmpfs: the game's saves sync their files.
struct Scratch {
  fs::path home = fs::current_path();
  fs::path game;
  Scratch() {
    std::string dir = (fs::exists("/dev/shm") ? "/dev/shm" : "/tmp") + std::string("/vantorel-gamefuzz-XXXXXX");
    if (!mkdtemp(dir.data())) std::abort();
    game = dir;
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);       // no key bindings of this machine's player
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    platform::SetDebugEcho(false);
    fs::current_path(game);
    for (const char* d : {"GameData/Texture/MsgBox", "GameData/Music/SE", "GameData/Music/MIDI"}) fs::create_directories(d);
    Put("GameData\\Texture\\MsgBox\\MsgBox.dds", Dds(8, 4, 0xC0203060));
    Put("GameData\\Texture\\MsgBox\\CharaPicFrame.dds", Dds(4, 4, 0xFFC0C0C0));
    Put("GameData\\Texture\\MsgBox\\Cursor.tga", Tga(8, 2, 0xFFFFFFFF));
    for (const char* name : {"btn.tga", "bg.tga", "face.tga"}) Put(std::string("GameData\\Texture\\") + name, Tga(2, 2, 0xFF808080));
    Put("GameData\\Music\\SE\\Push11.wav", Wav());
    Put("GameData\\Music\\SE\\Kachi04.wav", Wav());
    Put("font.sf2", SoundFont());
    setenv("VANTOREL_SOUNDFONT", (game / "font.sf2").c_str(), 1);
    fs::current_path(home);
  }
  ~Scratch() {
    std::error_code ec;
    fs::remove_all(game, ec);
  }
};

// Writes the game's scripts and save slots, enciphered as the game reads
// them, in place of the last input's.
void WriteGame(const FuzzedGame& game) {
  std::error_code ec;
  fs::remove_all(platform::ResolvePath("GameData\\Text"), ec);
  fs::create_directories(platform::ResolvePath(SJ("GameData\\Text\\オープニング")));
  fs::create_directories(platform::ResolvePath(SJ("GameData\\Text\\セーブデータ")));
  CTextFile writer(true);
  auto write = [&writer](std::string path, WordList words) {
    if (!CTextFile::MarkEnciphered(path)) return;
    Put(path, writer.EncodeWords(words));
  };
  for (const auto& [name, words] : game.scripts) write("GameData\\Text\\" + name, words);
  for (const auto& [slot, words] : game.slots) {
    write(SJ("GameData\\Text\\セーブデータ\\セーブデータ") + std::to_string(slot) + ".Dat", words);
  }
}

// The engine's own reports go to stderr, which the fuzz runs close.
[[noreturn]] void Finding(const std::string& what) {
  std::fprintf(stdout, "game_fuzz: %s\n", what.c_str());
  std::fflush(stdout);
  std::abort();
}

// The game with a watch on its failure boxes, pass by pass.
class WatchedGame : public GameApp {
 public:
  explicit WatchedGame(const FuzzedGame& game) : game_(game) {
    // Any pass may show one box for each word of the game (each failing
    // command once per action) for each of the three actions a pass can
    // hold (a fade's end, a decide handling, the frame loop's start of the
    // next script), and the missing button picture once.
    perActivePass_ = 3 * (game.words + 3) + 1;
  }
  HRESULT UpdateFrame() override {
    Account();
    const uint64_t pass = PassNumber();
    const CMsgBox* box = MessageWindow();
    if (box && ((box->Buttons().ButtonMenuActive() && box->Buttons().ButtonMenuCursor() == box->Buttons().ButtonMenuItems().end()) ||
                (box->TextMenu().MenuActive() && box->TextMenu().FontMenuCursor() == box->TextMenu().FontMenuItems().end()))) {
      Finding("a menu is open with no item to decide");
    }
    const bool fading = box && (box->Fading().ImageFadeActive() || box->Fading().VolumeFadeActive());
    const bool held = pass < game_.decideHeld.size() && game_.decideHeld[pass];
    allowed_ = (pass == 0 || fading || held) ? perActivePass_ : 0;
    return GameApp::UpdateFrame();
  }
  // Boxes since the last look are the previous pass's.
  void Account() {
    const uint64_t shown = platform::ShownReportCount() - seen_;
    seen_ += shown;
    if (shown > allowed_) {
      Finding(std::to_string(shown) + " failure boxes in pass " + std::to_string(PassNumber()) + ", where at most " +
              std::to_string(allowed_) + " can come from the player");
    }
  }
  void StartWatching() { seen_ = platform::ShownReportCount(); }

 private:
  const FuzzedGame& game_;
  uint64_t perActivePass_ = 0;
  uint64_t allowed_ = ~0ull;  // start-up and the first pass: anything
  uint64_t seen_ = 0;
};

RunOptions Options(uint64_t frames, std::vector<platform::ScriptedEvent> input) {
  RunOptions o;
  o.headless = true;
  o.maxFrames = frames;
  o.input = std::move(input);
  o.answerYes = false;
  return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Scratch scratch;
  const FuzzedGame game = gamefuzz::MakeGame(std::string_view(reinterpret_cast<const char*>(data), size));
  // libFuzzer reads the corpus by relative paths between runs.
  fs::current_path(scratch.game);
  WriteGame(game);
  platform::UseVirtualClock(0);
  platform::SetHeadlessAnswer(false);  // the quit question is answered no: the game goes on
  CMsgBox::currentScriptName.clear();
  {
    WatchedGame app(game);
    app.SetRunOptions(Options(game.passes, game.input));
    if (SUCCEEDED(app.Create(nullptr, 1))) {
      app.StartWatching();
      app.Run();
      app.Account();
      // Whatever state the game is in, the player can still quit it.
      platform::SetHeadlessAnswer(true);
      const uint64_t at = app.PassNumber();
      app.SetRunOptions(Options(at + 30, {{at + 1, platform::ScriptedEvent::MenuQuit, ""}}));
      app.Run();
      if (app.GetDevice() != nullptr) Finding("the game did not quit when asked");
    }
  }
  platform::SetCurrentWindow(nullptr);
  fs::current_path(scratch.home);
  return 0;
}
