// new DIR [--title TEXT]: a whole small game to start from: its plain
// scripts in DIR/scripts, built into DIR/GameData with pictures drawn and
// sounds made the way the demo's are.
#include <atomic>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <system_error>
#include <thread>

#include "NewGame.h"
#include "ScriptTool.h"
#include "makeart/Catalog.h"
#include "makeart/PictureFiles.h"
#include "makesound/Sounds.h"

namespace scripttool {
namespace {
namespace fs = std::filesystem;

// Each picture the scripts name: the drawing, then the file below GameData/Texture.
struct Picture {
  std::string file;
  std::function<makeart::Image()> draw;
  bool lettered = false;  // uses the font library, which wants one thread
};

std::vector<Picture> Pictures(const std::string& title) {
  using makeart::Cast;
  using makeart::Mood;
  return {
      {"MsgBox/MsgBox.dds", makeart::DrawMessageWindow},
      {"MsgBox/CharaPicFrame.dds", makeart::DrawPictureFrame},
      {"MsgBox/Cursor.tga", makeart::DrawWaitCursor},
      {"BG/Park.png", [] { return makeart::DrawPark(false); }},
      {"BG/ParkNight.jpg", [] { return makeart::DrawPark(true); }},
      {"Title/Logo.png", [title] { return makeart::DrawTitleLogoOf(title, ""); }, true},
      {"Chara/Hina.png", [] { return makeart::DrawStanding(Cast::Hina, Mood::Normal); }},
      {"Chara/HinaSmile.png", [] { return makeart::DrawStanding(Cast::Hina, Mood::Smile); }},
      {"Chara/Shiori.png", [] { return makeart::DrawStanding(Cast::Shiori, Mood::Normal); }},
      {"Chara/Mike.png", [] { return makeart::DrawCat(false); }},
      {"Face/Hina.tga", [] { return makeart::DrawFace(Cast::Hina, Mood::Normal); }},
      {"Face/HinaSmile.tga", [] { return makeart::DrawFace(Cast::Hina, Mood::Smile); }},
      {"Face/Shiori.tga", [] { return makeart::DrawFace(Cast::Shiori, Mood::Normal); }},
      {"Face/Mike.tga", [] { return makeart::DrawCat(true); }},
      {"Button/Start.png", [] { return makeart::DrawTitleButton("はじめから"); }, true},
      {"Button/Continue.png", [] { return makeart::DrawTitleButton("つづきから"); }, true},
      {"Button/Keys.png", [] { return makeart::DrawTitleButton("キー設定"); }, true},
      {"Button/Quit.png", [] { return makeart::DrawTitleButton("おわる"); }, true},
      {"Button/Save.png", [] { return makeart::DrawWindowButton("セーブ"); }, true},
      {"Button/GoOn.png", [] { return makeart::DrawWindowButton("つづける"); }, true},
  };
}

// Each sound: the demo's sound name, then the file below GameData/Music.
const char* const kSounds[][2] = {
    {"decide", "SE/Kachi04.wav"},     {"cursor", "SE/Push11.wav"}, {"sparkle", "SE/Sparkle.wav"},
    {"footsteps", "SE/Footsteps.wav"}, {"meow", "SE/Meow.wav"},     {"evening-theme", "MIDI/Theme.mid"},
    {"night-theme", "MIDI/Night.mid"},
};

bool WriteFile(const fs::path& path, const std::string& bytes, std::string& error) {
  return WriteHostFile(path.string(), bytes, error);
}

// Draws the pictures on every core: they are most of the time `new` takes.
bool DrawPictures(const fs::path& textureDir, const std::string& title, std::string& error) {
  const std::vector<Picture> pictures = Pictures(title);
  std::atomic<size_t> next{0};
  std::atomic<bool> failed{false};
  std::vector<std::string> errors(pictures.size());
  auto draw = [&](size_t i) {
    std::string bytes;
    if (!makeart::EncodePictureFile(pictures[i].draw(), pictures[i].file, makeart::DdsKind::Argb8888, bytes)) {
      errors[i] = pictures[i].file + ": the picture could not be encoded";
    } else {
      WriteFile(textureDir / pictures[i].file, bytes, errors[i]);
    }
    if (!errors[i].empty()) failed = true;
  };
  auto work = [&] {
    for (size_t i; (i = next++) < pictures.size();) {
      if (!pictures[i].lettered) draw(i);
    }
  };
  const unsigned n = std::max(1u, std::min(4u, std::thread::hardware_concurrency()));
  std::vector<std::thread> threads;
  for (unsigned t = 1; t < n; ++t) threads.emplace_back(work);
  work();
  for (std::thread& t : threads) t.join();
  for (size_t i = 0; i < pictures.size(); ++i) {
    if (pictures[i].lettered) draw(i);
  }
  for (const std::string& e : errors) {
    if (!e.empty()) {
      error = e;
      return false;
    }
  }
  return !failed;
}

bool MakeSounds(const fs::path& musicDir, std::string& error) {
  for (const auto& [name, file] : kSounds) {
    const makesound::SoundEntry* entry = nullptr;
    for (const makesound::SoundEntry& e : makesound::Catalog())
      if (e.name == name) entry = &e;
    if (!entry) {
      error = std::string("no sound named ") + name;
      return false;
    }
    std::string bytes;
    try {
      bytes = entry->effect ? makesound::EncodeWav(entry->effect()) : makesound::EncodeSmf(entry->music());
    } catch (const std::exception& e) {
      error = std::string(name) + ": " + e.what();
      return false;
    }
    if (!WriteFile(musicDir / file, bytes, error)) return false;
  }
  return true;
}
}  // namespace

int RunNew(const std::vector<std::string>& args) {
  const char* usage = " (usage: vantorel-script new DIR [--title TEXT])";
  std::string dir;
  std::string title = "はじめての物語";
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--title") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        PrintError(std::string("new: --title needs a text") + usage);
        return kUsage;
      }
      title = args[++i];
    } else if (!args[i].empty() && args[i][0] == '-') {
      PrintError("new: unknown option \"" + args[i] + "\"" + usage);
      return kUsage;
    } else if (dir.empty()) {
      dir = args[i];
    } else {
      PrintError(std::string("new: expected 1 directory") + usage);
      return kUsage;
    }
  }
  if (dir.empty()) {
    PrintError(std::string("new: expected 1 directory") + usage);
    return kUsage;
  }
  std::error_code ec;
  // Never over an author's work: the directory must be new or empty.
  if (fs::exists(dir, ec) && (!fs::is_directory(dir, ec) || !fs::is_empty(dir, ec))) {
    PrintError(dir + ": already exists and is not an empty directory; new makes a game in a new one");
    return kFailed;
  }
  const fs::path root = dir;
  const fs::path scripts = root / "scripts";
  const fs::path gameData = root / "GameData";
  std::string error;
  for (const NewGameFile& f : NewGameScripts()) {
    if (!WriteFile(scripts / f.path, f.text, error)) {
      PrintError(error);
      return kFailed;
    }
  }
  if (!fs::create_directories(gameData / "Text" / "セーブデータ", ec) && ec) {
    PrintError((gameData / "Text" / "セーブデータ").string() + ": " + ec.message());
    return kFailed;
  }
  if (!DrawPictures(gameData / "Texture", title, error) || !MakeSounds(gameData / "Music", error)) {
    PrintError(error);
    return kFailed;
  }
  if (!BuildScripts(scripts.string(), root.string(), false, false)) return kFailed;
  std::printf(
      "made the game \"%s\" in %s: %zu scripts in %s, built into %s\n"
      "  play it:          vantorel --game-dir %s\n"
      "  edit and rebuild: vantorel-script build --watch %s %s\n"
      "  check it:         vantorel-script check --source %s %s\n"
      "  the language:     vantorel-script help [KEYWORD]\n",
      title.c_str(), dir.c_str(), NewGameScripts().size(), scripts.string().c_str(), gameData.string().c_str(),
      dir.c_str(), scripts.string().c_str(), dir.c_str(), scripts.string().c_str(), dir.c_str());
  return kOk;
}

}  // namespace scripttool
