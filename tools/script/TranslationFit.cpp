#include "TranslationFit.h"

#include "app/GameLayout.h"
#include "framework/GameFaces.h"
#include "framework/TextFont.h"
#include "framework/TextLayout.h"
#include "msgbox/MessageWindow.h"
#include "msgbox/TranslationFiles.h"
#include "platform/text/Font.h"
#include "platform/text/TextBreaks.h"
#include "platform/text/TextCodec.h"

namespace scripttool {
namespace {
constexpr size_t kNone = static_cast<size_t>(-1);
// The save and load screens list their items this far in from the window.
constexpr int kScreenInset = 40;
// Menu text starts this far into its cell.
constexpr int kCellInset = 20;

std::string Rows(size_t n) { return std::to_string(n) + (n == 1 ? " row" : " rows"); }
}  // namespace

std::vector<Overflow> FindOverflows(const std::vector<ScriptInput>& inputs, const msgbox::Translation& translation) {
  std::vector<Overflow> out;
  const std::string& language = translation.Language();
  const int em = TextFont::PixelHeightFor(gamefaces::kMessagePointSize);
  const bool bold = gamefaces::kMessageStyle & 1;
  auto messageFont =
      platform::OpenFont(platform::Utf8ToCp932Lossy(gamefaces::kMessageFace), em, bold, false, language);
  auto menuFont = platform::OpenFont(platform::Utf8ToCp932Lossy(gamefaces::kMenuFace), em, bold, false, language);
  const MsgBoxLayout layout = GameLayout();
  const int width = msgbox::MessageWindow::TextAreaWidthFor(layout.window);
  const size_t rows = msgbox::MessageWindow::TextAreaRowsFor(layout.window, em);

  for (const ScriptInput& in : inputs) {
    if (!in.readable) continue;
    WalkedScript walked;
    walked.name = in.name;
    walked.words = in.Words();
    std::vector<Finding> ignored;
    WalkScript(walked, ignored);
    for (const ShownMessage& m : walked.messages) {
      const std::string original = walked.words[m.at];
      const std::string* text = translation.Text(in.name, m.at, original);
      const std::string* label =
          m.speakerAt == kNone || m.label.empty() ? nullptr : translation.Text(in.name, m.speakerAt, m.label);
      if (!text && !label) continue;  // shown as the original, in the original's rows
      const std::string shown =
          (label ? *label : platform::Cp932ToUtf8(m.label)) + (text ? *text : platform::Cp932ToUtf8(original));
      const TextRows laid = LayOutRows(shown, messageFont.get(), em, width, rows, language);
      if (!laid.overflow) continue;
      Overflow o{in.name, m.at, msgbox::TextContext(in.name, m.at), shown, "message", {}};
      o.characters = platform::GraphemeEnds(shown).size();
      o.rows = laid.rows.size();
      o.windowRows = rows;
      o.why = laid.rows.size() > rows ? Rows(laid.rows.size()) + " where the window holds " + Rows(rows)
                                      : "a word wider than the window's " + std::to_string(width) + " px";
      out.push_back(std::move(o));
    }
    for (const ScriptCommand& c : walked.commands) {
      if (c.keyword != "FontMenu") continue;
      const int columns = c.columns > 0 ? c.columns : 1;
      const int cell = int(layout.window.w) / columns - kCellInset;
      for (const MenuItemEntry& item : c.items) {
        const std::string* t = translation.Text(in.name, item.at, item.label);
        if (!t) continue;
        const int w = menuFont ? menuFont->Measure(*t) : 0;
        if (w <= cell) continue;
        out.push_back({in.name, item.at, msgbox::TextContext(in.name, item.at), *t, "text menu item",
                       std::to_string(w) + " px where the menu's cell holds " + std::to_string(cell)});
      }
    }
  }
  // The save/load screen's texts, at their longest (two-digit numbers).
  using T = msgbox::SaveScreenText;
  const int screen = int(layout.window.w) - kScreenInset;
  const std::vector<std::pair<const char*, std::vector<std::string>>> screenTexts = {
      {T::kBack, {}},
      {T::kEmpty, {"3"}},
      {T::kUnknownDate, {"3"}},
      {T::kDate, {"3", "2099", "12", "28", "Wed", "23", "59"}}};
  for (const auto& [msgid, args] : screenTexts) {
    if (!translation.Find(msgbox::kSaveScreenContext, msgid)) continue;
    std::vector<std::string> filled = args;
    if (msgid == T::kDate) {
      // The widest weekday as the translation names it.
      int widest = -1;
      for (const char* day : T::kWeekdays) {
        const std::string* d = translation.Find(msgbox::kWeekdayContext, day);
        const std::string name = d ? *d : std::string(day);
        const int w = menuFont ? menuFont->Measure(name) : 0;
        if (w > widest) {
          widest = w;
          filled[4] = name;
        }
      }
    }
    const std::string shown = msgbox::ScreenText(translation, msgbox::kSaveScreenContext, msgid, filled, std::string());
    const int w = menuFont ? menuFont->Measure(shown) : 0;
    if (w <= screen) continue;
    out.push_back({std::string(), 0, msgbox::kSaveScreenContext, shown, "save/load screen text",
                   std::to_string(w) + " px where the screen holds " + std::to_string(screen)});
  }
  return out;
}

std::shared_ptr<const msgbox::Translation> LoadGameTranslation(const std::string& language, std::string& error) {
  std::string found;
  for (const msgbox::TranslationFile& f : msgbox::FindTranslations()) {
    if (f.language == language) return msgbox::LoadTranslation(f, error);
    found += (found.empty() ? "" : ", ") + f.language;
  }
  error = "the game has no translation \"" + language + "\" in GameData/Translations (" +
          (found.empty() ? std::string("it has none") : "it has " + found) + ")";
  return nullptr;
}

std::vector<Finding> OverflowFindings(const std::vector<Overflow>& overflows, const std::string& language) {
  std::vector<Finding> out;
  for (const Overflow& o : overflows) {
    if (o.script.empty()) {
      out.push_back({Severity::Error, std::string(), 0,
                     "in " + language + " the " + o.what + " \"" + o.shown + "\" does not fit: " + o.why});
      continue;
    }
    out.push_back({Severity::Error, o.script, o.word,
                   "in " + language + " this " + o.what + " does not fit: " + o.why + ": " + o.shown});
  }
  return out;
}

}  // namespace scripttool
