#include "ScriptWalk.h"

#include "Typos.h"
#include "platform/text/TextCodec.h"
#include "script/Keywords.h"
#include "script/MenuBlock.h"

namespace scripttool {

std::string Quote(const std::string& cp932) { return "\"" + platform::Cp932ToUtf8(cp932) + "\""; }

namespace {
const char kInsideFrame[] = "InsideSerifuFrame";
const char kLeftFrame[] = "Left";
// The window shows three rows of 52 bytes (26 full-width characters).
constexpr size_t kWindowBytes = 3 * 52;

class Walker {
 public:
  Walker(WalkedScript& script, std::vector<Finding>& findings)
      : s_(script), words_(script.words), n_(script.words.size()), findings_(findings) {}

  void Run() {
    while (pos_ < n_) StepOnce();
    s_.canEnd = !stopped_;
  }

 private:
  enum class Outcome { Next, NotMatched, EndStep, End };

  void Add(Severity severity, size_t word, std::string message, std::string suggestion = {}) {
    findings_.push_back({severity, s_.name, word, std::move(message), std::move(suggestion)});
  }

  // One call of Step: passes until a wait point or the end of the words.
  void StepOnce() {
    for (;;) {
      bool matched = false;
      Outcome outcome = Pass(matched);
      if (outcome == Outcome::End || pos_ >= n_) {
        pos_ = n_;
        return;
      }
      if (outcome == Outcome::EndStep) {
        AfterWait();
        return;
      }
      if (words_[pos_] == ".") {
        ++pos_;
        if (pos_ >= n_) return;
        continue;
      }
      if (matched) continue;
      TextWord();
      AfterWait();
      return;
    }
  }

  Outcome Pass(bool& matched) {
    for (const script::Keyword& row : script::Keywords()) {
      for (int t = 0; t < row.tests && pos_ < n_ && row.Matches(words_[pos_]); ++t) {
        if (pos_ + static_cast<size_t>(row.arguments) >= n_) {
          RunsOffTheEnd(row.arguments);
          return Outcome::End;
        }
        Outcome outcome = Command(row.dollarPrefix ? std::string("$") : row.word, row.arguments);
        if (outcome == Outcome::EndStep || outcome == Outcome::End) return outcome;
        if (outcome == Outcome::NotMatched) break;
        matched = true;
        if (pos_ >= n_) return Outcome::End;  // the command's last word was the script's last
      }
    }
    return Outcome::Next;
  }

  void RunsOffTheEnd(int arguments) {
    Add(Severity::Error, pos_,
        Quote(words_[pos_]) + " needs " + std::to_string(arguments) + " argument word" +
            (arguments == 1 ? "" : "s") + ", but the script ends after " + std::to_string(n_ - 1 - pos_) +
            ": the script stops here");
    pos_ = n_;
  }

  ScriptCommand& Record(const std::string& keyword, size_t argumentCount) {
    ScriptCommand c;
    c.keyword = keyword;
    c.at = pos_;
    for (size_t i = 1; i <= argumentCount; ++i) c.args.push_back(words_[pos_ + i]);
    s_.commands.push_back(std::move(c));
    return s_.commands.back();
  }

  Outcome Command(const std::string& keyword, int arguments) {
    if (keyword == "FontMenu" || keyword == "ButtonMenu") return Menu(keyword == "ButtonMenu");
    if (keyword == "$") return Assignment();
    if (keyword == "string") return Declaration();
    CheckArguments(Record(keyword, static_cast<size_t>(arguments)));
    const size_t at = pos_;
    pos_ += static_cast<size_t>(arguments) + 1;
    if (keyword == "FadeIn" || keyword == "FadeOut") return Outcome::EndStep;
    if (keyword == "SaveMenu") saveScreenOpen_ = true;
    if (keyword == "Battle" || keyword == "Map") {
      Add(Severity::Warning, at,
          Quote(words_[at]) + ": this engine has no battle or map mode; the script stays on this word for good");
    }
    if (keyword == "goto" || keyword == "Load" || keyword == "LoadMenu" || keyword == "GameEnd" ||
        keyword == "Battle" || keyword == "Map") {
      Stop(at);
      return Outcome::EndStep;
    }
    return Outcome::Next;
  }

  // "$name = value"; the table made sure both words are there.
  Outcome Assignment() {
    if (words_[pos_ + 1] != "=") {
      Add(Severity::Error, pos_,
          "assignment to " + Quote(words_[pos_]) + " without \"=\" (found " + Quote(words_[pos_ + 1]) +
              "): the step fails here");
      ++pos_;
      return Outcome::EndStep;
    }
    ScriptCommand& c = Record("$", 2);
    c.args = {words_[pos_], words_[pos_ + 2]};  // name, value
    pos_ += 3;
    return Outcome::Next;
  }

  // "string name" or "string name = value".
  Outcome Declaration() {
    ScriptCommand& c = Record("string", 1);
    if (pos_ + 2 < n_ && words_[pos_ + 2] == "=") {
      if (pos_ + 3 >= n_) {
        RunsOffTheEnd(3);
        return Outcome::End;
      }
      c.args.push_back(words_[pos_ + 3]);
      pos_ += 4;
    } else {
      c.args.push_back(std::string());
      pos_ += 2;
    }
    return Outcome::Next;
  }

  Outcome Menu(bool button) {
    const size_t at = pos_;
    const std::string keyword = button ? "ButtonMenu" : "FontMenu";
    if (pos_ + 1 >= n_) {
      RunsOffTheEnd(1);
      return Outcome::End;
    }
    ++pos_;
    std::string frame = kInsideFrame;
    if (words_[pos_] != "{") {
      frame = words_[pos_];
      if (pos_ + 1 >= n_) {
        pos_ = at;
        RunsOffTheEnd(2);
        return Outcome::End;
      }
      ++pos_;
    }
    if (words_[pos_] != "{") {
      Add(Severity::Warning, at,
          keyword + " without a block (\"{\" expected after " + Quote(frame) + "): no menu opens and " +
              Quote(words_[pos_]) + " is read as usual");
      return Outcome::NotMatched;
    }
    if (frame != kInsideFrame && !(button && frame == kLeftFrame)) {
      Add(Severity::Error, at + 1,
          "unknown menu frame " + Quote(frame) + ": " + keyword + " knows " +
              (button ? "\"InsideSerifuFrame\" and \"Left\"" : "only \"InsideSerifuFrame\"") +
              "; the menu does not open",
          button ? NearestOf(frame, {kInsideFrame, kLeftFrame}) : NearestOf(frame, {kInsideFrame}));
    }
    ScriptCommand c;
    c.keyword = keyword;
    c.at = at;
    c.frame = frame;
    if (!ReadBlock(c)) {
      Add(Severity::Error, at,
          keyword + " block is not closed: the script ends inside it (a \"}\" is missing, or an item has too "
                    "few words)");
      pos_ = n_;
      return Outcome::End;
    }
    CheckItems(c);
    s_.commands.push_back(std::move(c));
    ++pos_;  // past the closing "}"
    Stop(at);
    return Outcome::EndStep;
  }

  // Reads from the "{" at pos_ to its closing "}" as the menu readers do.
  bool ReadBlock(ScriptCommand& c) {
    script::MenuBlock block;
    const bool closed = script::ReadMenuBlock(words_, pos_, block);
    c.hasFormat = block.hasFormat;
    c.columns = block.columns;
    c.rows = block.rows;
    for (script::MenuBlockItem& item : block.items) {
      c.items.push_back({std::move(item.label), std::move(item.target), item.id, item.numericId, item.at});
    }
    return closed;
  }

  void CheckItems(const ScriptCommand& c) {
    if (!c.hasFormat || c.columns < 1 || c.rows < 1) {
      Add(Severity::Warning, c.at,
          c.keyword +
              " has no \"フォーマット\" with columns and rows of at least 1: it is laid out as one column");
    }
    if (c.items.empty()) {
      Add(Severity::Error, c.at, c.keyword + " has no items: the player can choose nothing and the game is stuck");
    }
    std::vector<int32_t> ids;
    for (const MenuItemEntry& item : c.items) {
      if (!item.numericId) {
        Add(Severity::Warning, item.at + 1, "item id " + Quote(words_[item.at + 1]) + " is not a decimal number");
      }
      bool repeated = false;
      for (int32_t id : ids) repeated = repeated || id == item.id;
      if (repeated) {
        Add(Severity::Warning, item.at,
            "item " + Quote(item.label) + " repeats id " + std::to_string(item.id) +
                ": only the first item with it is shown");
      }
      ids.push_back(item.id);
      if (item.target == "{" || item.target == "}") {
        Add(Severity::Warning, item.at + 2,
            "item " + Quote(item.label) + " has the target " + Quote(item.target) + ": an item has too few words");
      }
    }
  }

  // The words a command takes as they come: a keyword (or ".") among them
  // means, nearly always, that the argument before it was left out, and the
  // mistake is on the command's line, not on the line the keyword starts.
  void CheckArguments(ScriptCommand& c) {
    const std::string& k = c.keyword;
    for (size_t i = 0; i < c.args.size(); ++i) {
      const std::string& arg = c.args[i];
      const bool target = (k == "Clear" && (arg == "Left" || arg == "Right" || arg == "Center" || arg == "WideCenter")) ||
                          ((k == "FadeIn" || k == "FadeOut") && (arg == "Left" || arg == "Right" || arg == "Center"));
      if (!target && (IsKeyword(arg) || arg == ".")) {
        c.argumentIsKeyword = true;
        const std::string nth = c.args.size() == 1 ? "its argument" : i == 0 ? "its first argument" : "its second argument";
        Add(Severity::Error, c.at,
            Quote(words_[c.at]) + " is followed by " + (arg == "." ? "\".\", the end of a message," : "the keyword " + Quote(arg)) +
                " where " + nth + " should stand: is the argument missing? (as written, " + Quote(arg) +
                " is taken as the argument and does not run)");
        return;
      }
      const size_t space = FindFullWidthSpace(arg);
      if (space != std::string::npos) {
        Add(Severity::Warning, c.at + 1 + i,
            "argument " + Quote(arg) + " of " + Quote(words_[c.at]) +
                " holds a full-width space, which does not separate words: the name includes it");
      }
    }
    if (k == "Clear") {
      CheckTarget(c, {"Left", "Right", "Center", "WideCenter", "All"}, "nothing is cleared");
    } else if (k == "FadeIn" || k == "FadeOut") {
      CheckTarget(c, {"Volume", "Right", "Center", "Left", "Images", "All"}, "the fade runs over nothing");
    }
  }

  void CheckTarget(const ScriptCommand& c, const std::vector<std::string>& targets, const char* outcome) {
    const std::string& arg = c.args[0];
    for (const std::string& t : targets)
      if (arg == t) return;
    std::string list;
    for (const std::string& t : targets) list += (list.empty() ? "" : ", ") + t;
    const std::string meant = NearestOf(arg, targets);
    Add(Severity::Warning, c.at + 1,
        c.keyword + " target " + Quote(arg) + " is none of " + list + ": " + outcome +
            (meant.empty() ? std::string() : "; did you mean " + meant + "?"),
        meant);
  }

  // A word the engine shows as text although it was meant as a command: a
  // keyword mistyped, or joined to its argument by a full-width space.
  void CheckTextWord(size_t at) {
    const std::string& word = words_[at];
    const Typo typo = KeywordMeant(word);
    if (!typo.keyword.empty()) {
      Add(typo.sure ? Severity::Error : Severity::Warning, at,
          Quote(word) + " is no keyword: the player sees it as text; did you mean " +
              platform::Cp932ToUtf8(typo.keyword) + "?",
          platform::Cp932ToUtf8(typo.keyword));
      return;
    }
    const size_t space = FindFullWidthSpace(word);
    if (space == std::string::npos) return;
    const std::string head = word.substr(0, space);
    const std::string tail = word.substr(space + 2);
    const std::string meant = IsKeyword(head) ? head : KeywordMeant(head).keyword;
    if (meant.empty()) return;
    Add(Severity::Error, at,
        "a full-width space joins " + Quote(head) + " and " + Quote(tail) +
            " into one word, which the player sees as text: separate them with an ordinary space",
        platform::Cp932ToUtf8(meant + " " + tail));
  }

  void TextWord() {
    const std::string& colon = SJ("：");
    std::string text = words_[pos_];
    size_t textAt = pos_;
    if (text.find(colon) != std::string::npos) {
      if (pos_ + 1 >= n_) {
        Add(Severity::Error, pos_, "speaker word " + Quote(text) + " is the script's last word: it has no text");
        pos_ = n_;
        return;
      }
      if (IsKeyword(words_[pos_ + 1])) {
        Add(Severity::Warning, pos_ + 1,
            "speaker word " + Quote(text) + " takes the next word as its text, but that is the keyword " +
                Quote(words_[pos_ + 1]) + ": is the text missing? (the player sees " + Quote(words_[pos_ + 1]) +
                " as text)");
      }
      std::string key = text;
      if (key.find(SJ("＊")) != std::string::npos) {
        label_ = SJ("？？？：");
      } else {
        key.erase(key.find(colon), colon.size());
        size_t dot = key.find(SJ("・"));
        if (dot != std::string::npos) key.erase(dot);
        label_ = key == SJ("ナレーション") ? std::string() : key + colon;
      }
      speakerAt_ = pos_;
      text = words_[++pos_];
      textAt = pos_;
    } else {
      CheckTextWord(pos_);
    }
    ++pos_;
    if (text == "{" || text == "}") {
      Add(Severity::Warning, textAt, "a lone " + Quote(text) + " is shown as text: is a menu block out of balance?");
    }
    s_.messages.push_back({textAt, label_ + text, speakerAt_, label_});
    const size_t bytes = label_.size() + text.size();
    if (bytes > kWindowBytes) {
      Add(Severity::Warning, textAt,
          "message of " + std::to_string(bytes) + " bytes: the window shows three rows of 52 bytes");
    }
  }

  // A wait point: with the save screen open nothing else of this script runs.
  void AfterWait() {
    if (saveScreenOpen_ && !stopped_) {
      stopped_ = true;
      if (pos_ < n_) {
        Add(Severity::Warning, pos_,
            "never reached: the save screen that SaveMenu opened starts another script before " + Quote(words_[pos_]));
      }
    }
  }

  // The command at `at` ends this script's run; pos_ is past its words.
  void Stop(size_t at) {
    if (stopped_) return;
    stopped_ = true;
    if (pos_ < n_) {
      Add(Severity::Warning, pos_,
          "never reached: the script does not go on after " + Quote(words_[at]) + " (word " + std::to_string(at + 1) +
              ")");
    }
  }

  WalkedScript& s_;
  const WordList& words_;
  const size_t n_;
  std::vector<Finding>& findings_;
  size_t pos_ = 0;
  std::string label_;
  size_t speakerAt_ = static_cast<size_t>(-1);
  bool saveScreenOpen_ = false;
  bool stopped_ = false;
};
}  // namespace

void WalkScript(WalkedScript& script, std::vector<Finding>& findings) {
  script.commands.clear();
  script.messages.clear();
  Walker(script, findings).Run();
}

}  // namespace scripttool
