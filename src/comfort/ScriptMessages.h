#pragma once
// Where the messages of each script stand now, for dropping the marks of
// messages seen that an edit has moved or removed. Each script is read
// once and again only when its file changed (time or size).
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>

class CTextFile;

namespace comfort {

class ScriptMessages {
 public:
  // file: the game's script reader; textDir: the directory scripts are named from.
  ScriptMessages(CTextFile* file, std::string textDir) : file_(file), textDir_(std::move(textDir)) {}
  // The message words of a script (empty when it is gone); nothing when it
  // cannot be told (the file is there but gives no words: being written,
  // or not a file the engine reads), so that no mark is dropped on a guess.
  std::optional<std::set<size_t>> Messages(const std::string& script);

 private:
  struct Entry {
    bool exists = false;
    int64_t time = 0;
    uint64_t size = 0;
    std::optional<std::set<size_t>> messages;
  };
  CTextFile* file_;
  std::string textDir_;
  std::map<std::string, Entry> known_;
};

}  // namespace comfort
