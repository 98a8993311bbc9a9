// A PO translation kept compiled in a cache folder: read from there while
// the PO file is the one it was compiled from, compiled again whenever the
// file changed or the cache is broken, and never needed for the game to go on.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "msgbox/TranslationFiles.h"
#include "platform/text/MessageCatalog.h"
#include "support/ScratchDir.h"

using testsupport::ScratchDir;
namespace fs = std::filesystem;

namespace {
std::string Po(const std::string& msgstr) {
  return "msgid \"\"\nmsgstr \"Language: fr\\nContent-Type: text/plain; charset=UTF-8\\n\"\n\n"
         "msgctxt \"a.Dat:1\"\nmsgid \"こんにちは\"\nmsgstr \"" + msgstr + "\"\n\n"
         "#, fuzzy\nmsgctxt \"a.Dat:3\"\nmsgid \"さようなら\"\nmsgstr \"Au revoir\"\n";
}

std::string Shown(const std::shared_ptr<const msgbox::Translation>& t) {
  const std::string* s = t ? t->Find("a.Dat:1", "こんにちは") : nullptr;
  return s ? *s : "(none)";
}

// Puts another text in the cached file, keeping its source stamp: what is
// read next then tells whether the cache was used.
void Doctor(const std::string& path, const std::string& msgstr) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), {});
  platform::Catalog c;
  std::string error;
  ASSERT_TRUE(platform::ParseMo(bytes, c, error)) << error;
  ASSERT_EQ(c.entries.size(), 1u);  // the fuzzy entry is not kept
  c.entries[0].msgstr = msgstr;
  std::ofstream(path, std::ios::binary | std::ios::trunc) << platform::FormatMo(c);
}
}  // namespace

TEST(TranslationCache, ReadWhileThePoFileIsUnchangedAndCompiledAgainWhenItChanges) {
  ScratchDir dir(ScratchDir::kEnter, "trcache");
  dir.Write("fr.po", Po("Bonjour"));
  const msgbox::TranslationFile file{"fr", dir.Path() + "/fr.po", false};
  const std::string cache = dir.Path() + "/cache/translations", cached = cache + "/fr.mo";
  std::string error;
  EXPECT_EQ(Shown(msgbox::LoadTranslation(file, error, cache)), "Bonjour") << error;
  ASSERT_TRUE(fs::is_regular_file(cached));
  Doctor(cached, "From the cache");
  EXPECT_EQ(Shown(msgbox::LoadTranslation(file, error, cache)), "From the cache");
  // Without a cache folder the PO file itself is read.
  EXPECT_EQ(Shown(msgbox::LoadTranslation(file, error)), "Bonjour");

  // The translator saves the file: same size, a later time.
  dir.Write("fr.po", Po("Salut!!"));
  fs::last_write_time(file.hostPath, fs::last_write_time(file.hostPath) + std::chrono::seconds(5));
  EXPECT_EQ(Shown(msgbox::LoadTranslation(file, error, cache)), "Salut!!");
  Doctor(cached, "From the cache");
  // Only the size changes (a time put back by a copy).
  const auto time = fs::last_write_time(file.hostPath);
  dir.Write("fr.po", Po("Salut, toi"));
  fs::last_write_time(file.hostPath, time);
  EXPECT_EQ(Shown(msgbox::LoadTranslation(file, error, cache)), "Salut, toi");

  // A cache broken or cut short is compiled again.
  std::ofstream(cached, std::ios::binary | std::ios::trunc) << "\xDE\x12\x04\x95 cut";
  EXPECT_EQ(Shown(msgbox::LoadTranslation(file, error, cache)), "Salut, toi");
  Doctor(cached, "From the cache");
  EXPECT_EQ(Shown(msgbox::LoadTranslation(file, error, cache)), "From the cache");

  // The same language from another game's folder does not take this cache.
  fs::create_directories("other");
  dir.Write("other/fr.po", Po("Salut, toi"));
  fs::last_write_time("other/fr.po", fs::last_write_time(file.hostPath));
  const msgbox::TranslationFile other{"fr", dir.Path() + "/other/fr.po", false};
  EXPECT_EQ(Shown(msgbox::LoadTranslation(other, error, cache)), "Salut, toi");
}

TEST(TranslationCache, NoPlaceForTheCacheOnlyCostsTime) {
  ScratchDir dir(ScratchDir::kEnter, "trcache-none");
  dir.Write("fr.po", Po("Bonjour"));
  dir.Write("blocked", "a file where the folder would be");
  const msgbox::TranslationFile file{"fr", dir.Path() + "/fr.po", false};
  std::string error;
  EXPECT_EQ(Shown(msgbox::LoadTranslation(file, error, dir.Path() + "/blocked/translations")), "Bonjour");
  // A directory where the cached file would be is left alone.
  fs::create_directories("cache/fr.mo");
  EXPECT_EQ(Shown(msgbox::LoadTranslation(file, error, dir.Path() + "/cache")), "Bonjour");
  EXPECT_TRUE(fs::is_directory("cache/fr.mo"));
  // A broken PO file is refused even with a cache that was once good.
  EXPECT_EQ(Shown(msgbox::LoadTranslation(file, error, dir.Path() + "/good")), "Bonjour");
  dir.Write("fr.po", "msgid \"broken");
  EXPECT_EQ(msgbox::LoadTranslation(file, error, dir.Path() + "/good"), nullptr);
  EXPECT_NE(error.find("fr.po"), std::string::npos) << error;
  // MO files are quick to read already: nothing is cached for them.
  std::ofstream("fr.mo", std::ios::binary) << platform::FormatMo([] {
    platform::Catalog c;
    c.entries.emplace_back();
    c.entries[0].context = "a.Dat:1";
    c.entries[0].msgid = "こんにちは";
    c.entries[0].msgstr = "Moi";
    return c;
  }());
  const msgbox::TranslationFile mo{"fr", dir.Path() + "/fr.mo", true};
  EXPECT_EQ(Shown(msgbox::LoadTranslation(mo, error, dir.Path() + "/mo-cache")), "Moi");
  EXPECT_FALSE(fs::exists("mo-cache"));
}
