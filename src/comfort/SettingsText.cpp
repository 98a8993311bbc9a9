#include "comfort/SettingsText.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <functional>

#include "platform/text/Languages.h"

namespace comfort {
namespace {
constexpr std::string_view kHeader = "# vantorel settings 1";
constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
  return out;
}

// A plain decimal count: digits only, as a person writes it ("0x5", "1e2"
// and "-3" are not counts).
bool ReadCount(std::string_view v, int32_t& out) {
  if (!v.empty() && v[0] == '+') v.remove_prefix(1);
  if (v.empty() || v.size() > 6 || v.find_first_not_of("0123456789") != std::string_view::npos) return false;
  std::from_chars(v.data(), v.data() + v.size(), out);
  return true;
}

// Seconds as a plain decimal ("1", "1.5", ".25"): no exponent ("1e-320"),
// no sign, no "inf"; read the same in every locale.
bool ReadSeconds(std::string_view v, double& out) {
  if (v.empty() || v.size() > 12 || v.find_first_not_of("0123456789.") != std::string_view::npos ||
      std::count(v.begin(), v.end(), '.') > 1 || v == ".")
    return false;
  // The digits as one whole number and a power of ten, both exact in a
  // double (at most 11 digits), divided once: the correctly rounded value,
  // as from_chars gives it (which the browser build's C++ library lacks
  // for floating point).
  uint64_t digits = 0;
  double scale = 1;
  bool fraction = false;
  for (char c : v) {
    if (c == '.') {
      fraction = true;
      continue;
    }
    digits = digits * 10 + uint64_t(c - '0');
    if (fraction) scale *= 10;
  }
  out = double(digits) / scale;
  return true;
}

bool ReadSwitch(std::string_view v, bool& out) {
  const std::string w = Lower(v);
  if (w == "on" || w == "yes" || w == "true") out = true;
  else if (w == "off" || w == "no" || w == "false") out = false;
  else return false;
  return true;
}

std::string Seconds(double v) {
  // Fixed notation: what this writes, this reads back.
  char b[32];
  std::snprintf(b, sizeof b, "%.6f", v);
  std::string s = b;
  s.erase(s.find_last_not_of('0') + 1);
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s;
}

struct Key {
  const char* name;
  std::function<bool(std::string_view, Settings&)> read;
  std::function<std::string(const Settings&)> write;
};

template <class T>
Key Count(const char* name, T Settings::*member) {
  return {name, [member](std::string_view v, Settings& s) { return ReadCount(v, s.*member); },
          [member](const Settings& s) { return std::to_string(s.*member); }};
}
Key Time(const char* name, double Settings::*member) {
  return {name, [member](std::string_view v, Settings& s) { return ReadSeconds(v, s.*member); },
          [member](const Settings& s) { return Seconds(s.*member); }};
}
Key Switch(const char* name, bool Settings::*member) {
  return {name, [member](std::string_view v, Settings& s) { return ReadSwitch(v, s.*member); },
          [member](const Settings& s) { return std::string(s.*member ? "on" : "off"); }};
}

// The keys in the order a new file lists them.
const std::vector<Key>& Keys() {
  static const std::vector<Key> keys = {
      Count("steps-per-character", &Settings::stepsPerCharacter),
      Time("auto-delay", &Settings::autoDelay),
      Time("auto-per-character", &Settings::autoPerCharacter),
      Count("music-volume", &Settings::musicVolume),
      Count("effect-volume", &Settings::effectVolume),
      Switch("mute", &Settings::mute),
      Switch("skip-unseen", &Settings::skipUnseen),
      Switch("full-screen", &Settings::fullScreen),
      {"scaling",
       [](std::string_view v, Settings& s) {
         const std::string w = Lower(v);
         if (w != "sharp" && w != "smooth") return false;
         s.sharpScaling = w == "sharp";
         return true;
       },
       [](const Settings& s) { return std::string(s.sharpScaling ? "sharp" : "smooth"); }},
      Switch("copy-to-clipboard", &Settings::copyToClipboard),
      Count("window-width", &Settings::windowWidth),
      Count("window-height", &Settings::windowHeight),
      // The translation chosen; written only once one is, so that the file
      // of a player who never chose one stays as it was.
      {"language",
       [](std::string_view v, Settings& s) {
         if (!v.empty() && !platform::IsLanguageCode(v)) return false;
         s.language = std::string(v);
         return true;
       },
       [](const Settings& s) { return s.language; }},
      // Written only away from their defaults, as the language.
      {"rollback", [](std::string_view v, Settings& s) { return ReadSwitch(v, s.rollback); },
       [](const Settings& s) { return std::string(s.rollback ? "" : "off"); }},
      {"right-click-hides", [](std::string_view v, Settings& s) { return ReadSwitch(v, s.rightClickHides); },
       [](const Settings& s) { return std::string(s.rightClickHides ? "on" : ""); }},
  };
  return keys;
}

int FindKey(std::string_view written) {
  std::string k = Lower(written);
  std::replace(k.begin(), k.end(), '_', '-');
  for (size_t i = 0; i < Keys().size(); ++i)
    if (k == Keys()[i].name) return int(i);
  return -1;
}

bool IsSpace(char c) { return c == ' ' || c == '\t'; }
}  // namespace

void SettingsText::Parse(std::string_view text, Settings& out, std::vector<std::string>& problems) {
  lines_.clear();
  bom_ = text.substr(0, kBom.size()) == kBom;
  if (bom_) text.remove_prefix(kBom.size());
  crlf_ = text.find("\r\n") != std::string_view::npos;
  int number = 0;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view raw = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    ++number;
    Line line;
    line.text = std::string(raw);
    size_t first = 0;
    while (first < raw.size() && IsSpace(raw[first])) ++first;
    if (first == raw.size() || raw[first] == '#') {
      lines_.push_back(std::move(line));
      continue;
    }
    const size_t eq = raw.find('=');
    // The value runs to a comment or the end; quotes around it go.
    size_t valueEnd = std::min(raw.find('#', eq == std::string_view::npos ? 0 : eq), raw.size());
    if (eq == std::string_view::npos) {
      line.broken = true;
      problems.push_back("line " + std::to_string(number) + ": not a setting: '" + line.text + "'");
      lines_.push_back(std::move(line));
      continue;
    }
    size_t keyEnd = eq;
    while (keyEnd > first && IsSpace(raw[keyEnd - 1])) --keyEnd;
    size_t valueBegin = eq + 1;
    while (valueBegin < valueEnd && IsSpace(raw[valueBegin])) ++valueBegin;
    while (valueEnd > valueBegin && IsSpace(raw[valueEnd - 1])) --valueEnd;
    std::string_view value = raw.substr(valueBegin, valueEnd - valueBegin);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    line.key = FindKey(raw.substr(first, keyEnd - first));
    line.valueBegin = valueBegin;
    line.valueEnd = valueEnd;
    line.value = std::string(value);
    if (line.key >= 0) {
      // Read into a copy, so that a refused value leaves the key as it was;
      // out of range is judged for this key alone (a width read before its
      // height is no fault).
      const Key& key = Keys()[size_t(line.key)];
      Settings tried = out;
      const bool ok = key.read(value, tried);
      Settings clamped = tried;
      clamped.Clamp();
      if (ok && key.write(clamped) == key.write(tried)) {
        out = tried;
      } else {
        line.refused = true;
        problems.push_back("line " + std::to_string(number) + ": bad value in '" + line.text + "'");
      }
    }
    lines_.push_back(std::move(line));
  }
  out.Clamp();  // a width without its height gets the smallest height
}

std::string SettingsText::Write(const Settings& s) const {
  const std::string eol = crlf_ ? "\r\n" : "\n";
  std::string out = bom_ ? std::string(kBom) : std::string();
  std::vector<bool> written(Keys().size(), false);
  if (lines_.empty()) out += std::string(kHeader) + eol;
  for (const Line& line : lines_) {
    if (line.broken) {
      out += "# " + line.text + eol;  // kept for the person, no longer in the way
      continue;
    }
    if (line.key < 0) {
      out += line.text + eol;
      continue;
    }
    const Key& key = Keys()[size_t(line.key)];
    written[size_t(line.key)] = true;
    const std::string value = key.write(s);
    Settings asRead = s;
    const bool same = !line.refused && key.read(line.value, asRead) && asRead == s;
    out += same ? line.text
                : line.text.substr(0, line.valueBegin) + value + line.text.substr(line.valueEnd);
    out += eol;
  }
  for (size_t k = 0; k < Keys().size(); ++k)
    if (!written[k] && !Keys()[k].write(s).empty()) out += std::string(Keys()[k].name) + " = " + Keys()[k].write(s) + eol;
  return out;
}

}  // namespace comfort
