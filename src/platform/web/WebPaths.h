#pragma once
// Where the browser build's page puts what it ships beside the game, in the
// program's file system (the packed data mounts there).
namespace platform::web {

// The fonts the page carries (web/FontResolveWeb.cpp).
inline constexpr char kWebFontDir[] = "/fonts";

// The loudness of the game's MIDI pieces, measured when the page was made
// (vantorel-script loudness; web/KnownLoudness.cpp).
inline constexpr char kWebMusicLoudness[] = "/page/music-loudness.txt";

}  // namespace platform::web
