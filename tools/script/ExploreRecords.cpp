#include "ExploreRecords.h"

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace scripttool {
namespace {
void Escape(const std::string& field, std::string& out) {
  for (char c : field) {
    if (c == '\\') out += "\\\\";
    else if (c == '\t') out += "\\t";
    else if (c == '\n') out += "\\n";
    else out += c;
  }
}

std::vector<std::string> SplitLine(const std::string& line) {
  std::vector<std::string> fields(1);
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (c == '\t') {
      fields.emplace_back();
    } else if (c == '\\' && i + 1 < line.size()) {
      char e = line[++i];
      fields.back() += e == 't' ? '\t' : e == 'n' ? '\n' : e;
    } else {
      fields.back() += c;
    }
  }
  return fields;
}
}  // namespace

std::string JoinChoices(const std::vector<std::string>& choices) {
  std::string out;
  for (size_t i = 0; i < choices.size(); ++i) {
    if (i) out += kChoiceSeparator;
    out += choices[i];
  }
  return out;
}

std::vector<std::string> SplitChoices(const std::string& field) {
  std::vector<std::string> out;
  if (field.empty()) return out;
  std::string part;
  for (char c : field) {
    if (c == kChoiceSeparator) {
      out.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  out.push_back(part);
  return out;
}

RecordWriter::~RecordWriter() { Close(); }

bool RecordWriter::Open(const std::string& hostPath) {
  Close();
  fd_ = ::open(hostPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
  return fd_ >= 0;
}

void RecordWriter::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void RecordWriter::Write(char kind, const std::vector<std::string>& fields) {
  if (fd_ < 0) return;
  std::string line(1, kind);
  for (const std::string& f : fields) {
    line += '\t';
    Escape(f, line);
  }
  line += '\n';
  for (size_t done = 0; done < line.size();) {
    ssize_t n = ::write(fd_, line.data() + done, line.size() - done);
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

std::vector<Record> ReadRecords(const std::string& hostPath) {
  std::vector<Record> out;
  std::ifstream in(hostPath, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const std::string all = text.str();
  size_t start = 0;
  for (size_t nl; (nl = all.find('\n', start)) != std::string::npos; start = nl + 1) {
    std::string line = all.substr(start, nl - start);
    if (line.empty()) continue;
    Record r;
    r.kind = line[0];
    std::vector<std::string> fields = SplitLine(line.substr(1));
    if (!fields.empty() && fields[0].empty()) fields.erase(fields.begin());  // the tab after the kind
    r.fields = std::move(fields);
    out.push_back(std::move(r));
  }
  return out;
}

}  // namespace scripttool
