#pragma once
// A translation of a game's texts, as `vantorel-script translate extract`
// lays them out: each message, speaker label and text-menu item by its
// place (the script and the position of its word) and its original, and
// the texts of the save/load screen by a context of their own. A text is
// shown translated only where both its place and its original match an
// entry that is translated and not fuzzy: a text edited since, or moved,
// shows its original until the translation is brought up to date.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {
struct Catalog;
}

namespace msgbox {

// The save/load screen's texts: the back item, a slot's label (empty, a
// date, a date that cannot be read; "%d" the slot, then the date's
// numbers and "%s" the weekday) and the weekdays (Sunday first).
inline constexpr char kSaveScreenContext[] = "save/load screen";
inline constexpr char kWeekdayContext[] = "save/load screen: weekday";
struct SaveScreenText {
  static constexpr const char* kBack = "←戻る";
  static constexpr const char* kEmpty = "データ%d：空き";
  static constexpr const char* kUnknownDate = "データ%d：日付不明";
  static constexpr const char* kDate = "データ%d：%d年 %d月 %d日（%s）%d時 %d分";
  static constexpr const char* kWeekdays[7] = {"日", "月", "火", "水", "木", "金", "土"};
};

// The context of the text at `word` of a script (its engine name, CP932):
// the name in UTF-8 with "/" for "\", a colon and the word's index.
std::string TextContext(const std::string& scriptCp932, size_t word);

class Translation {
 public:
  // Untranslated, fuzzy and obsolete entries are left out.
  Translation(std::string language, const platform::Catalog& catalog);
  // The same taking the catalogue's texts over (no copies).
  Translation(std::string language, platform::Catalog&& catalog);
  // From an MO file's bytes straight (no catalogue in between: the quick
  // way a start reads a compiled translation); null with the reason when
  // they are no MO file. `header` receives the header entry.
  static std::shared_ptr<const Translation> FromMo(std::string language, std::string_view mo, std::string& header,
                                                   std::string& error);
  const std::string& Language() const { return language_; }
  size_t Size() const { return texts_.size(); }

  // The translation (UTF-8) of the text at `word` of `scriptCp932` whose
  // original is `originalCp932`; null when there is none.
  const std::string* Text(const std::string& scriptCp932, size_t word, const std::string& originalCp932) const;
  // An entry by its context and original (UTF-8); null when none.
  const std::string* Find(const std::string& context, const std::string& msgidUtf8) const;

 private:
  std::string language_;
  std::unordered_map<std::string, std::string> texts_;
};

// A save/load screen text in the translation (UTF-8), its C-format
// directives filled from `args` ("%d" and "%s" alike; "%N$d" takes the
// N-th, a width such as "%02d" pads): `fallback` (the original, already
// filled) when the translation has none or a directive it cannot fill.
std::string ScreenText(const Translation& translation, const char* context, const char* msgid,
                       const std::vector<std::string>& args, const std::string& fallback);

}  // namespace msgbox
