#include "GamePackage.h"

#include <cctype>

namespace scripttool {

std::string CheckPackageName(const std::string& name) {
  // Debian's package names: lower case letters, digits, + - . ; at least two,
  // starting with a letter or digit.
  if (name.size() < 2) return "is shorter than two characters";
  if (!std::islower(static_cast<unsigned char>(name[0])) && !std::isdigit(static_cast<unsigned char>(name[0])))
    return "does not start with a lower-case letter or a digit";
  for (char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (!std::islower(u) && !std::isdigit(u) && c != '+' && c != '-' && c != '.')
      return "has a character other than a-z, 0-9, +, - and .";
  }
  if (name == "vantorel" || name == "vantorel-script") return "is the engine's own";
  return "";
}

std::string CheckPackageVersion(const std::string& version) {
  if (version.empty() || !std::isdigit(static_cast<unsigned char>(version[0]))) return "does not start with a digit";
  for (char c : version) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (!std::isalnum(u) && c != '.' && c != '+' && c != '~' && c != '-') return "has a character other than a-z, A-Z, 0-9, . + ~ -";
  }
  return "";
}

std::string DefaultPackageId(const std::string& name) {
  // AppStream ids are reverse domain names whose parts are letters, digits
  // and underscores, none starting with a digit.
  std::string part;
  for (char c : name) part += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  if (std::isdigit(static_cast<unsigned char>(part[0]))) part = "_" + part;
  return "org.vantorel.game." + part;
}

std::string DebLauncher(const std::string& gameDir) {
  return "#!/bin/sh\n"
         "# Plays the game installed in " + gameDir + " with the Vantorel engine; saves go to\n"
         "# ~/.local/share/vantorel, as the game's directory cannot be written.\n"
         "exec vantorel --game-dir " + gameDir + " \"$@\"\n";
}

std::string TarLauncher(const std::string& name) {
  return "#!/bin/sh\n"
         "# Plays " + name + " with the engine carried beside this file; the tree can be\n"
         "# moved anywhere. Saves stay in the game's directory when it can be written.\n"
         "here=$(dirname \"$(readlink -f \"$0\")\")\n"
         "export LD_LIBRARY_PATH=\"$here/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}\"\n"
         "if [ -z \"${VANTOREL_SOUNDFONT:-}\" ] && [ -f \"$here/share/soundfont/default.sf2\" ]; then\n"
         "  export VANTOREL_SOUNDFONT=\"$here/share/soundfont/default.sf2\"\n"
         "fi\n"
         "export FONTCONFIG_FILE=\"${FONTCONFIG_FILE:-$here/share/fonts/fonts.conf}\"\n"
         "exec \"$here/lib/vantorel\" --game-dir \"$here/share/game\" \"$@\"\n";
}

std::string TarFontsConf() {
  return "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
         "<!-- The system's fonts and the ones carried beside this file. -->\n"
         "<fontconfig>\n  <include ignore_missing=\"yes\">/etc/fonts/fonts.conf</include>\n"
         "  <dir prefix=\"relative\">.</dir>\n  <cachedir prefix=\"xdg\">fontconfig</cachedir>\n</fontconfig>\n";
}

namespace {
std::string Xml(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '"') out += "&quot;";
    else out += c;
  }
  return out;
}
// A desktop entry's value: no line breaks.
std::string OneLine(std::string s) {
  for (char& c : s)
    if (c == '\n' || c == '\r') c = ' ';
  return s;
}
}  // namespace

std::string DesktopEntry(const PackageSpec& spec, const std::string& exec) {
  return "[Desktop Entry]\nType=Application\nName=" + OneLine(spec.title) + "\nComment=" + OneLine(spec.summary) +
         "\nExec=" + exec + "\nIcon=" + spec.id + "\nTerminal=false\nCategories=Game;AdventureGame;\n";
}

std::string Metainfo(const PackageSpec& spec) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<component type=\"desktop-application\">\n"
         "  <id>" + spec.id + "</id>\n"
         "  <metadata_license>CC0-1.0</metadata_license>\n"
         "  <project_license>LicenseRef-proprietary</project_license>\n"
         "  <name>" + Xml(spec.title) + "</name>\n"
         "  <summary>" + Xml(spec.summary) + "</summary>\n"
         "  <description>\n    <p>" + Xml(spec.title) +
         " is a visual novel played with the Vantorel engine: narration and dialogue in a message window over "
         "pictures, with music, sound effects, choices and three save slots.</p>\n  </description>\n"
         "  <launchable type=\"desktop-id\">" + spec.id + ".desktop</launchable>\n"
         "  <provides>\n    <binary>" + spec.name + "</binary>\n  </provides>\n"
         "  <categories>\n    <category>Game</category>\n    <category>AdventureGame</category>\n  </categories>\n"
         "  <content_rating type=\"oars-1.1\"/>\n"
         "  <releases>\n    <release version=\"" + Xml(spec.version) + "\" date=\"" + spec.date + "\"/>\n  </releases>\n"
         "</component>\n";
}

std::string DebControl(const PackageSpec& spec, unsigned long installedKiB) {
  return "Package: " + spec.name + "\nVersion: " + spec.version + "\nArchitecture: all\nMaintainer: " +
         OneLine(spec.maintainer) + "\nInstalled-Size: " + std::to_string(installedKiB) +
         "\nDepends: vantorel\nSection: games\nPriority: optional\nDescription: " + OneLine(spec.summary) +
         "\n A visual novel played with the Vantorel engine (run it as \"" + spec.name + "\").\n";
}

}  // namespace scripttool
