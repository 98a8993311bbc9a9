#pragma once
// The records a branch process leaves for the coordinator: one file per
// branch in the exploration's directory, one record per line, fields split
// by tabs (tabs, newlines and backslashes in a field escaped). Each line is
// one write(2), so a branch that dies leaves only whole records.
#include <string>
#include <vector>

namespace scripttool {

// The record kinds.
namespace record {
constexpr char kBranch = 'B';    // id, choices, process id: the branch starts
constexpr char kOpened = 'O';    // script: a script opened
constexpr char kTaken = 'M';     // script, menu, label: a menu item taken
constexpr char kEnding = 'E';    // kind, script, choices
constexpr char kFailure = 'F';   // script, position, message, choices
constexpr char kTooLong = 'W';   // script, position, bytes, message
constexpr char kStopped = 'S';   // reason, script, choices
constexpr char kDone = 'Z';      // the branch ended as it should
}  // namespace record

// Choices travel as one field, joined by this byte.
constexpr char kChoiceSeparator = '\x1f';
std::string JoinChoices(const std::vector<std::string>& choices);
std::vector<std::string> SplitChoices(const std::string& field);

class RecordWriter {
 public:
  RecordWriter() = default;
  ~RecordWriter();
  RecordWriter(const RecordWriter&) = delete;
  RecordWriter& operator=(const RecordWriter&) = delete;
  // Starts a new file (truncating); the previous one is closed.
  bool Open(const std::string& hostPath);
  void Close();
  void Write(char kind, const std::vector<std::string>& fields);

 private:
  int fd_ = -1;
};

struct Record {
  char kind = 0;
  std::vector<std::string> fields;
};
// Every record of one file, in order; a torn last line is left out.
std::vector<Record> ReadRecords(const std::string& hostPath);

}  // namespace scripttool
