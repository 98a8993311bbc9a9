// vantorel-script: the game authors' tool for script files.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ScriptTool.h"

namespace scripttool {
const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"new", "new DIR [--title TEXT]",
       "make a small whole game in the new directory DIR to start from: its plain scripts in DIR/scripts (a "
       "title, a choice, a save screen and an ending, showing each kind of command once), built into "
       "DIR/GameData with pictures drawn and sounds made as the demo's are; TEXT is lettered on its title "
       "picture",
       RunNew},
      {"encode", "encode [--cp932] SOURCE TARGET",
       "encipher a plain script into the game's word file; TARGET is the plain name, the \"E\" is inserted "
       "before the first \".\" of its file name",
       RunEncode},
      {"decode", "decode [-o OUT] [--cp932] FILE",
       "print the deciphered words one per line in UTF-8, or write them to OUT as a plain script", RunDecode},
      {"build", "build [--cp932] [--watch] [--create] SRCDIR GAMEDIR",
       "encode every .txt below SRCDIR into GAMEDIR/GameData/Text with the same relative path and \".Dat\", "
       "comments left out; GAMEDIR must hold GameData unless --create makes it a game; with --watch, go on "
       "encoding each script again once it is saved and closed, until interrupted (a source that reads as "
       "empty keeps the last build)",
       RunBuild},
      {"check", "check [--source SRCDIR] [--cp932] [--language LANG] [--format text|json] GAMEDIR",
       "read every script of the game in GAMEDIR as the engine does and report what would fail: words running "
       "off the end, undefined aliases and variables, missing files, broken menu blocks, characters the "
       "window's fonts cannot draw, mistyped keywords, a full-width space or a missing argument in a "
       "command; with --source, the plain scripts in SRCDIR are checked, by line; without it, a script "
       "changed since the last build is named; --language LANG also names every message, label and menu text "
       "of the game's translation LANG (GameData/Translations) that does not fit where it is shown, measured "
       "as translate check measures it; --format json prints one object with the findings for programs. Exits 1 on errors, 2 on a bad command line",
       RunCheck},
      {"names", "names [--dry-run] DIR",
       "rename the files and directories below DIR whose names came out of an archive as CP932 bytes or as "
       "CP932 read as code page 437 (plain unzip) to proper UTF-8 names, printing each; --dry-run only prints. "
       "Exits 1 when a name could not be renamed",
       RunNames},
      {"help", "help [KEYWORD]",
       "print the script language's keywords (or one of them): the words each takes, what it does, what fails "
       "and how, and an example; the same text as docs/script-language.md. Exits 1 for a word that is no "
       "keyword",
       RunHelp},
      {"lsp", "lsp [--game GAMEDIR] [--source SRCDIR] [--cp932]",
       "a language server (Language Server Protocol on stdin and stdout) for an editor: the checks of check "
       "--source on the text being typed, completion of keywords, aliases, variables and script names, the "
       "reference of a keyword on hover, go to definition of an alias, a variable or a script, and the "
       "messages and menus as symbols. The game is the nearest directory above the file holding GameData "
       "unless --game names it; its sources are those the last build noted, or the directory below the game "
       "holding the file, unless --source names them",
       RunLsp},
      {"package",
       "package GAMEDIR --name NAME --version V [--title TEXT] [--summary TEXT] [--maintainer TEXT] [--id ID] "
       "[--icon PNG] [--format deb|tar] [-o OUTDIR]",
       "make the game in GAMEDIR (its GameData, saves left out) a Debian package NAME_V_all.deb that depends on "
       "the engine's package and installs the command NAME, a desktop entry, an icon (PNG, square; default the "
       "engine's) and AppStream metainfo under the id ID (default org.vantorel.game.NAME), and a tarball "
       "NAME-V-x86_64.tar.gz that carries the engine, its libraries, fonts and soundfont beside the game and "
       "plays from wherever it is unpacked (./NAME); --format makes only one; TEXT is the name players see "
       "(default NAME); files go to OUTDIR (default .)",
       RunPackage},
      {"explore",
       "explore [--format text|json] [-j N] [--budget STEPS] [--max-states N] [--language LANG] GAMEDIR",
       "play the game in GAMEDIR headless from its opening script, deciding at every wait point and trying "
       "every item of every menu (button and text menus, save and load screens, the key configuration) on its "
       "own copy of the game; report the scripts reached and never reached, the menu items taken, each ending "
       "(by its script and the variables that tell it apart) and each failure once, with how many ways lead "
       "there and the shortest, and the messages longer than the window in characters and rows; --language "
       "LANG also names the messages reached whose translation LANG does not fit the window. -j N runs N "
       "branches at once (default: the number of cores), with at most N + 4 processes in all; a branch stops "
       "after STEPS logic steps (default 200000); --max-states bounds the states kept (default 100000). "
       "SIGINT, SIGTERM or SIGHUP ends every branch and removes the work directory. Exits 1 when a failure "
       "was reported, 2 on a bad command line, 3 when the exploration stopped short of the whole game (the "
       "state limit, no process to be had, a full work directory): the report says what was not explored",
       RunExplore},
      {"translate", "translate extract|update|check [--source SRCDIR] [--cp932] ... GAMEDIR ...",
       "the translator's gettext PO files: extract [-o FILE] GAMEDIR LANG writes every message, speaker label, "
       "text-menu item and save/load screen text of the scripts (by default to "
       "GameData/Translations/LANG.po); update GAMEDIR FILE brings FILE up to date with edited scripts as "
       "msgmerge would and prints the counts; check [--format json] GAMEDIR FILE names what is untranslated "
       "or fuzzy and the translated texts that do not fit the window or their menu (exit 1 when any)",
       RunTranslate},
      {"loudness", "loudness [--soundfont FILE] GAMEDIR",
       "measure the loudness of every MIDI piece of the game in GAMEDIR (below GameData/Music/MIDI) as the "
       "engine does before a piece first sounds, with the soundfont FILE (default: the one the engine would "
       "choose), and print a table for its web page (scripts/web.sh): one line per piece, its content key "
       "(FNV-1a 64 of its MIDI image, 16 hex digits) and its integrated loudness in LUFS, the file names after "
       "a '#'. A piece found twice has one line. Exits 1 when a file is no MIDI file or cannot be played "
       "(the other pieces are still printed)",
       RunLoudness},
  };
  return commands;
}
}  // namespace scripttool

namespace {
void PrintHelp(std::FILE* out) {
  std::fprintf(out, "usage: vantorel-script COMMAND [OPTIONS] ARGS\n\ncommands:\n");
  for (const scripttool::Command& c : scripttool::Commands())
    std::fprintf(out, "  %s\n      %s\n", c.usage, c.summary);
  std::fprintf(out,
               "\noptions:\n"
               "  --cp932   plain scripts are CP932 instead of UTF-8\n"
               "  -h, --help  this text\n");
}
}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    PrintHelp(stderr);
    return scripttool::kUsage;
  }
  if (args[0] == "-h" || args[0] == "--help") {
    PrintHelp(stdout);
    return scripttool::kOk;
  }
  for (const scripttool::Command& c : scripttool::Commands()) {
    if (args[0] != c.name) continue;
    std::vector<std::string> rest(args.begin() + 1, args.end());
    for (const std::string& a : rest) {
      if (a == "-h" || a == "--help") {
        std::printf("usage: vantorel-script %s\n  %s\n", c.usage, c.summary);
        return scripttool::kOk;
      }
    }
    return c.run(rest);
  }
  scripttool::PrintError("unknown command \"" + args[0] + "\" (try --help)");
  return scripttool::kUsage;
}
