// The text machinery of translations: PO files through libgettextpo, MO
// files as msgfmt writes them, Unicode line and grapheme breaks, rows laid
// out by pixels, the player's locale and language names.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "framework/TextLayout.h"
#include "platform/text/Languages.h"
#include "platform/text/MessageCatalog.h"
#include "platform/text/TextBreaks.h"
#include "support/ScratchDir.h"

using platform::Catalog;
using platform::CatalogEntry;

namespace {
Catalog Sample() {
  Catalog c;
  c.header = "Language: fr\nMIME-Version: 1.0\nContent-Type: text/plain; charset=UTF-8\n"
             "Content-Transfer-Encoding: 8bit\n";
  CatalogEntry a;
  a.context = "本編/学校.Dat:11";
  a.msgid = "放課後の廊下は、しんと静まりかえっていた。";
  a.msgstr = "Après les cours, le couloir était silencieux. « Œuvre » \"cité\"\tet \\ fin";
  a.extracted = "speaker: ナレーション：";
  a.references = {{"game/scripts/本編/学校.txt", 8}};
  CatalogEntry b;
  b.context = "本編/学校.Dat:16";
  b.msgid = "「……すっかり遅くなっちゃったな」";
  b.msgstr = "« Déjà si tard… »";
  b.fuzzy = true;
  b.previous = true;
  b.previousContext = "本編/学校.Dat:16";
  b.previousMsgid = "「遅くなったな」";
  CatalogEntry c2;
  c2.context = "save/load screen";
  c2.msgid = "データ%d：空き";
  c2.msgstr = "Emplacement %d : vide";
  c2.cFormat = true;
  CatalogEntry gone;
  gone.context = "本編/学校.Dat:99";
  gone.msgid = "消えた文";
  gone.msgstr = "Phrase disparue";
  gone.obsolete = true;
  c.entries = {a, b, c2, gone};
  return c;
}

}  // namespace

TEST(PoFile, WrittenAndReadBackByLibgettextpoKeepsEveryField) {
  std::string bytes, error;
  ASSERT_TRUE(platform::FormatPo(Sample(), bytes, error)) << error;
  EXPECT_NE(bytes.find("#, fuzzy"), std::string::npos);
  EXPECT_NE(bytes.find("#| msgid"), std::string::npos);
  EXPECT_NE(bytes.find("#~ msgctxt"), std::string::npos);
  Catalog back;
  ASSERT_TRUE(platform::ParsePo(bytes, "fr.po", back, error)) << error;
  ASSERT_EQ(back.entries.size(), 4u);
  const Catalog want = Sample();
  for (size_t i = 0; i < want.entries.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(back.entries[i].context, want.entries[i].context);
    EXPECT_EQ(back.entries[i].msgid, want.entries[i].msgid);
    EXPECT_EQ(back.entries[i].msgstr, want.entries[i].msgstr);
    EXPECT_EQ(back.entries[i].fuzzy, want.entries[i].fuzzy);
    EXPECT_EQ(back.entries[i].obsolete, want.entries[i].obsolete);
    EXPECT_EQ(back.entries[i].cFormat, want.entries[i].cFormat);
  }
  EXPECT_EQ(back.entries[0].references, want.entries[0].references);
  EXPECT_EQ(back.entries[0].extracted, want.entries[0].extracted);
  EXPECT_EQ(back.entries[1].previousMsgid, "「遅くなったな」");
  EXPECT_EQ(platform::HeaderField(back.header, "Language"), "fr");
}

TEST(PoFile, BrokenFilesAreRefusedWithTheirLine) {
  Catalog c;
  std::string error;
  // An unterminated string on line 3, a duplicate definition, bytes that are no PO at all.
  EXPECT_FALSE(platform::ParsePo("msgid \"\"\nmsgstr \"\"\nmsgid \"a\nmsgstr \"b\"\n", "x.po", c, error));
  EXPECT_NE(error.find("x.po"), std::string::npos) << error;
  EXPECT_FALSE(platform::ParsePo("msgid \"a\"\nmsgstr \"b\"\n\nmsgid \"a\"\nmsgstr \"c\"\n", "x.po", c, error));
  EXPECT_FALSE(platform::ParsePo(std::string("\x00\xFF\xFE garbage {", 13), "x.po", c, error));
  // And a good one still reads after them (the library's state is clean).
  ASSERT_TRUE(platform::ParsePo("msgid \"a\"\nmsgstr \"b\"\n", "x.po", c, error)) << error;
  ASSERT_EQ(c.entries.size(), 1u);
  EXPECT_EQ(c.entries[0].msgstr, "b");
}

TEST(MoFile, ReadsWhatMsgfmtWritesAndRefusesWhatIsCutShort) {
  if (std::system("command -v msgfmt >/dev/null 2>&1") != 0) GTEST_SKIP() << "msgfmt not installed";
  ScratchDir dir(ScratchDir::kEnter, "mofile");
  std::string po, error;
  Catalog sample = Sample();
  sample.entries[2].msgstr = "Emplacement %d : vide";
  ASSERT_TRUE(platform::FormatPo(sample, po, error)) << error;
  std::ofstream("fr.po") << po;
  ASSERT_EQ(std::system("msgfmt --check -o fr.mo fr.po"), 0);
  std::ifstream in("fr.mo", std::ios::binary);
  std::stringstream mo;
  mo << in.rdbuf();
  Catalog c;
  ASSERT_TRUE(platform::ParseMo(mo.str(), c, error)) << error;
  // msgfmt leaves out fuzzy and obsolete entries.
  bool found = false;
  for (const CatalogEntry& e : c.entries) {
    if (e.context == "本編/学校.Dat:11") {
      found = true;
      EXPECT_EQ(e.msgstr, Sample().entries[0].msgstr);
    }
    EXPECT_NE(e.context, "本編/学校.Dat:16");
  }
  EXPECT_TRUE(found);
  for (size_t cut : {size_t(0), size_t(10), size_t(27), mo.str().size() / 2, mo.str().size() - 1}) {
    Catalog ignored;
    EXPECT_FALSE(platform::ParseMo(mo.str().substr(0, cut), ignored, error)) << cut;
  }
}

TEST(MoFile, WrittenWithTheTranslatedEntriesOnlyAndReadByGettextsOwnTools) {
  Catalog sample = Sample();
  CatalogEntry untranslated;
  untranslated.context = "本編/学校.Dat:20";
  untranslated.msgid = "まだ";
  CatalogEntry noContext;  // sorts first of all: no context before its byte 4
  noContext.msgid = "Z";
  noContext.msgstr = "zed";
  sample.entries.push_back(untranslated);
  sample.entries.push_back(noContext);
  const std::string mo = platform::FormatMo(sample);
  Catalog back;
  std::string error;
  ASSERT_TRUE(platform::ParseMo(mo, back, error)) << error;
  EXPECT_EQ(back.header, sample.header);
  std::vector<std::string> keys;
  for (const CatalogEntry& e : back.entries) keys.push_back(platform::CatalogKey(e.context, e.msgid) + "=" + e.msgstr);
  // Sorted by bytes, as gettext's binary search needs; fuzzy, obsolete and
  // untranslated entries left out.
  EXPECT_EQ(keys, (std::vector<std::string>{"Z=zed", "save/load screen\x04データ%d：空き=Emplacement %d : vide",
                                            "本編/学校.Dat:11\x04" + sample.entries[0].msgid + "=" + sample.entries[0].msgstr}));
  if (std::system("command -v msgunfmt >/dev/null 2>&1") != 0) GTEST_SKIP() << "msgunfmt not installed";
  ScratchDir dir(ScratchDir::kEnter, "mowrite");
  std::ofstream("fr.mo", std::ios::binary) << mo;
  ASSERT_EQ(std::system("msgunfmt fr.mo -o back.po"), 0);
  const std::string po = dir.Read("back.po");
  EXPECT_NE(po.find("msgctxt \"本編/学校.Dat:11\""), std::string::npos) << po;
  EXPECT_NE(po.find("msgstr \"Emplacement %d : vide\""), std::string::npos) << po;
}

TEST(TextBreaks, GraphemesAndLineBreaksFollowUnicode) {
  // e + combining acute, a flag of two regional indicators, a ZWJ family.
  const std::string s = "e\xCC\x81" "\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7" "a";
  EXPECT_EQ(platform::GraphemeEnds(s), (std::vector<size_t>{3, 11, 12}));
  const auto breaks = platform::LineBreaks("Bonjour le monde\nfin", "fr");
  std::vector<size_t> at;
  for (const auto& b : breaks) at.push_back(b.at);
  EXPECT_EQ(at, (std::vector<size_t>{8, 11, 17, 20}));
  EXPECT_TRUE(breaks[2].hard);
  // Japanese: no break before 。 or 」 or a small kana, none after 「.
  const std::string ja = "「すっかり遅くなっちゃったな」と言った。";
  for (const auto& b : platform::LineBreaks(ja, "ja")) {
    if (b.at >= ja.size()) continue;
    const std::string next = ja.substr(b.at, 3);
    EXPECT_NE(next, "。");
    EXPECT_NE(next, "」");
    EXPECT_NE(next, "ゃ");
    EXPECT_NE(ja.substr(b.at - 3, 3), "「");
  }
}

TEST(TextLayout, RowsFillTheWidthWithoutCuttingWords) {
  // Without a font each narrow character is half the height: 8 px at 16.
  const TextRows r = LayOutRows("the quick brown fox jumps over the lazy dog", nullptr, 16, 80, 10, "en");
  EXPECT_FALSE(r.overflow);
  for (const std::string& row : r.rows) {
    EXPECT_LE(row.size() * 8, 80u) << row;
    EXPECT_NE(row.front(), ' ');
    EXPECT_NE(row.back(), ' ');
  }
  std::string joined;
  for (const std::string& row : r.rows) joined += (joined.empty() ? "" : " ") + row;
  EXPECT_EQ(joined, "the quick brown fox jumps over the lazy dog");
  // Too many rows, a word wider than a row: not fitting, and the word is cut
  // between characters rather than lost.
  EXPECT_TRUE(LayOutRows("one two three four five six", nullptr, 16, 40, 2, "en").overflow);
  const TextRows cut = LayOutRows("Donaudampfschifffahrt", nullptr, 16, 80, 5, "de");
  EXPECT_TRUE(cut.overflow);
  std::string whole;
  for (const std::string& row : cut.rows) whole += row;
  EXPECT_EQ(whole, "Donaudampfschifffahrt");
  // Line feeds of the text stay; an empty text has no rows.
  EXPECT_EQ(LayOutRows("a\nb", nullptr, 16, 400, 4, "en").rows, (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(LayOutRows("", nullptr, 16, 400, 4, "en").rows.empty());
}

TEST(Languages, TheLocaleAsksForLanguagesInOrder) {
  auto env = [](std::map<std::string, std::string> vars) {
    return [vars](const char* name) -> const char* {
      auto it = vars.find(name);
      return it == vars.end() ? nullptr : it->second.c_str();
    };
  };
  EXPECT_EQ(platform::LocaleLanguages(env({{"LANG", "fr_CA.UTF-8"}})), (std::vector<std::string>{"fr_CA", "fr"}));
  EXPECT_EQ(platform::LocaleLanguages(env({{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "pt_BR:en"}})),
            (std::vector<std::string>{"pt_BR", "pt", "en", "de_DE", "de"}));
  EXPECT_EQ(platform::LocaleLanguages(env({{"LC_ALL", "ru_RU.UTF-8"}, {"LANG", "en_US.UTF-8"}})),
            (std::vector<std::string>{"ru_RU", "ru"}));
  // The C locale asks for none, LANGUAGE or not, as gettext has it.
  EXPECT_TRUE(platform::LocaleLanguages(env({{"LANG", "C.UTF-8"}, {"LANGUAGE", "fr"}})).empty());
  EXPECT_TRUE(platform::LocaleLanguages(env({})).empty());
  // Nothing that could be a path.
  EXPECT_FALSE(platform::IsLanguageCode("../fr"));
  EXPECT_FALSE(platform::IsLanguageCode(""));
  EXPECT_TRUE(platform::IsLanguageCode("sr@latin"));
  EXPECT_EQ(platform::LanguageName("fr"), "Français");
  EXPECT_EQ(platform::LanguageName("ru"), "Русский");
  EXPECT_EQ(platform::LanguageName("ja"), "日本語");
}
