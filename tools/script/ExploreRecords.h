#pragma once
// The records a branch process leaves for the coordinator: one file per
// branch in the exploration's directory, one record per line, fields split
// by tabs (tabs, newlines and backslashes in a field escaped). Each line is
// one write(2), so a branch that dies leaves only whole records.
#include <cstdint>
#include <string>
#include <vector>

namespace scripttool {

// The record kinds.
namespace record {
constexpr char kBranch = 'B';    // id, choices, process id: the branch starts
constexpr char kOpened = 'O';    // script: a script opened
constexpr char kTaken = 'M';     // script, menu, label: a menu item taken
// key: the branch stands at a state (its first: the state it started
// from, the opening's being 0); each next one is a step from the last,
// through the menu item taken (kTaken) in between, if any
constexpr char kState = 'K';
constexpr char kEnding = 'E';    // kind, script, choices, variables ("name=value" joined as choices)
constexpr char kFailure = 'F';   // script, position, message, choices
// script, position, language (empty: the original), characters, rows,
// window's rows, bytes, why, message as shown
constexpr char kTooLong = 'W';
constexpr char kStopped = 'S';   // reason, script, choices
// key, first item, walk positions, script, menu, choices, labels: the items
// of a menu from the first named on, queued for a replay (Explorer.h)
constexpr char kQueued = 'Q';
constexpr char kDone = 'Z';      // the branch ended as it should
}  // namespace record

// Choices travel as one field, joined by this byte.
constexpr char kChoiceSeparator = '\x1f';
std::string JoinChoices(const std::vector<std::string>& choices);
std::vector<std::string> SplitChoices(const std::string& field);

struct Record {
  char kind = 0;
  std::vector<std::string> fields;
};

class RecordWriter {
 public:
  RecordWriter() = default;
  ~RecordWriter();
  RecordWriter(const RecordWriter&) = delete;
  RecordWriter& operator=(const RecordWriter&) = delete;
  // Starts a new file (truncating); the previous one is closed.
  bool Open(const std::string& hostPath);
  void Close();
  // False when the record could not be written whole; errno tells why.
  bool Write(char kind, const std::vector<std::string>& fields);
  // Bytes written to the file so far: where the next record starts.
  uint64_t Size() const { return size_; }

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

// The items of one menu a branch could not hand to a process of their own:
// the rest of the menu from `start` on, which a branch started afresh
// reaches again by taking the same items from the opening on (`path`: the
// walk position taken at each menu before this one). `key` is the menu's
// state, which the replay must come back to.
struct QueuedItems {
  uint64_t key = 0;
  uint32_t start = 0;
  std::vector<uint32_t> path;
  std::string script, menu;         // UTF-8
  std::vector<std::string> choices;  // the labels taken up to the menu
  std::vector<std::string> labels;   // the menu's labels from `start` on
};
std::vector<std::string> QueuedFields(const QueuedItems& items);
// False on a record that is not a whole kQueued one.
bool ParseQueued(const Record& record, QueuedItems& out);

// Every record of one file, in order; a torn last line is left out.
std::vector<Record> ReadRecords(const std::string& hostPath);
// The one record that starts `offset` bytes into the file; false when there
// is no whole record there.
bool ReadRecordAt(const std::string& hostPath, uint64_t offset, Record& out);

}  // namespace scripttool
