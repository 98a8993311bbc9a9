#include "platform/web/KnownLoudness.h"

#include <fstream>
#include <limits>
#include <map>
#include <sstream>

#include "platform/audio/LoudnessTable.h"
#include "platform/web/WebPaths.h"

namespace platform::web {

double KnownLoudness(const std::string& smf) {
  // A page made without a native build has no table: every piece then plays
  // at its own level.
  static const std::map<uint64_t, double> table = [] {
    std::ifstream in(kWebMusicLoudness, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return ParseLoudnessTable(text.str());
  }();
  const auto known = table.find(PieceKey(smf));
  return known == table.end() ? std::numeric_limits<double>::quiet_NaN() : known->second;
}

}  // namespace platform::web
