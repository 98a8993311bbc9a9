#include "platform/web/KnownLoudness.h"

#include <limits>
#include <map>

#include "platform/audio/LoudnessTable.h"
#include "platform/files/RegularFile.h"
#include "platform/web/WebPaths.h"

namespace platform::web {

double KnownLoudness(const std::string& smf) {
  // A page made without a native build has no table: every piece then plays
  // at its own level.
  static const std::map<uint64_t, double> table = [] {
    std::string text;
    ReadRegularFile(kWebMusicLoudness, text, 1 << 20);  // a line a piece: some 40 bytes each
    return ParseLoudnessTable(text);
  }();
  const auto known = table.find(PieceKey(smf));
  return known == table.end() ? std::numeric_limits<double>::quiet_NaN() : known->second;
}

}  // namespace platform::web
