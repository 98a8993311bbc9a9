// The quick PO reader against libgettextpo: every file it takes must read
// exactly as the library reads it, and what it does not take (errors
// included) must reach the library, whose reading and reasons stand.
#include <gtest/gtest.h>

#include <filesystem>

#include "msgbox/TranslationFiles.h"
#include "platform/text/MessageCatalog.h"
#include "support/ScratchDir.h"

using platform::Catalog;
using platform::CatalogEntry;

namespace {
const std::string kHeader = "msgid \"\"\nmsgstr \"\"\n\"Language: fr\\n\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";

void ExpectSame(const Catalog& a, const Catalog& b) {
  EXPECT_EQ(a.header, b.header);
  ASSERT_EQ(a.entries.size(), b.entries.size());
  for (size_t i = 0; i < a.entries.size(); ++i) {
    SCOPED_TRACE(i);
    const CatalogEntry &x = a.entries[i], &y = b.entries[i];
    EXPECT_EQ(x.context, y.context);
    EXPECT_EQ(x.msgid, y.msgid);
    EXPECT_EQ(x.msgstr, y.msgstr);
    EXPECT_EQ(x.fuzzy, y.fuzzy);
    EXPECT_EQ(x.obsolete, y.obsolete);
    EXPECT_EQ(x.cFormat, y.cFormat);
    EXPECT_EQ(x.extracted, y.extracted);
    EXPECT_EQ(x.translator, y.translator);
    EXPECT_EQ(x.references, y.references);
    EXPECT_EQ(x.previous, y.previous);
    EXPECT_EQ(x.previousContext, y.previousContext);
    EXPECT_EQ(x.previousMsgid, y.previousMsgid);
  }
}

// Read quickly (it must be taken) and by the library, to the same
// catalogue; without comments (as a game reads it), to the same texts.
Catalog BothWays(const std::string& bytes) {
  Catalog quick, library, texts;
  std::string error;
  EXPECT_TRUE(platform::ReadPoQuickly(bytes, quick)) << bytes;
  EXPECT_TRUE(platform::ParsePoWithGettext(bytes, "x.po", library, error)) << error;
  ExpectSame(quick, library);
  EXPECT_TRUE(platform::ReadPoQuickly(bytes, texts, false));
  for (CatalogEntry& e : library.entries) {
    e.extracted.clear();
    e.translator.clear();
    e.references.clear();
    e.previous = false;
    e.previousContext.clear();
    e.previousMsgid.clear();
  }
  ExpectSame(texts, library);
  return quick;
}
}  // namespace

TEST(PoQuickRead, TheDemosTranslationAndTheEnginesCatalogueReadAsTheLibraryReadsThem) {
  for (const char* file : {"/game/translations/en.po", "/po/en.po", "/po/ja.po"}) {
    SCOPED_TRACE(file);
    const std::string bytes = testsupport::ReadHostFile(std::string(VANTOREL_SOURCE_DIR) + file);
    ASSERT_FALSE(bytes.empty());
    const Catalog c = BothWays(bytes);
    EXPECT_GT(c.entries.size(), 50u);
  }
}

TEST(PoQuickRead, WhatTheToolsWriteReadsAsTheLibraryReadsIt) {
  Catalog c;
  c.header = "Language: fr\nMIME-Version: 1.0\nContent-Type: text/plain; charset=UTF-8\nContent-Transfer-Encoding: 8bit\n";
  CatalogEntry e;
  e.context = "本編/学校.Dat:11";
  e.msgid = "「……すっかり遅くなっちゃったな」\n二行目";
  e.msgstr = std::string("« Déjà \"si\" tard… »\ta\\b\r\a\b\f\v ") + std::string(120, 'x');  // wrapped lines
  e.extracted = "speaker: 陽菜：\nsecond";
  e.translator = "checked\n";
  e.references = {{"game/scripts/本編/学校.txt", 8}, {"game/scripts/b.txt", 0}};
  e.fuzzy = e.cFormat = e.previous = true;
  e.previousContext = "本編/学校.Dat:10";
  e.previousMsgid = "「遅くなったな」";
  c.entries.push_back(e);
  e.obsolete = true;
  e.context += "0";
  c.entries.push_back(e);
  e = CatalogEntry{};
  e.context = "save/load screen";
  e.msgid = "データ%d：空き";
  c.entries.push_back(e);  // untranslated
  std::string bytes, error;
  ASSERT_TRUE(platform::FormatPo(c, bytes, error)) << error;
  const Catalog back = BothWays(bytes);
  ASSERT_EQ(back.entries.size(), 3u);
  EXPECT_EQ(back.entries[0].msgstr, c.entries[0].msgstr);
  EXPECT_TRUE(back.entries[2].obsolete && back.entries[2].fuzzy);  // the library writes obsolete entries last
}

TEST(PoQuickRead, EdgeCasesOfTheFormReadAsTheLibraryReadsThem) {
  // Header only; the header's own flags and comments.
  EXPECT_TRUE(BothWays(kHeader).entries.empty());
  EXPECT_TRUE(BothWays("# title\n#, fuzzy\n" + kHeader).entries.empty());
  // No final line feed; a fuzzy entry without a translation.
  EXPECT_EQ(BothWays(kHeader + "msgid \"a\"\nmsgstr \"b\"").entries[0].msgstr, "b");
  EXPECT_TRUE(BothWays(kHeader + "#, fuzzy\nmsgid \"a\"\nmsgstr \"\"\n").entries[0].fuzzy);
  // Obsolete with its previous text; a plural entry keeps its first form.
  const Catalog old = BothWays(kHeader + "#, fuzzy\n#~| msgid \"p\"\n#~ msgctxt \"c\"\n#~ msgid \"a\"\n#~ msgstr \"b\"\n#~ \"c\"\n");
  EXPECT_TRUE(old.entries[0].obsolete);
  EXPECT_EQ(old.entries[0].msgstr, "bc");
  EXPECT_EQ(BothWays(kHeader + "msgid \"one\"\nmsgid_plural \"n\"\nmsgstr[0] \"un\"\nmsgstr[1] \"des\"\n").entries[0].msgstr,
            "un");
  // Escapes and strings split across lines and within one.
  EXPECT_EQ(BothWays(kHeader + "msgid \"a\"\nmsgstr \"\"\n\"\\\"q\\\"\\n\" \"\\t\\\\\"\n").entries[0].msgstr, "\"q\"\n\t\\");
  // CRLF: the library keeps the carriage returns of comments, and takes the
  // last reference of a line for a file name without a line.
  std::string crlf = kHeader + "# note\n#. who\n#: a.txt:3 b.txt:4\n#, fuzzy\nmsgid \"a\"\nmsgstr \"b\"\n";
  for (size_t at = 0; (at = crlf.find('\n', at)) != std::string::npos; at += 2) crlf.insert(at, "\r");
  const CatalogEntry windows = BothWays(crlf).entries.at(0);
  EXPECT_EQ(windows.translator, "note\r");
  EXPECT_TRUE(windows.fuzzy);
  ASSERT_EQ(windows.references.size(), 2u);
  EXPECT_EQ(windows.references[1].second, size_t(-1));
}

TEST(PoQuickRead, WhatItDoesNotTakeIsLeftToTheLibrary) {
  struct Case {
    const char* what;
    std::string bytes;
    bool libraryReads;
  };
  const Case cases[] = {
      {"octal and hex escapes", kHeader + "msgid \"a\"\nmsgstr \"\\101\\x42\"\n", true},
      {"a line broken by a backslash", kHeader + "msgid \"a\"\nmsgstr \"b\\\nc\"\n", true},
      {"no header", "msgid \"a\"\nmsgstr \"b\"\n", true},
      {"another character set", "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n", true},
      {"two flags lines", kHeader + "#, fuzzy\n#, c-format\nmsgid \"a\"\nmsgstr \"b\"\n", true},
      {"a byte order mark", "\xEF\xBB\xBF" + kHeader + "msgid \"a\"\nmsgstr \"b\"\n", false},
      {"a duplicate", kHeader + "msgid \"a\"\nmsgstr \"b\"\n\nmsgid \"a\"\nmsgstr \"c\"\n", false},
      {"an unknown escape", kHeader + "msgid \"a\"\nmsgstr \"\\q\"\n", false},
      {"a string not closed", kHeader + "msgid \"a\nmsgstr \"b\"\n", false},
      {"no translation", kHeader + "msgid \"a\"\n", false},
      {"bytes that are no UTF-8", kHeader + "msgid \"a\"\nmsgstr \"\xFF\"\n", false},
      {"mixed obsolete marks", kHeader + "#~ msgid \"a\"\nmsgstr \"b\"\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Catalog quick, viaParse, library;
    EXPECT_FALSE(platform::ReadPoQuickly(c.bytes, quick));
    EXPECT_TRUE(quick.entries.empty() && quick.header.empty());
    std::string parseError, libraryError;
    const bool parsed = platform::ParsePo(c.bytes, "x.po", viaParse, parseError);
    EXPECT_EQ(parsed, platform::ParsePoWithGettext(c.bytes, "x.po", library, libraryError));
    EXPECT_EQ(parsed, c.libraryReads) << parseError;
    EXPECT_EQ(parseError, libraryError);
    if (parsed) ExpectSame(viaParse, library);
  }
}

// A file the library refuses reaches the player as before: the game's
// loader gives the library's reason, with the line.
TEST(PoQuickRead, ARefusedFileIsReportedWithTheLibrarysReason) {
  ScratchDir dir(ScratchDir::kEnter, "poquick");
  dir.Write("fr.po", kHeader + "msgid \"a\"\nmsgstr \"b\"\n\nmsgid \"a\"\nmsgstr \"c\"\n");
  std::string error;
  EXPECT_EQ(msgbox::LoadTranslation({"fr", dir.Path() + "/fr.po", false}, error), nullptr);
  EXPECT_NE(error.find("line 9: duplicate message definition"), std::string::npos) << error;
}
