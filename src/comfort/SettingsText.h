#pragma once
// The settings file as text: read the way a person or a newer version may
// write it, and written back changing only what changed. Every line is
// kept: comments, blank lines, and keys this version does not know.
#include <string>
#include <string_view>
#include <vector>

#include "comfort/Settings.h"

namespace comfort {

class SettingsText {
 public:
  // Reads `text` into `out`, over the values it holds: a UTF-8 BOM, CR LF or
  // LF line ends, blank lines and "#" comments (whole lines or after a
  // value), any spacing around "=", keys in either case and with "_" for
  // "-", values in quotes, on/off, yes/no or true/false; keys it does not
  // know are kept as they are. A value wrong for its key (not a plain
  // decimal number, out of its range, a word the key does not take) is
  // refused and the key keeps its value; so is a line that is no setting.
  // `problems` gets one entry per refused line ("line 3: bad value in ...").
  void Parse(std::string_view text, Settings& out, std::vector<std::string>& problems);

  // The text with the values of `s`: a line whose value differs from it (or
  // was refused) gets the value, its key, spacing and comment kept; a line
  // that is no setting becomes a comment; keys the text lacks are added at
  // its end. From no text: the header and every key, one a line.
  std::string Write(const Settings& s) const;

 private:
  struct Line {
    std::string text;
    int key = -1;  // the known key it sets; -1: a comment, an unknown key, or broken
    bool broken = false;
    bool refused = false;
    size_t valueBegin = 0, valueEnd = 0;  // the value's place in text (quotes included)
    std::string value;                    // as read, without quotes
  };
  std::vector<Line> lines_;
  bool bom_ = false;
  bool crlf_ = false;
};

}  // namespace comfort
