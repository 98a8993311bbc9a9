#include "app/StartupWork.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "framework/GameDataPaths.h"
#include "framework/GameFaces.h"
#include "framework/MediaPath.h"
#include "framework/TextFont.h"
#include "gfx/DecodeAhead.h"
#include "msgbox/MessageWindow.h"
#include "platform/audio/AudioPerformance.h"
#include "platform/audio/SdlSharedState.h"
#include "platform/text/Font.h"
#include "platform/text/TextCodec.h"
#include "platform/window/Host.h"
#include "platform/window/Window.h"
#include "script/CTextFile.h"
#include "script/Keywords.h"
#include "script/MenuBlock.h"

namespace {
// Enough for any first frame; more would only hold memory until it shows.
constexpr size_t kMostPictures = 12;

// The file path a texture load of `name` reads (as D3DUtil_CreateTexture finds it).
std::string FoundTexturePath(const std::string& name) {
  char found[kMaxPath] = {};
  FindMediaFile(found, (std::string(gamedata::kTextureDir) + name).c_str());
  return found;
}

// The alias a speaker word ("name：", "name＊：") shows the picture of.
std::string SpeakerAlias(std::string word) {
  for (const std::string& mark : {SJ("＊"), SJ("：")})
    if (size_t at = word.find(mark); at != std::string::npos) word.erase(at, mark.size());
  return word;
}
}  // namespace

std::vector<std::string> OpeningPictures(const WordList& words) {
  using script::Command;
  std::map<std::string, std::string> aliases;  // the first definition stands, as in the game
  std::vector<std::string> pictures;
  auto show = [&](const std::string& alias) {
    auto it = aliases.find(alias);
    if (it == aliases.end() || it->second == "Nothing") return;  // "Nothing" loads no file
    if (std::find(pictures.begin(), pictures.end(), it->second) == pictures.end()) pictures.push_back(it->second);
  };
  const auto& table = script::Keywords();
  for (size_t i = 0; i < words.size() && pictures.size() < kMostPictures;) {
    auto row = std::find_if(table.begin(), table.end(), [&](const script::Keyword& k) { return k.Matches(words[i]); });
    if (row == table.end()) {
      // The first message: its speaker's picture shows with it; a named
      // speaker without one shows "Nothing"'s, a "＊" speaker keeps the last.
      if (words[i].find(SJ("：")) != std::string::npos) {
        if (aliases.count(SpeakerAlias(words[i])))
          show(SpeakerAlias(words[i]));
        else if (words[i].find(SJ("＊")) == std::string::npos)
          show("Nothing");
      }
      break;
    }
    auto argument = [&](size_t n) -> const std::string& {
      static const std::string none;
      return i + n < words.size() ? words[i + n] : none;
    };
    size_t arguments = size_t(row->arguments);
    switch (row->command) {
      case Command::Texture:
        aliases.emplace(argument(1), argument(2));
        break;
      case Command::BG:
      case Command::Right:
      case Command::Center:
      case Command::WideCenter:
      case Command::Left:
      case Command::TexLoad:
        show(argument(1));
        break;
      case Command::String:
        if (argument(2) == "=") arguments = 3;
        break;
      case Command::Assign:
      case Command::MidiLoad:
      case Command::SeLoad:
      case Command::MidiPlay:
      case Command::SePlay:
      case Command::TexUnload:
      case Command::Clear:
        break;
      case Command::ButtonMenu: {
        // "ButtonMenu place { ... }": each item's picture is its label's alias + "ボタン".
        size_t open = i + 1;
        while (open < words.size() && open <= i + 2 && words[open] != "{") ++open;
        script::MenuBlock block;
        if (open < words.size() && words[open] == "{") {
          script::ReadMenuBlock(words, open, block);
          for (const auto& item : block.items) show(item.label + SJ("ボタン"));
        }
        return pictures;
      }
      default:  // a fade, another menu, a jump, a save or load: the first frame is drawn before what follows
        return pictures;
    }
    i += 1 + arguments;
  }
  if (pictures.size() > kMostPictures) pictures.resize(kMostPictures);
  return pictures;
}

namespace {
// Runs `work` on `thread`; nothing it throws is lost: the main thread does
// whatever was not done.
template <class Work>
void Launch(std::thread& thread, Work work) {
  thread = std::thread([work] {
    try {
      work();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "vantorel: start-up worker: %s\n", e.what());
    }
  });
}
}  // namespace

StartupWork::StartupWork(bool window) {
  // Where no worker can start (the browser), the main thread does it all.
  if (!platform::WorkerThreads()) return;
  // What SDL works out on first use, unguarded, is worked out before the
  // workers can race the main thread for it.
  platform::SettleSdlSharedState();
  // Two workers, as the main thread mostly waits on the display server
  // meanwhile: the pictures on one, the rest on the other, each in the
  // order the main thread needs it.
  Launch(pictures_, [] {
    // The plan comes first: the main thread's first picture loads follow
    // the window, some 15 ms from now.
    std::vector<std::string> found;
    for (const std::string& name : msgbox::MessageWindow::OwnPictures()) found.push_back(FoundTexturePath(name));
    WordList words;
    CTextFile opening(true);
    if (SUCCEEDED(opening.Read(std::string(gamedata::kTextDir) + SJ(gamedata::kOpeningScript), words)))
      for (const std::string& name : OpeningPictures(words)) found.push_back(FoundTexturePath(name));
    decode_ahead::Plan(found);
    decode_ahead::Run();
  });
  // The menu bar's font as the window is made, the sound libraries right
  // after it shows, the message font when the first step is drawn.
  Launch(fontsAndSound_, [window] {
    if (window) platform::PrepareWindowFonts();
    if (window) platform::PrepareSoundLibraries();
    platform::PrepareFont(SJ(gamefaces::kMessageFace), TextFont::PixelHeightFor(gamefaces::kMessagePointSize),
                          gamefaces::kMessageStyle & 1, gamefaces::kMessageStyle & 2);
  });
}

StartupWork::~StartupWork() {
  for (std::thread* t : {&pictures_, &fontsAndSound_})
    if (t->joinable()) t->join();
}
