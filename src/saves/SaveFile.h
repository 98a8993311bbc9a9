#pragma once
// The file a quick save, an autosave or a save in one of our slots is
// written as (docs/formats.md, "Save files of the game menu"): a first line
// naming the format and its version, then named fields, each as its name,
// a space, its length in bytes in decimal and a line feed, the bytes, and a
// line feed. A field holds bytes or further fields; the last is "end", so
// that a file cut short is told from a whole one. A reader skips fields it
// does not know, so a later version reads an earlier one's files and an
// earlier one reads what it knows of a later one's. Text is CP932 as the
// engine holds it; numbers are decimal.
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "comfort/History.h"
#include "saves/PlayRecord.h"

namespace saves {

inline constexpr char kSaveMagic[] = "vantorel-save";
// 2: the summary's time to the millisecond; where each message of the
// history came from, so that a translation shows it after a load.
inline constexpr int kSaveVersion = 2;

// What the load screen shows of a save without reading the rest.
struct SaveSummary {
  std::string kind;      // "quick", "auto" or "slot"
  int64_t time = 0;      // seconds since the epoch, when it was made
  std::string speaker;   // the label of the message shown (CP932), or empty
  std::string text;      // its words, rows joined (CP932)
  std::string script;    // the open script (CP932, below the text directory)
  uint64_t position = 0;
  std::string thumbnailPng;  // the screen as it was, small, as PNG; may be empty
  // When it was made to the millisecond, which tells apart saves made in
  // the same second; a save of version 1 has only `time` (then time × 1000).
  int64_t timeMs = 0;
};

struct SaveContents {
  SaveSummary summary;
  // The record of play up to the save, the last entry the game as saved.
  std::deque<RecordEntry> record;
  std::vector<comfort::HistoryEntry> history;  // oldest first
};

// A generation for a word list that did not come from the interpreter (read
// from a save, fitted to an edited script): never equal to one of its own.
uint64_t FreshWordsGeneration();

std::string EncodeSave(const SaveContents& save);
// False, with why (in English, for the report), when the bytes are no save
// of ours or are cut short; a save of a later version is read as far as known.
bool DecodeSave(std::string_view bytes, SaveContents& save, std::string& why);
// Only the summary (the load screen lists many saves).
bool DecodeSummary(std::string_view bytes, SaveSummary& summary, std::string& why);

}  // namespace saves
