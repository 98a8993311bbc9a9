#include "TranslationTexts.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <set>

#include "msgbox/Translation.h"
#include "platform/text/TextCodec.h"

namespace scripttool {
namespace {
using platform::Catalog;
using platform::CatalogEntry;
using platform::CatalogKey;
using platform::Cp932ToUtf8;
constexpr size_t kNone = static_cast<size_t>(-1);

void Place(const ScriptInput& in, size_t word, CatalogEntry& e) {
  if (!in.fromSource || word >= in.source.offsets.size()) return;
  e.references.emplace_back(in.source.hostPath, PositionInCp932(in.source.text, in.source.offsets[word]).line);
}

void AddScreenTexts(Catalog& out) {
  using T = msgbox::SaveScreenText;
  auto add = [&](const char* context, const char* msgid, const char* note, bool format) {
    CatalogEntry e;
    e.context = context;
    e.msgid = msgid;
    e.extracted = note;
    e.cFormat = format;
    out.entries.push_back(std::move(e));
  };
  add(msgbox::kSaveScreenContext, T::kBack, "the item that leaves the save or load screen", false);
  add(msgbox::kSaveScreenContext, T::kEmpty, "an empty slot; %d: the slot's number", true);
  add(msgbox::kSaveScreenContext, T::kUnknownDate, "a slot whose date cannot be read; %d: the slot's number", true);
  add(msgbox::kSaveScreenContext, T::kDate,
      "a saved slot: slot, year, month, day, weekday (%s), hour, minute; reorder with %1$d ... %7$d", true);
  for (const char* day : T::kWeekdays) add(msgbox::kWeekdayContext, day, "a weekday, shown in a saved slot", false);
}
}  // namespace

std::string CatalogHeader(const std::string& language) {
  char date[40];
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  gmtime_r(&now, &tm);
  std::strftime(date, sizeof date, "%Y-%m-%d %H:%M+0000", &tm);
  return std::string("Project-Id-Version: game\n") + "POT-Creation-Date: " + date + "\n" +
         "PO-Revision-Date: " + date + "\n" + "Last-Translator: \n" + "Language-Team: \n" +
         "Language: " + language + "\n" + "MIME-Version: 1.0\n" + "Content-Type: text/plain; charset=UTF-8\n" +
         "Content-Transfer-Encoding: 8bit\n" + "X-Generator: vantorel-script translate\n";
}

Catalog ExtractTexts(const std::vector<ScriptInput>& inputs, const std::string& language) {
  Catalog out;
  out.header = CatalogHeader(language);
  std::vector<const ScriptInput*> sorted;
  for (const ScriptInput& in : inputs)
    if (in.readable) sorted.push_back(&in);
  std::sort(sorted.begin(), sorted.end(), [](const ScriptInput* a, const ScriptInput* b) { return a->name < b->name; });
  bool screens = false;
  for (const ScriptInput* in : sorted) {
    WalkedScript walked;
    walked.name = in->name;
    walked.words = in->Words();
    std::vector<Finding> ignored;
    WalkScript(walked, ignored);
    // Messages and menu items in the order of their words.
    std::map<size_t, CatalogEntry> byWord;
    for (const ShownMessage& m : walked.messages) {
      const std::string speaker = m.speakerAt == kNone ? std::string() : Cp932ToUtf8(walked.words[m.speakerAt]);
      if (m.speakerAt != kNone && m.speakerAt + 1 == m.at && !m.label.empty()) {
        CatalogEntry label;
        label.context = msgbox::TextContext(in->name, m.speakerAt);
        label.msgid = Cp932ToUtf8(m.label);
        label.extracted = "the label of speaker word " + speaker;
        Place(*in, m.speakerAt, label);
        byWord[m.speakerAt] = std::move(label);
      }
      CatalogEntry text;
      text.context = msgbox::TextContext(in->name, m.at);
      text.msgid = Cp932ToUtf8(walked.words[m.at]);
      text.extracted = speaker.empty() ? std::string("no speaker") : "speaker: " + speaker;
      Place(*in, m.at, text);
      byWord[m.at] = std::move(text);
    }
    for (const ScriptCommand& c : walked.commands) {
      if (c.keyword == "SaveMenu" || c.keyword == "LoadMenu") screens = true;
      if (c.keyword != "FontMenu") continue;
      for (const MenuItemEntry& item : c.items) {
        if (item.label.empty()) continue;
        CatalogEntry e;
        e.context = msgbox::TextContext(in->name, item.at);
        e.msgid = Cp932ToUtf8(item.label);
        e.extracted = "a text menu item";
        Place(*in, item.at, e);
        byWord[item.at] = std::move(e);
      }
    }
    for (auto& [word, e] : byWord) out.entries.push_back(std::move(e));
  }
  if (screens) AddScreenTexts(out);
  return out;
}

TextCounts CountTexts(const Catalog& catalog) {
  TextCounts n;
  for (const CatalogEntry& e : catalog.entries) {
    if (e.obsolete) ++n.obsolete;
    else if (e.msgstr.empty()) ++n.untranslated;
    else if (e.fuzzy) ++n.fuzzy;
    else ++n.translated;
  }
  return n;
}

bool SplitContext(const std::string& context, std::string& script, size_t& word) {
  const size_t colon = context.rfind(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 >= context.size()) return false;
  size_t n = 0;
  for (size_t i = colon + 1; i < context.size(); ++i) {
    if (context[i] < '0' || context[i] > '9' || n > 100000000) return false;
    n = n * 10 + size_t(context[i] - '0');
  }
  script = context.substr(0, colon);
  word = n;
  return true;
}

Catalog MergeTexts(const Catalog& old, const Catalog& fresh) {
  Catalog out;
  out.header = old.header.empty() ? fresh.header : old.header;
  out.entries = fresh.entries;
  std::vector<bool> used(old.entries.size(), false);
  std::map<std::string, size_t> byKey, byContext;
  for (size_t i = 0; i < old.entries.size(); ++i) {
    byKey.emplace(CatalogKey(old.entries[i].context, old.entries[i].msgid), i);
    byContext.emplace(old.entries[i].context, i);
  }
  std::vector<bool> done(out.entries.size(), false);
  auto carry = [&](CatalogEntry& to, const CatalogEntry& from) {
    to.msgstr = from.msgstr;
    to.fuzzy = from.fuzzy;
    to.translator = from.translator;
    to.previous = from.previous;
    to.previousContext = from.previousContext;
    to.previousMsgid = from.previousMsgid;
  };
  // The same place and original.
  for (size_t i = 0; i < out.entries.size(); ++i) {
    auto it = byKey.find(CatalogKey(out.entries[i].context, out.entries[i].msgid));
    if (it == byKey.end() || used[it->second]) continue;
    used[it->second] = done[i] = true;
    carry(out.entries[i], old.entries[it->second]);
  }
  // The same original elsewhere in the same script (words added or taken
  // out before it): the nearest unused one.
  for (size_t i = 0; i < out.entries.size(); ++i) {
    if (done[i]) continue;
    std::string script;
    size_t word = 0;
    if (!SplitContext(out.entries[i].context, script, word)) continue;
    size_t best = kNone, bestDistance = kNone;
    for (size_t j = 0; j < old.entries.size(); ++j) {
      const CatalogEntry& o = old.entries[j];
      std::string oldScript;
      size_t oldWord = 0;
      if (used[j] || o.msgid != out.entries[i].msgid || !SplitContext(o.context, oldScript, oldWord) ||
          oldScript != script)
        continue;
      const size_t distance = oldWord > word ? oldWord - word : word - oldWord;
      if (distance < bestDistance) {
        best = j;
        bestDistance = distance;
      }
    }
    if (best == kNone) continue;
    used[best] = done[i] = true;
    carry(out.entries[i], old.entries[best]);
  }
  // The same place with another original: the old translation as a guess.
  for (size_t i = 0; i < out.entries.size(); ++i) {
    if (done[i]) continue;
    auto it = byContext.find(out.entries[i].context);
    if (it == byContext.end() || used[it->second]) continue;
    const CatalogEntry& o = old.entries[it->second];
    used[it->second] = done[i] = true;
    if (o.msgstr.empty() || o.obsolete) continue;
    out.entries[i].msgstr = o.msgstr;
    out.entries[i].translator = o.translator;
    out.entries[i].fuzzy = true;
    out.entries[i].previous = true;
    out.entries[i].previousContext = o.context;
    out.entries[i].previousMsgid = o.previous ? o.previousMsgid : o.msgid;
  }
  // What went: kept as obsolete where it was translated.
  for (size_t j = 0; j < old.entries.size(); ++j) {
    const CatalogEntry& o = old.entries[j];
    if (used[j] || o.msgstr.empty()) continue;
    CatalogEntry gone = o;
    gone.obsolete = true;
    gone.references.clear();
    out.entries.push_back(std::move(gone));
  }
  return out;
}

}  // namespace scripttool
