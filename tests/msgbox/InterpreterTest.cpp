// The interpreter's state on its own: opening, the word cursor at the end of
// the words, variables and texture aliases.
#include <gtest/gtest.h>

#include <string>

#include "msgbox/Interpreter.h"
#include "script/CTextFile.h"
#include "support/ScratchDir.h"

using msgbox::Interpreter;

TEST(InterpreterTest, AScriptThatCannotBeReadLeavesNothingRunning) {
  Interpreter script;
  script.ReplaceWords({"a", "b"});
  // No reader: nothing can open.
  script.Attach(nullptr, "Text\\");
  EXPECT_EQ(script.Open("x.Dat"), E_FAIL);
  EXPECT_EQ(script.ScriptPath(), "Text\\x.Dat");
  EXPECT_TRUE(script.Words().empty());
  EXPECT_FALSE(script.Running());
  EXPECT_EQ(script.Position(), 0u);
  // An empty name would be the directory itself; a missing file fails too.
  ScratchDir dir(ScratchDir::kEnter, "interpreter");
  CTextFile file(false);
  script.Attach(&file, "");
  script.ReplaceWords({"a"});
  EXPECT_EQ(script.Open(""), E_FAIL);
  EXPECT_FALSE(script.Running());
  EXPECT_EQ(script.Open("missing.Dat"), E_FAIL);
  EXPECT_TRUE(script.Words().empty());
}

TEST(InterpreterTest, TheCursorStopsTheScriptAtTheEndOfTheWords) {
  Interpreter script;
  script.ReplaceWords({"a", "b"});
  EXPECT_TRUE(script.Running());
  EXPECT_TRUE(script.Follows(1));
  EXPECT_FALSE(script.Follows(2));
  EXPECT_EQ(script.NextWord(), S_OK);
  EXPECT_EQ(script.Current(), "b");
  EXPECT_EQ(script.NextWord(), E_FAIL);
  EXPECT_TRUE(script.AtEnd());
  EXPECT_FALSE(script.Running());
  // Past the end the position stays at the end.
  EXPECT_EQ(script.NextWord(), E_FAIL);
  EXPECT_EQ(script.Position(), 2u);
  // Words that ran out inside a command: the end, and stopped.
  script.ReplaceWords({"a", "b", "c"});
  script.EndOfWords();
  EXPECT_EQ(script.Position(), 3u);
  EXPECT_FALSE(script.Running());
}

TEST(InterpreterTest, VariablesAndAliases) {
  Interpreter script;
  script.SetVariable("$a", "1");
  script.SetVariable("$b", "2");
  // An assignment takes the value through its variable; only defined
  // variables can be assigned.
  EXPECT_TRUE(script.AssignVariable("$a", "$b"));
  EXPECT_EQ(script.Variables().at("$b"), "1");
  EXPECT_TRUE(script.AssignVariable("x", "$a"));
  EXPECT_EQ(script.Variables().at("$a"), "x");
  EXPECT_FALSE(script.AssignVariable("1", "$c"));
  EXPECT_EQ(script.Variables().count("$c"), 0u);
  std::string word = "$c";
  EXPECT_FALSE(script.ReplaceVariable(word));
  EXPECT_EQ(word, "$c");

  // The first definition of an alias stands; a seam may overwrite it.
  script.DefineAlias("bg", "one.tga");
  script.DefineAlias("bg", "two.tga");
  ASSERT_NE(script.AliasedTexture("bg"), nullptr);
  EXPECT_EQ(*script.AliasedTexture("bg"), "one.tga");
  script.SetTextureAlias("bg", "three.tga");
  EXPECT_EQ(*script.AliasedTexture("bg"), "three.tga");
  EXPECT_EQ(script.AliasedTexture("none"), nullptr);
  script.ForgetAliases();
  EXPECT_EQ(script.AliasedTexture("bg"), nullptr);
}
