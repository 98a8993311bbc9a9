#include "saves/ScriptChanges.h"

#include <algorithm>
#include <set>

#include "platform/text/UiText.h"
#include "saves/SaveFile.h"
#include "script/StepBoundaries.h"

namespace saves {

namespace {
// Where the message that began at `m` in `old` stands in `now`, nearest to
// m; false when its words are found nowhere.
bool Find(const std::vector<std::string>& old, size_t m, const std::vector<std::string>& now, size_t& at) {
  if (m >= old.size()) return false;
  const size_t span = m + 1 < old.size() ? 2 : 1;  // a speaker word with its text, or one text word
  bool found = false;
  size_t best = 0;
  for (size_t j = 0; j + span <= now.size(); ++j) {
    if (!std::equal(old.begin() + long(m), old.begin() + long(m + span), now.begin() + long(j))) continue;
    const size_t d = j > m ? j - m : m - j;
    if (!found || d < (best > m ? best - m : m - best)) best = j, found = true;
  }
  at = best;
  return found;
}
}  // namespace

Fit FitToScript(msgbox::Snapshot& s, const std::vector<std::string>& now, const std::deque<RecordEntry>& record) {
  const std::vector<std::string>& old = s.words ? *s.words : std::vector<std::string>{};
  if (old == now) return Fit::Unchanged;
  auto take = [&s, &now] {
    s.words = std::make_shared<const std::vector<std::string>>(now);
    s.wordsGeneration = FreshWordsGeneration();
  };
  if (s.position <= now.size() && s.position <= old.size() &&
      std::equal(old.begin(), old.begin() + long(s.position), now.begin())) {
    take();
    return Fit::SameWord;
  }
  // The record's messages in this script, newest first.
  std::set<size_t, std::greater<size_t>> messages;
  for (const RecordEntry& e : record)
    if (e.snapshot.words == s.words && e.snapshot.messageWord <= s.messageWord) messages.insert(e.snapshot.messageWord);
  messages.insert(s.messageWord);
  Fit fit = Fit::ScriptStart;
  size_t landing = 0;
  for (size_t m : messages) {
    size_t at = 0;
    if (Find(old, m, now, at)) {
      landing = script::LandingWord(now, at);
      fit = m == s.messageWord ? Fit::SameMessage : Fit::EarlierMessage;
      break;
    }
  }
  take();
  s.position = landing;
  s.messageWord = landing;
  s.running = true;
  s.buttonMenu.active = s.fontMenu.active = false;
  s.saveMode = s.loadMode = false;
  if (fit == Fit::ScriptStart) {
    // As the script starts after the one before ran out (its message
    // cleared by its last "."): opening it hides the standing pictures, and
    // no old message shows, or is typed out again, before the script's own.
    s.messageText.clear();
    s.givenText.clear();
    s.shownText.clear();
    s.typedLength = 0;
    s.typing = false;
    s.rowBreaks = true;
    s.shownGraphemes = 0;
    s.shownWhole = false;
    for (msgbox::SpriteSlot slot : {msgbox::kLeft, msgbox::kCenter, msgbox::kRight}) s.sprites[slot].shown = false;
  }
  return fit;
}

const char* FitNote(Fit fit) {
  switch (fit) {
    case Fit::Unchanged: break;
    case Fit::SameWord: return TR_NOOP("スクリプトが変わっていたので、同じ場所から続けます。");
    case Fit::SameMessage: return TR_NOOP("スクリプトが変わっていたので、同じメッセージから続けます。");
    case Fit::EarlierMessage: return TR_NOOP("スクリプトが変わっていたので、少し前のメッセージから続けます。");
    case Fit::ScriptStart: return TR_NOOP("スクリプトが変わっていたので、そのスクリプトの最初から続けます。");
  }
  return "";
}

}  // namespace saves
