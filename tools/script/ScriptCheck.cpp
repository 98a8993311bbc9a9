#include "ScriptCheck.h"

#include <map>
#include <set>
#include <string>

#include "framework/GameDataPaths.h"
#include "platform/files/Files.h"
#include "platform/text/TextCodec.h"
#include "script/CTextFile.h"

namespace scripttool {

const char* const kOpeningScriptUtf8 = "オープニング\\オープニング1.Dat";

namespace {
using gamedata::kMidiDir;
using gamedata::kSoundDir;
using gamedata::kTextDir;
using gamedata::kTextureDir;

// Where a name is defined: script, command index, word, and the value
// (texture file, sound file or variable value).
struct Definition {
  size_t script;
  size_t command;
  size_t at;
  std::string value;
};
using Definitions = std::map<std::string, std::vector<Definition>>;

enum class Availability { Defined, OnlyLaterHere, Undefined };

bool IsPictureCommand(const std::string& k) {
  return k == "BG" || k == "Right" || k == "Center" || k == "WideCenter" || k == "Left";
}


class GameChecker {
 public:
  GameChecker(const std::vector<WalkedScript>& scripts, std::vector<Finding>& findings)
      : scripts_(scripts), findings_(findings) {
    for (const WalkedScript& s : scripts) known_.insert(s.name);
  }

  void Run() {
    Collect();
    CheckBuiltIns();
    for (size_t s = 0; s < scripts_.size(); ++s) {
      const WalkedScript& script = scripts_[s];
      bool nextScriptFile = false;
      for (size_t c = 0; c < script.commands.size(); ++c) {
        CheckCommand(s, c);
        nextScriptFile = nextScriptFile || script.commands[c].keyword == "NextScriptFile";
      }
      if (script.canEnd && !nextScriptFile && !script.words.empty()) {
        Add(Severity::Warning, s, script.words.size() - 1,
            "the script can run to its end without NextScriptFile: the game then starts whatever script was "
            "named last, perhaps this one again");
      }
    }
    CheckUnstarted();
  }

 private:
  void Add(Severity severity, size_t script, size_t word, std::string message) {
    findings_.push_back({severity, script == kNoScript ? std::string() : scripts_[script].name, word,
                         std::move(message)});
  }

  void Collect() {
    for (size_t s = 0; s < scripts_.size(); ++s) {
      const std::vector<ScriptCommand>& commands = scripts_[s].commands;
      for (size_t c = 0; c < commands.size(); ++c) {
        const ScriptCommand& cmd = commands[c];
        if (cmd.keyword == "Texture") aliases_[cmd.args[0]].push_back({s, c, cmd.at, cmd.args[1]});
        if (cmd.keyword == "SELoad") soundAliases_[cmd.args[1]].push_back({s, c, cmd.at, cmd.args[0]});
        if (cmd.keyword == "string") declared_[cmd.args[0]].push_back({s, c, cmd.at, cmd.args[1]});
        if (cmd.keyword == "$") assigned_[cmd.args[0]].push_back({s, c, cmd.at, cmd.args[1]});
      }
    }
    // Save names need the variables, so they come second.
    for (size_t s = 0; s < scripts_.size(); ++s) {
      const std::vector<ScriptCommand>& commands = scripts_[s].commands;
      for (size_t c = 0; c < commands.size(); ++c) {
        if (commands[c].keyword != "Save") continue;
        for (const std::string& name : Replaced(commands[c].args[1], s, c)) savesWritten_.insert(name);
      }
    }
  }

  // The engine's own files: the opening script, the window's pictures and
  // the menu sounds.
  void CheckBuiltIns() {
    const std::string opening = SJ(kOpeningScriptUtf8);
    if (!ScriptExists(opening)) {
      Add(Severity::Error, kNoScript, 0, "the opening script " + Quote(opening) + " is missing: the game cannot start");
    }
    started_.insert(opening);
    for (const char* file : {"MsgBox\\MsgBox.dds", "MsgBox\\CharaPicFrame.dds", "MsgBox\\Cursor.tga"}) {
      if (!platform::FileExists(kTextureDir + std::string(file))) {
        Add(Severity::Error, kNoScript, 0,
            std::string("the message window's picture ") + kTextureDir + file + " is missing");
      }
    }
    for (const char* file : {"Kachi04.wav", "Push11.wav"}) {
      if (!platform::FileExists(kSoundDir + std::string(file))) {
        Add(Severity::Error, kNoScript, 0, std::string("the menus' sound ") + kSoundDir + file + " is missing");
      }
    }
  }

  void CheckCommand(size_t s, size_t c) {
    const ScriptCommand& cmd = scripts_[s].commands[c];
    if (cmd.argumentIsKeyword) return;  // reported at the command: its words are not what they seem
    const std::string& k = cmd.keyword;
    if (k == "Texture") {
      // The name "Nothing" is no file: it shows no picture.
      if (cmd.args[1] != "Nothing") CheckFile(s, cmd.at + 2, kTextureDir + cmd.args[1], "picture file");
      CheckRedefinition(s, c, aliases_, "texture alias");
    } else if (IsPictureCommand(k) || k == "TexLoad" || k == "TexUnload") {
      CheckUse(s, cmd.at + 1, aliases_, cmd.args[0], "texture alias", "Texture",
               k == "TexLoad" || k == "TexUnload" ? "the step fails" : "the picture stays as it was");
    } else if (k == "SELoad") {
      CheckFile(s, cmd.at + 1, kSoundDir + cmd.args[0], "sound-effect file");
    } else if (k == "SEPlay") {
      if (cmd.args[0] != SJ("決定キー音") && cmd.args[0] != SJ("方向キー音")) {
        CheckUse(s, cmd.at + 1, soundAliases_, cmd.args[0], "sound alias", "SELoad", "nothing sounds");
      }
    } else if (k == "MIDIPlay") {
      CheckFile(s, cmd.at + 1, kMidiDir + cmd.args[0] + ".mid", "MIDI file");
    } else if (k == "NextScriptFile") {
      CheckScript(s, cmd.at + 1, cmd.args[0]);
    } else if (k == "goto") {
      CheckTarget(s, c, cmd.at + 1, cmd.args[0]);
    } else if (k == "ButtonMenu" || k == "FontMenu") {
      for (const MenuItemEntry& item : cmd.items) {
        CheckTarget(s, c, item.at + 2, item.target);
        if (k == "ButtonMenu") {
          CheckUse(s, item.at, aliases_, item.label + SJ("ボタン"), "button picture alias", "Texture",
                   "the menu cannot be drawn");
        }
      }
    } else if (k == "$") {
      CheckUse(s, cmd.at, declared_, cmd.args[0], "variable", "string", "the assignment fails");
    } else if (k == "Save") {
      for (const std::string& name : Replaced(cmd.args[0], s, c)) CheckScript(s, cmd.at + 1, name + ".Dat");
      for (const std::string& name : Replaced(cmd.args[1], s, c)) CheckSaveDirectory(s, cmd.at + 2, name);
    } else if (k == "Load") {
      for (const std::string& name : Replaced(cmd.args[0], s, c)) CheckLoad(s, cmd.at + 1, name);
    } else if (k == "SaveMenu" || k == "LoadMenu") {
      if (k == "SaveMenu") {
        for (const std::string& name : Replaced(cmd.args[0], s, c)) CheckScript(s, cmd.at + 1, name + ".Dat");
      }
      CheckSaveScreen(s, c);
    }
  }

  // --- names defined by commands ---

  Availability Find(const Definitions& defs, const std::string& name, size_t s, size_t at) const {
    auto it = defs.find(name);
    if (it == defs.end()) return Availability::Undefined;
    for (const Definition& d : it->second) {
      if (d.script != s || d.at < at) return Availability::Defined;
    }
    return Availability::OnlyLaterHere;
  }

  void CheckUse(size_t s, size_t at, const Definitions& defs, const std::string& name, const char* what,
                const char* definer, const char* outcome) {
    Availability a = Find(defs, name, s, at);
    if (a == Availability::Undefined) {
      Add(Severity::Error, s, at,
          std::string(what) + " " + Quote(name) + " is not defined by any " + definer + " command: " + outcome);
    } else if (a == Availability::OnlyLaterHere) {
      Add(Severity::Warning, s, at,
          std::string(what) + " " + Quote(name) + " is defined only later in this script: here " + outcome);
    }
  }

  void CheckRedefinition(size_t s, size_t c, const Definitions& defs, const char* what) {
    const ScriptCommand& cmd = scripts_[s].commands[c];
    for (const Definition& d : defs.at(cmd.args[0])) {
      if (d.script != s || d.command >= c) break;
      if (d.value != cmd.args[1]) {
        Add(Severity::Warning, s, cmd.at + 1,
            std::string(what) + " " + Quote(cmd.args[0]) + " is defined again with " + Quote(cmd.args[1]) +
                ": the first definition, " + Quote(d.value) + ", stands");
        return;
      }
    }
  }

  // --- variables ---

  // The values a word can have after ReplaceVariable: the last value this
  // script gave the variable before command c, or else every value the game
  // gives it anywhere. Empty: not known.
  std::set<std::string> Replaced(const std::string& word, size_t s, size_t c) const {
    if (declared_.count(word) == 0) return {word};
    const std::vector<ScriptCommand>& commands = scripts_[s].commands;
    for (size_t i = c; i-- > 0;) {
      const ScriptCommand& cmd = commands[i];
      if ((cmd.keyword == "string" || cmd.keyword == "$") && cmd.args[0] == word) return Expand(cmd.args[1]);
    }
    std::set<std::string> values;
    for (const Definitions* defs : {&declared_, &assigned_}) {
      auto it = defs->find(word);
      if (it == defs->end()) continue;
      for (const Definition& d : it->second) {
        for (const std::string& v : Expand(d.value)) values.insert(v);
      }
    }
    return values;
  }

  // An assigned value that names a variable copies that variable's value.
  std::set<std::string> Expand(const std::string& value) const {
    auto it = declared_.find(value);
    if (it == declared_.end()) {
      if (value.empty()) return {};
      return {value};
    }
    std::set<std::string> values;
    for (const Definitions* defs : {&declared_, &assigned_}) {
      auto d = defs->find(value);
      if (d == defs->end()) continue;
      for (const Definition& def : d->second) {
        if (!def.value.empty() && declared_.count(def.value) == 0) values.insert(def.value);
      }
    }
    return values;
  }

  // --- files ---

  bool ScriptExists(const std::string& name) const {
    if (known_.count(name)) return true;
    std::string path = kTextDir + name;
    return CTextFile::MarkEnciphered(path) && platform::FileExists(path);
  }

  void CheckFile(size_t s, size_t at, const std::string& path, const char* what) {
    if (!platform::FileExists(path)) Add(Severity::Error, s, at, std::string(what) + " " + Quote(path) + " is missing");
  }

  void CheckScript(size_t s, size_t at, const std::string& name) {
    started_.insert(name);
    if (ScriptExists(name)) return;
    std::string marked = kTextDir + name;
    if (!CTextFile::MarkEnciphered(marked)) {
      Add(Severity::Error, s, at, "script name " + Quote(name) + " has no extension (\".Dat\")");
    } else if (platform::FileExists(kTextDir + name)) {
      Add(Severity::Error, s, at,
          "script " + Quote(name) + " exists only in the plain form; the game reads " + Quote(marked) +
              " (encode it)");
    } else {
      Add(Severity::Error, s, at, "script " + Quote(name) + " is missing (" + Quote(marked) + ")");
    }
  }

  // A goto or menu target: a script name without ".Dat", or a variable.
  void CheckTarget(size_t s, size_t c, size_t at, const std::string& target) {
    if (!target.empty() && target[0] == '$' && declared_.count(target) == 0) {
      Add(Severity::Error, s, at,
          "target variable " + Quote(target) + " is not declared by any string command: the jump fails");
      return;
    }
    for (const std::string& name : Replaced(target, s, c)) CheckScript(s, at, name + ".Dat");
  }

  void CheckSaveDirectory(size_t s, size_t at, const std::string& name) {
    std::string path = kTextDir + name + ".Dat";
    std::string dir = path.substr(0, path.rfind('\\'));
    if (!platform::FileExists(dir)) {
      Add(Severity::Error, s, at,
          "save " + Quote(name) + " cannot be written: the folder " + Quote(dir) + " is missing");
    }
  }

  void CheckLoad(size_t s, size_t at, const std::string& name) {
    std::string path = kTextDir + name + ".Dat";
    CTextFile::MarkEnciphered(path);
    if (savesWritten_.count(name) == 0 && !platform::FileExists(path)) {
      Add(Severity::Warning, s, at,
          "no Save of the game writes " + Quote(name) + " and no such save file exists: loading it fails");
    }
  }

  // The save and load screens lead through "$戻る" and "$セーブデータ1".."3";
  // what the game lacks is reported at the first screen only.
  void CheckSaveScreen(size_t s, size_t c) {
    const ScriptCommand& cmd = scripts_[s].commands[c];
    const std::string back = SJ("$戻る");
    if (declared_.count(back) != 0) {
      for (const std::string& name : Replaced(back, s, c)) CheckScript(s, cmd.at, name + ".Dat");
    }
    if (saveScreenChecked_) return;
    saveScreenChecked_ = true;
    if (declared_.count(back) == 0) {
      Add(Severity::Error, s, cmd.at,
          cmd.keyword + ": the back item's target " + Quote(back) + " is not declared: choosing it fails");
    }
    for (int slot = 1; slot <= 3; ++slot) {
      const std::string var = SJ("$セーブデータ") + std::to_string(slot);
      const std::string file = SJ("セーブデータ\\セーブデータ") + std::to_string(slot);
      std::set<std::string> values = declared_.count(var) ? Replaced(var, s, c) : std::set<std::string>{};
      if (values.count(file) == 0) {
        Add(Severity::Warning, s, cmd.at,
            cmd.keyword + ": " + Quote(var) + " is not set to " + Quote(file) + ": saves in slot " +
                std::to_string(slot) + " do not land where the screen looks");
      } else {
        CheckSaveDirectory(s, cmd.at, file);
      }
    }
  }

  void CheckUnstarted() {
    for (size_t s = 0; s < scripts_.size(); ++s) {
      if (started_.count(scripts_[s].name) == 0) {
        Add(Severity::Warning, s, 0, "no script, menu or save of the game starts this script");
      }
    }
  }

  static constexpr size_t kNoScript = static_cast<size_t>(-1);
  const std::vector<WalkedScript>& scripts_;
  std::vector<Finding>& findings_;
  Definitions aliases_, soundAliases_, declared_, assigned_;
  std::set<std::string> savesWritten_;
  std::set<std::string> started_;
  std::set<std::string> known_;  // the scripts checked
  bool saveScreenChecked_ = false;
};
}  // namespace

void CheckGame(const std::vector<WalkedScript>& scripts, std::vector<Finding>& findings) {
  GameChecker(scripts, findings).Run();
}

}  // namespace scripttool
