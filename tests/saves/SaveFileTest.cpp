// The save file of the game menu: what is written is read back whole, what
// a reader does not know is passed over, and bytes that are no save, or are
// cut short anywhere, are refused rather than half read.
#include <gtest/gtest.h>

#include <cstdint>

#include "saves/SaveFile.h"

using namespace saves;

namespace {
comfort::HistoryEntry Message(const std::string& speaker, const std::string& text) {
  comfort::HistoryEntry m;
  m.speaker = speaker;
  m.text = text;
  return m;
}

RecordEntry Entry(std::shared_ptr<const std::vector<std::string>> words, size_t position, const std::string& message) {
  RecordEntry e;
  msgbox::Snapshot& s = e.snapshot;
  s.words = std::move(words);
  s.scriptPath = "GameData\\Text\\a.Dat";
  s.position = position;
  s.messageWord = position - 1;
  s.running = true;
  s.currentScriptName = "b.Dat";
  s.variables = std::make_shared<const std::map<std::string, std::string>>(
      std::map<std::string, std::string>{{"$x", "1"}, {"$name", "a b\nc"}});
  s.intVars = std::make_shared<const std::map<std::string, int32_t>>(std::map<std::string, int32_t>{{"$n", -3}});
  s.textureAliases = std::make_shared<const std::map<std::string, std::string>>();
  s.textures = std::make_shared<const std::vector<std::string>>(std::vector<std::string>{"BG\\Park.png"});
  s.messageText = message + "\n\n";
  s.givenText = message;
  s.shownText = message + "\n\n";
  s.typedLength = static_cast<uint32_t>(s.messageText.size());
  s.speakerLabel = "X:";
  s.sprites[msgbox::kBg] = {"BG\\Park.png", true, 200, 10, 10, 0.9f, 620, 460};
  s.fontMenu.active = true;
  s.fontMenu.hasCursor = true;
  s.fontMenu.cursor = 2;
  FontMenuItem item;
  item.id = 2;
  item.label = "choice";
  item.selectable = false;
  item.position = {1.5f, 2.25f, 1.0f};
  s.fontItems = std::make_shared<const std::vector<FontMenuItem>>(std::vector<FontMenuItem>{item});
  s.buttonItems = std::make_shared<const std::vector<ButtonMenuItem>>();
  s.musicPath = "GameData\\Music\\MIDI\\a.mid";
  s.musicVolume = -3000;
  s.musicPlaying = true;
  e.menu = true;
  e.chosen = 2;
  e.historyAdded = position;
  e.shown = {Message("X:", message)};
  return e;
}

SaveContents Sample() {
  SaveContents c;
  c.summary = {"quick", 1700000000, "X:", "hello", "b.Dat", 4, std::string("\x89PNG\r\n\x1a\n\0rest", 13),
               1700000000250};
  auto words = std::make_shared<const std::vector<std::string>>(std::vector<std::string>{"w 1", "", "\n", "end"});
  c.record.push_back(Entry(words, 2, "one"));
  c.record.push_back(Entry(words, 4, "two"));
  c.record.back().snapshot.variables = c.record.front().snapshot.variables;  // shared: written once
  c.history = {Message("X:", "one"), Message("", "two\nrows")};
  return c;
}

TEST(SaveFile, ReadsBackWhatWasWritten) {
  const SaveContents c = Sample();
  const std::string bytes = EncodeSave(c);
  SaveContents back;
  std::string why;
  ASSERT_TRUE(DecodeSave(bytes, back, why)) << why;
  EXPECT_EQ(back.summary.kind, "quick");
  EXPECT_EQ(back.summary.time, 1700000000);
  EXPECT_EQ(back.summary.timeMs, 1700000000250);
  EXPECT_EQ(back.summary.thumbnailPng, c.summary.thumbnailPng);
  ASSERT_EQ(back.record.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    const msgbox::Snapshot& a = c.record[i].snapshot;
    const msgbox::Snapshot& b = back.record[i].snapshot;
    EXPECT_EQ(*b.words, *a.words);
    EXPECT_EQ(b.position, a.position);
    EXPECT_EQ(*b.variables, *a.variables);
    EXPECT_EQ(*b.intVars, *a.intVars);
    EXPECT_EQ(*b.textures, *a.textures);
    EXPECT_EQ(b.messageText, a.messageText);
    EXPECT_EQ(b.sprites, a.sprites);
    EXPECT_EQ(*b.fontItems, *a.fontItems);
    EXPECT_EQ(b.fontMenu.cursor, 2);
    EXPECT_EQ(b.musicPath, a.musicPath);
    EXPECT_EQ(b.musicVolume, -3000);
    EXPECT_EQ(back.record[i].chosen, 2);
    EXPECT_EQ(back.record[i].shown.size(), 1u);
  }
  // One word list, shared by both entries as when they were taken.
  EXPECT_EQ(back.record[0].snapshot.words, back.record[1].snapshot.words);
  EXPECT_EQ(back.record[0].snapshot.wordsGeneration, back.record[1].snapshot.wordsGeneration);
  EXPECT_EQ(back.history.size(), 2u);
  EXPECT_EQ(back.history[1].text, "two\nrows");

  SaveSummary summary;
  ASSERT_TRUE(DecodeSummary(bytes, summary, why)) << why;
  EXPECT_EQ(summary.text, "hello");
}

TEST(SaveFile, MessagesKeepWhereATranslationFindsThem) {
  SaveContents c = Sample();
  comfort::HistoryEntry said = Message("A:", "hello");
  said.script = "s.Dat", said.word = 7, said.original = "hello";
  said.labelScript = "s.Dat", said.labelWord = 6;
  said.translated = true, said.shownText = "bonjour";  // shown in one language: not kept
  comfort::HistoryEntry bare = Message("", "typed by no script word");
  c.history = {said, bare};
  c.record.back().shown = {said};
  SaveContents back;
  std::string why;
  ASSERT_TRUE(DecodeSave(EncodeSave(c), back, why)) << why;
  for (const comfort::HistoryEntry* m : {&back.history[0], &back.record.back().shown[0]}) {
    EXPECT_EQ(m->script, "s.Dat");
    EXPECT_EQ(m->word, 7u);
    EXPECT_EQ(m->original, "hello");
    EXPECT_EQ(m->labelScript, "s.Dat");
    EXPECT_EQ(m->labelWord, 6u);
    EXPECT_FALSE(m->translated);  // shown anew in the language in force when loaded
  }
  EXPECT_EQ(back.history[1].word, static_cast<size_t>(-1));
  EXPECT_EQ(back.history[1].labelWord, static_cast<size_t>(-1));
  EXPECT_EQ(back.history[1].text, "typed by no script word");
}

// A save as the first version wrote it: seconds only, messages without places.
std::string VersionOneSave(int64_t time) {
  auto field = [](const std::string& name, const std::string& bytes) {
    return name + " " + std::to_string(bytes.size()) + "\n" + bytes + "\n";
  };
  const std::string state = field("words", "0") + field("scriptPath", "GameData\\Text\\a.Dat") +
                            field("position", "1") + field("messageWord", "0") + field("running", "1") +
                            field("message", "one");
  const std::string message = field("speaker", "X:") + field("text", "one");
  return "vantorel-save 1\n" + field("summary", field("kind", "quick") + field("time", std::to_string(time))) +
         field("words", field("list", field("w", "one") + field("w", "."))) +
         field("entry", field("state", state) + field("shown", message)) + field("history", field("message", message)) +
         field("end", "");
}

TEST(SaveFile, ASaveOfTheFirstVersionStillLoads) {
  SaveContents back;
  std::string why;
  ASSERT_TRUE(DecodeSave(VersionOneSave(1700000000), back, why)) << why;
  EXPECT_EQ(back.summary.time, 1700000000);
  EXPECT_EQ(back.summary.timeMs, 1700000000000);  // its whole second
  ASSERT_EQ(back.history.size(), 1u);
  EXPECT_EQ(back.history[0].text, "one");
  EXPECT_EQ(back.history[0].word, static_cast<size_t>(-1));  // shown as the original
  ASSERT_EQ(back.record.size(), 1u);
  EXPECT_EQ(back.record[0].shown.size(), 1u);
  EXPECT_EQ(back.record[0].snapshot.messageText, "one");
  // A time no millisecond count can hold saturates rather than wraps.
  SaveSummary far;
  ASSERT_TRUE(DecodeSummary(VersionOneSave(INT64_MAX / 10), far, why)) << why;
  EXPECT_EQ(far.timeMs, INT64_MAX);
}

TEST(SaveFile, PassesOverWhatALaterVersionAdds) {
  std::string bytes = EncodeSave(Sample());
  const std::string version = " " + std::to_string(kSaveVersion) + "\n";
  bytes.replace(bytes.find(version), version.size(), " 7\n");
  bytes.insert(bytes.find("summary"), "newThing 3\nabc\n");
  SaveContents back;
  std::string why;
  ASSERT_TRUE(DecodeSave(bytes, back, why)) << why;
  EXPECT_EQ(back.record.size(), 2u);
}

TEST(SaveFile, RefusesWhatIsNoSaveOrIsCutShort) {
  SaveContents back;
  std::string why;
  EXPECT_FALSE(DecodeSave("", back, why));
  EXPECT_FALSE(DecodeSave("セーブ日時\n102\n", back, why));
  const std::string bytes = EncodeSave(Sample());
  // Cut anywhere past the header, the save is refused, never half given back.
  const size_t header = bytes.find('\n') + 1;
  for (size_t cut = header; cut < bytes.size(); cut += 7) {
    SaveContents part;
    EXPECT_FALSE(DecodeSave(bytes.substr(0, cut), part, why)) << "cut at " << cut;
  }
  // A length that runs past the end.
  std::string bad = bytes;
  bad.replace(bad.find("summary ") + 8, 1, "9");
  EXPECT_FALSE(DecodeSave(bad, back, why));
}

// A damaged save whose place lies past its own words is refused, not restored
// to run off the end of the script.
TEST(SaveFile, RefusesAPlacePastItsWords) {
  for (const bool messageWord : {false, true}) {
    SaveContents c = Sample();
    msgbox::Snapshot& s = c.record.back().snapshot;
    (messageWord ? s.messageWord : s.position) = s.words->size() + 1;
    SaveContents back;
    std::string why;
    EXPECT_FALSE(DecodeSave(EncodeSave(c), back, why)) << (messageWord ? "message word" : "position");
  }
}
}  // namespace
