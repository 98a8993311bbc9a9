#pragma once
// The browser build's music levelling: measuring a piece as it starts would
// hold the page's one thread for seconds, so the page is made with the
// loudness of the game's pieces measured beforehand (scripts/web.sh).
#include <string>

namespace platform::web {

// The loudness (LUFS) the page's table gives the piece (a standard MIDI file
// image as ExtractSmf leaves it); NaN when the table does not know it or the
// page has none. The table is read once, at the first piece.
double KnownLoudness(const std::string& smf);

}  // namespace platform::web
