#include "ExploreRecords.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
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

std::vector<std::string> QueuedFields(const QueuedItems& q) {
  std::string path;
  for (size_t i = 0; i < q.path.size(); ++i) path += (i ? "," : "") + std::to_string(q.path[i]);
  return {std::to_string(q.key), std::to_string(q.start), path, q.script, q.menu, JoinChoices(q.choices),
          JoinChoices(q.labels)};
}

namespace {
bool ParseNumber(const std::string& text, uint64_t& value) {
  if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  errno = 0;
  value = std::strtoull(text.c_str(), nullptr, 10);
  return errno == 0;
}
}  // namespace

bool ParseQueued(const Record& r, QueuedItems& out) {
  if (r.kind != record::kQueued || r.fields.size() != 7) return false;
  uint64_t n = 0;
  if (!ParseNumber(r.fields[0], out.key) || !ParseNumber(r.fields[1], n) || n > UINT32_MAX) return false;
  out.start = static_cast<uint32_t>(n);
  out.path.clear();
  const std::string& path = r.fields[2];
  for (size_t at = 0; at < path.size();) {
    size_t comma = path.find(',', at);
    if (comma == std::string::npos) comma = path.size();
    if (!ParseNumber(path.substr(at, comma - at), n) || n > UINT32_MAX) return false;
    out.path.push_back(static_cast<uint32_t>(n));
    at = comma + 1;
  }
  out.script = r.fields[3];
  out.menu = r.fields[4];
  out.choices = SplitChoices(r.fields[5]);
  out.labels = SplitChoices(r.fields[6]);
  return true;
}

RecordWriter::~RecordWriter() { Close(); }

bool RecordWriter::Open(const std::string& hostPath) {
  Close();
  size_ = 0;
  fd_ = ::open(hostPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
  return fd_ >= 0;
}

void RecordWriter::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool RecordWriter::Write(char kind, const std::vector<std::string>& fields) {
  if (fd_ < 0) {
    errno = EBADF;
    return false;
  }
  std::string line(1, kind);
  for (const std::string& f : fields) {
    line += '\t';
    Escape(f, line);
  }
  line += '\n';
  for (size_t done = 0; done < line.size();) {
    ssize_t n = ::write(fd_, line.data() + done, line.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      size_ += done;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  size_ += line.size();
  return true;
}

namespace {
Record ParseLine(const std::string& line) {
  Record r;
  r.kind = line[0];
  std::vector<std::string> fields = SplitLine(line.substr(1));
  if (!fields.empty() && fields[0].empty()) fields.erase(fields.begin());  // the tab after the kind
  r.fields = std::move(fields);
  return r;
}
}  // namespace

bool ReadRecordAt(const std::string& hostPath, uint64_t offset, Record& out) {
  std::ifstream in(hostPath, std::ios::binary);
  if (!in.seekg(static_cast<std::streamoff>(offset))) return false;
  std::string line;
  if (!std::getline(in, line) || in.eof() || line.empty()) return false;  // eof: no newline, a torn record
  out = ParseLine(line);
  return true;
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
    out.push_back(ParseLine(line));
  }
  return out;
}

}  // namespace scripttool
