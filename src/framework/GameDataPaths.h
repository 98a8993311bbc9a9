#pragma once
// Where a game keeps its files, as engine paths (below the game directory,
// '\' separated; the platform maps them to files). One place for every
// layer and tool that looks for them.
namespace gamedata {
inline constexpr char kTextDir[] = "GameData\\Text\\";
inline constexpr char kTextureDir[] = "GameData\\Texture\\";
inline constexpr char kSoundDir[] = "GameData\\Music\\SE\\";
inline constexpr char kMidiDir[] = "GameData\\Music\\MIDI\\";
// Translations of the game's texts: LANG.po or LANG.mo.
inline constexpr char kTranslationsDir[] = "GameData\\Translations";
// The save files' folder and the stem of their names, in UTF-8 (turn to
// CP932 with SJ): slot n is kSaveStem + n + ".Dat".
inline constexpr char kSaveDir[] = "GameData\\Text\\セーブデータ";
inline constexpr char kSaveStem[] = "GameData\\Text\\セーブデータ\\セーブデータ";
// The script every game opens with, below kTextDir (UTF-8: turn to CP932 with SJ).
inline constexpr char kOpeningScript[] = "オープニング\\オープニング1.Dat";
}  // namespace gamedata
