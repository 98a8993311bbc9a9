// Where a script read again after an edit is put back: never inside a
// command's arguments, a menu block or a speaker's message.
#include "script/StepBoundaries.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/text/TextCodec.h"

namespace {
// Words from one UTF-8 line split at spaces, in CP932.
WordList Words(const std::string& utf8) {
  WordList out;
  std::istringstream in(utf8);
  for (std::string w; in >> w;) out.push_back(platform::Utf8ToCp932Lossy(w));
  return out;
}
using Index = std::vector<size_t>;
}  // namespace

TEST(StepBoundaries, CommandsTakeTheirArgumentsAndTextWordsStandAlone) {
  // BG 0-1, SELoad 2-4, text 5, clear 6, assignment 7-9, speaker 10-11, Clear 12-13, GameEnd 14
  WordList w = Words("BG 廊下 SELoad 足音 Ashi.wav ひとこと . $名 = 値 陽菜： 「やあ」 Clear All GameEnd");
  EXPECT_EQ(script::StepBoundaries(w), (Index{0, 2, 5, 6, 7, 10, 12, 14}));
}

TEST(StepBoundaries, StringWithAndWithoutAValue) {
  WordList w = Words("string $a = 値 string $b text");
  EXPECT_EQ(script::StepBoundaries(w), (Index{0, 4, 6}));
  // "= value" cut off by the end: the declaration alone, then "=" as a word.
  EXPECT_EQ(script::StepBoundaries(Words("string $a =")), (Index{0, 2}));
}

TEST(StepBoundaries, MenuBlocksAreOneStepWithOrWithoutAFrame) {
  WordList w = Words("ButtonMenu Left { メニューアイテム { はい 1 a } } 後 FontMenu { メニューアイテム { x 2 b } } 後");
  // 0 ButtonMenu, 1 Left, 2 {, 3 item, 4 {, 5-7, 8 }, 9 }, 10 後, 11 FontMenu, 12 {, ... 19 }, 20 後
  EXPECT_EQ(script::StepBoundaries(w), (Index{0, 10, 11, 20}));
  // Without a block the keyword and its frame are passed over together, the
  // frame here a keyword itself.
  EXPECT_EQ(script::StepBoundaries(Words("FontMenu Left 後")), (Index{0, 2}));
  EXPECT_EQ(script::StepBoundaries(Words("FontMenu 後")), (Index{0}));
  // A block that never closes runs to the end.
  EXPECT_EQ(script::StepBoundaries(Words("FontMenu { メニューアイテム { x")), (Index{0}));
}

TEST(StepBoundaries, ASpeakerWordAtTheEndStandsAlone) {
  EXPECT_EQ(script::StepBoundaries(Words("前 陽菜：")), (Index{0, 1}));
  EXPECT_EQ(script::StepBoundaries(WordList{}), Index{});
}

TEST(LandingWord, TheLastBoundaryAtOrBeforeTheMessage) {
  //                 0    1 2  3    4 5      6
  WordList w = Words("一つ目 . BG 廊下 二つ目 陽菜： 「三つ目」");
  EXPECT_EQ(script::LandingWord(w, 4), 4u);  // unchanged: the message itself
  EXPECT_EQ(script::LandingWord(w, 3), 2u);  // inside a command: at the command
  EXPECT_EQ(script::LandingWord(w, 6), 5u);  // the text of a speaker: at the speaker
  EXPECT_EQ(script::LandingWord(w, 0), 0u);
  EXPECT_EQ(script::LandingWord(w, 500), 5u);  // the script got shorter: its last step
  EXPECT_EQ(script::LandingWord(WordList{}, 7), 0u);
}

TEST(StepBoundaries, MessageWordsAreWhereTheInterpreterStandsAsEachShows) {
  // 0-2 Texture, 3 text, 4 clear, 5-6 speaker and text, 7 clear, 8-9 BG,
  // 10 text, 11 a speaker with no text after it shows nothing.
  WordList w = Words("Texture a b.tga 一つ目 . 太郎： やあ . BG a 後 花子：");
  EXPECT_EQ(script::MessageWords(w), (Index{3, 6, 10}));
  EXPECT_TRUE(script::MessageWords(WordList{}).empty());
}
