// loudness [--soundfont FILE] GAMEDIR: the loudness of each of the game's
// MIDI pieces, measured as the music graph measures a piece before it first
// sounds (FluidSynth with the soundfont, rendered ahead into libebur128),
// printed as the table a page of the game carries (platform/audio/
// LoudnessTable.h): the browser cannot measure as it plays.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "ScriptTool.h"
#include "framework/GameDataPaths.h"
#include "platform/audio/LoudnessTable.h"
#include "platform/audio/MusicLoudness.h"
#include "platform/audio/SmfImage.h"
#include "platform/audio/SoundFonts.h"
#include "platform/files/Files.h"
#include "platform/files/RegularFile.h"

namespace scripttool {
namespace {
namespace fs = std::filesystem;

constexpr char kUsageLine[] = "usage: vantorel-script loudness [--soundfont FILE] GAMEDIR";

// A file name for a comment of the table: no line break can end its line.
std::string OnOneLine(std::string name) {
  std::replace_if(name.begin(), name.end(), [](char c) { return c == '\n' || c == '\r'; }, '?');
  return name;
}

// Every file below the music directory, as the scripts may name them
// (subfolders too), in a stable order.
std::vector<fs::path> MusicFiles(const fs::path& dir) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file(ec)) files.push_back(it->path());
  std::sort(files.begin(), files.end());
  return files;
}

struct Piece {
  double lufs;
  std::vector<std::string> names;
};
}  // namespace

int RunLoudness(const std::vector<std::string>& args) {
  std::string gameDir, soundFont;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--soundfont" && i + 1 < args.size()) {
      soundFont = args[++i];
    } else if (!args[i].empty() && args[i][0] == '-') {
      PrintError("loudness: unknown option " + args[i] + " (" + kUsageLine + ")");
      return kUsage;
    } else if (gameDir.empty()) {
      gameDir = args[i];
    } else {
      PrintError(std::string("loudness: one game directory only (") + kUsageLine + ")");
      return kUsage;
    }
  }
  if (gameDir.empty()) {
    PrintError(std::string("loudness: no game directory (") + kUsageLine + ")");
    return kUsage;
  }
  if (soundFont.empty()) {
    soundFont = platform::ChooseSoundFont();
    if (soundFont.empty()) {
      PrintError("loudness: no General MIDI soundfont found (name one with --soundfont FILE)");
      return kFailed;
    }
  } else if (!platform::LooksLikeSoundFont(soundFont)) {
    PrintError("loudness: " + soundFont + ": no SoundFont 2 file");
    return kFailed;
  }
  std::error_code ec;
  const std::string fontAbs = fs::absolute(soundFont, ec).string();
  // Files are found the way the engine finds them: from the game directory.
  fs::current_path(gameDir, ec);
  if (ec) {
    PrintError(gameDir + ": " + ec.message());
    return kFailed;
  }
  if (!fs::is_directory(platform::ResolvePath("GameData"), ec)) {
    PrintError(gameDir + ": no GameData directory");
    return kFailed;
  }
  std::string midiDir(gamedata::kMidiDir);
  midiDir.pop_back();  // the trailing separator
  const fs::path musicDir = platform::ResolvePath(midiDir);
  const std::vector<fs::path> files = MusicFiles(musicDir);
  std::printf("# vantorel-script loudness: the game's MIDI pieces with %s\n",
              OnOneLine(fs::path(fontAbs).filename().string()).c_str());
  if (files.empty()) return kOk;  // no music: an empty table

  platform::PieceMeter meter;
  std::string why;
  if (!meter.Open(fontAbs, why)) {
    PrintError("loudness: " + why);
    return kFailed;
  }
  int status = kOk;
  std::map<uint64_t, Piece> pieces;
  std::vector<uint64_t> order;  // as first found
  for (const fs::path& file : files) {
    // Named from the game directory, as the engine's paths are.
    const std::string shown =
        (file.is_relative() ? file.lexically_normal() : file.lexically_relative(fs::current_path(ec))).generic_string();
    std::string bytes;
    const platform::FileRead read = platform::ReadRegularFile(file.string(), bytes, platform::file_caps::kMusic);
    if (read != platform::FileRead::kRead) {
      PrintError(shown + (read == platform::FileRead::kTooLarge ? ": larger than the engine plays; left out"
                                                                 : ": cannot be read; left out"));
      status = kFailed;
      continue;
    }
    if (!platform::ExtractSmf(bytes)) {
      PrintError(shown + ": no standard MIDI file; left out");
      status = kFailed;
      continue;
    }
    const uint64_t key = platform::PieceKey(bytes);
    if (auto known = pieces.find(key); known != pieces.end()) {
      known->second.names.push_back(OnOneLine(shown));
      continue;
    }
    const double lufs = meter.Measure(bytes);
    if (std::isnan(lufs)) {
      PrintError(shown + ": FluidSynth cannot play it; left out");
      status = kFailed;
      continue;
    }
    if (!std::isfinite(lufs)) {
      // It plays at its own level, as unlevelled: nothing to correct.
      PrintError(shown + ": never sounds; left out");
      continue;
    }
    pieces[key] = Piece{lufs, {OnOneLine(shown)}};
    order.push_back(key);
  }
  for (uint64_t key : order) {
    const Piece& piece = pieces[key];
    std::string names;
    for (const std::string& name : piece.names) names += (names.empty() ? "" : " ") + name;
    std::fputs(platform::LoudnessLine(key, piece.lufs, names).c_str(), stdout);
  }
  return status;
}

}  // namespace scripttool
