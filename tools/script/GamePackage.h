#pragma once
// What `vantorel-script package` writes beside an author's game so that it
// installs like any desktop program: the launcher, the desktop entry, the
// AppStream metainfo, and the Debian control file.
#include <string>

namespace scripttool {

struct PackageSpec {
  std::string name;     // the package and command name: "hoshi-no-yakusoku"
  std::string title;    // the name a player sees (UTF-8); default: name
  std::string version;  // "1.0"
  std::string id;       // the desktop and AppStream id: "org.vantorel.game.hoshi_no_yakusoku"
  std::string summary;  // one line (UTF-8)
  std::string maintainer;
  std::string date;     // the release date, YYYY-MM-DD
};

// Why `name` cannot name a Debian package and a command, or empty.
std::string CheckPackageName(const std::string& name);
// Why `version` is no Debian version (upstream part only), or empty.
std::string CheckPackageVersion(const std::string& version);
// The id `package` gives a game by default.
std::string DefaultPackageId(const std::string& name);

// The launcher installed as /usr/games/NAME: the engine on the game below gameDir.
std::string DebLauncher(const std::string& gameDir);
// The relocatable tarball's launcher: the engine, its libraries, fonts and
// soundfont are found beside it.
std::string TarLauncher(const std::string& name);
// The fontconfig file the tarball's launcher names: the system's
// configuration and the fonts carried beside it.
std::string TarFontsConf();

std::string DesktopEntry(const PackageSpec& spec, const std::string& exec);
std::string Metainfo(const PackageSpec& spec);
std::string DebControl(const PackageSpec& spec, unsigned long installedKiB);

}  // namespace scripttool
