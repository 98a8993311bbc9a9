#pragma once
// A small game made from the fuzzer's bytes, for game_fuzz: up to five
// scripts, the three save slots and the player's input.
//
// The bytes are parts separated by a line "--". A part that begins with "#"
// is the player's input, one with "%1", "%2" or "%3" the words of that save
// slot's file; the other parts are, in order, the scripts
// オープニング\オープニング1, 甲, 乙, 丙 and 丁, as script words (CP932). A
// script without a part, or with an empty one, does not exist.
//
// Input words, played one after the other from pass 5: "dN" holds decide for
// N passes (1 to 20, default 4) and then waits 8, "wN" waits N passes (1 to
// 200, default 10), "r", "l", "u", "k" tap right, left, up and down, "c" and
// "q" ask to quit through the close box and the menu (the answer is no).
// Without an input part the player presses decide a dozen times.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/input/ScriptedInput.h"
#include "platform/text/TextCodec.h"
#include "script/WordList.h"

struct FuzzedGame {
  std::vector<std::pair<std::string, WordList>> scripts;  // engine name with ".Dat", words
  std::map<int, WordList> slots;                          // slot number, words of its file
  std::vector<platform::ScriptedEvent> input;
  std::vector<bool> decideHeld;  // per pass: decide is down, or its press still counts, in that pass
  uint64_t passes = 0;           // how long the game is played
  size_t words = 0;              // words of all scripts
};

namespace gamefuzz {

constexpr uint64_t kFirstInputPass = 5;
constexpr uint64_t kTailPasses = 30;  // played after the last input
constexpr uint64_t kMaxPasses = 1500;
constexpr uint64_t kDecideGridPasses = 4;  // 0.06 s in 16 ms passes, rounded up

inline const std::vector<std::string>& ScriptNames() {
  static const std::vector<std::string> names = {SJ("オープニング\\オープニング1.Dat"), SJ("甲.Dat"), SJ("乙.Dat"),
                                                 SJ("丙.Dat"), SJ("丁.Dat")};
  return names;
}

// The number after a one-letter input word, within [low, high].
inline int Count(std::string_view word, int fallback, int low, int high) {
  if (word.size() < 2) return fallback;
  int n = std::atoi(std::string(word.substr(1)).c_str());
  return n < low ? low : n > high ? high : n;
}

inline void AddInput(FuzzedGame& game, const WordList& words) {
  using platform::ScriptedEvent;
  uint64_t at = kFirstInputPass;
  auto tap = [&](ScriptedEvent::Kind kind, const char* target, uint64_t hold) {
    game.input.push_back({at, kind, target});
    if (kind == ScriptedEvent::Press) game.input.push_back({at + hold, ScriptedEvent::Release, target});
  };
  for (const std::string& w : words) {
    if (at >= kMaxPasses) break;
    switch (w[0]) {
      case 'd': {
        const uint64_t hold = uint64_t(Count(w, 4, 1, 20));
        tap(ScriptedEvent::Press, "decide", hold);
        // A press let go between two firings of the decide grid still counts
        // at the next firing, up to four 16 ms passes after the release.
        const uint64_t counted = hold + kDecideGridPasses;
        if (game.decideHeld.size() < at + counted) game.decideHeld.resize(at + counted);
        for (uint64_t p = at; p < at + counted; ++p) game.decideHeld[p] = true;
        at += hold + 8;
        break;
      }
      case 'w': at += uint64_t(Count(w, 10, 1, 200)); break;
      case 'r': tap(ScriptedEvent::Press, "right", 3), at += 10; break;
      case 'l': tap(ScriptedEvent::Press, "left", 3), at += 10; break;
      case 'u': tap(ScriptedEvent::Press, "up", 3), at += 10; break;
      case 'k': tap(ScriptedEvent::Press, "down", 3), at += 10; break;
      case 'c': tap(ScriptedEvent::Close, "", 0), at += 4; break;
      case 'q': tap(ScriptedEvent::MenuQuit, "", 0), at += 4; break;
      default: break;
    }
  }
  game.passes = at + kTailPasses;
  if (game.passes > kMaxPasses) game.passes = kMaxPasses;
  game.decideHeld.resize(game.passes + 1);
}

inline FuzzedGame MakeGame(std::string_view bytes) {
  FuzzedGame game;
  bool hasInput = false;
  size_t script = 0;
  for (;;) {
    const size_t cut = bytes.find("\n--\n");
    std::string_view part = bytes.substr(0, cut);
    if (!part.empty() && part[0] == '#') {
      WordList words;
      SplitWords(part.substr(1), words);
      if (!hasInput) AddInput(game, words);
      hasInput = true;
    } else if (part.size() >= 2 && part[0] == '%' && part[1] >= '1' && part[1] <= '3') {
      SplitWords(part.substr(2), game.slots[part[1] - '0']);
    } else if (script < ScriptNames().size()) {
      WordList words;
      SplitWords(part, words);
      game.words += words.size();
      if (!words.empty()) game.scripts.emplace_back(ScriptNames()[script], std::move(words));
      ++script;
    }
    if (cut == std::string_view::npos) break;
    bytes.remove_prefix(cut + 4);
  }
  if (!hasInput) {
    WordList presses;
    for (int i = 0; i < 12; ++i) presses.insert(presses.end(), {"d4", "w8"});
    AddInput(game, presses);
  }
  return game;
}

}  // namespace gamefuzz
