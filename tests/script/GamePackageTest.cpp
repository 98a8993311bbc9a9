// What `package` writes beside a game: names and versions Debian and
// AppStream take, and desktop files that a title cannot break.
#include <gtest/gtest.h>

#include "GamePackage.h"

namespace scripttool {
namespace {

TEST(GamePackage, NamesVersionsAndIdsAreOnesDebianAndAppStreamAccept) {
  EXPECT_EQ(CheckPackageName("hoshi-no-yakusoku"), "");
  EXPECT_EQ(CheckPackageName("2048.game+x"), "");
  EXPECT_NE(CheckPackageName("h"), "");
  EXPECT_NE(CheckPackageName("Hoshi"), "");
  EXPECT_NE(CheckPackageName("-x"), "");
  EXPECT_NE(CheckPackageName("my game"), "");
  EXPECT_NE(CheckPackageName("vantorel"), "");  // the engine's own package
  EXPECT_EQ(CheckPackageVersion("1.0~rc1+b2"), "");
  EXPECT_NE(CheckPackageVersion("v1"), "");
  EXPECT_NE(CheckPackageVersion("1 0"), "");
  // AppStream id parts: no hyphen, none starting with a digit.
  EXPECT_EQ(DefaultPackageId("hoshi-no-yakusoku"), "org.vantorel.game.hoshi_no_yakusoku");
  EXPECT_EQ(DefaultPackageId("2048.game"), "org.vantorel.game._2048_game");
}

TEST(GamePackage, ATitleWithMarkupOrLineBreaksStaysInItsField) {
  PackageSpec spec{"tale", "A <b>&</b> \"tale\"\nsecond line", "1.0", "org.vantorel.game.tale", "One\nsummary",
                   "Me <me@localhost>", "2026-12-10"};
  const std::string desktop = DesktopEntry(spec, "tale");
  EXPECT_NE(desktop.find("Name=A <b>&</b> \"tale\" second line\n"), std::string::npos) << desktop;
  EXPECT_NE(desktop.find("Comment=One summary\n"), std::string::npos) << desktop;
  const std::string xml = Metainfo(spec);
  EXPECT_NE(xml.find("<name>A &lt;b&gt;&amp;&lt;/b&gt; &quot;tale&quot;\nsecond line</name>"), std::string::npos) << xml;
  const std::string control = DebControl(spec, 42);
  EXPECT_NE(control.find("Description: One summary\n A visual novel"), std::string::npos) << control;
  EXPECT_NE(control.find("Installed-Size: 42\nDepends: vantorel\n"), std::string::npos) << control;
}

}  // namespace
}  // namespace scripttool
