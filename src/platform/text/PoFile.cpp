// PO files through gettext's libgettextpo, so that they are read and written
// exactly as msgfmt, msgmerge and the translators' editors take them (the
// common form is read quicker by ReadPoQuickly, to the same result). The
// library reads and writes by file name: the bytes pass through an
// anonymous memory file, so that what is read went through our own file
// readers and what is written reaches the disk only by our crash-safe writer.
#include <gettext-po.h>
#include <sys/mman.h>
#include <unistd.h>

#include <csetjmp>
#include <cstdio>
#include <mutex>

#include "platform/text/MessageCatalog.h"

namespace platform {
namespace {

// libgettextpo keeps global state and its handlers get no user data.
std::mutex g_poMutex;
thread_local std::string* t_errors = nullptr;
thread_local std::jmp_buf* t_fatal = nullptr;

void Note(int severity, const char* filename, size_t lineno, const char* text) {
  if (severity == PO_SEVERITY_WARNING || !t_errors) return;
  if (!t_errors->empty()) *t_errors += "; ";
  if (filename && lineno != size_t(-1)) *t_errors += "line " + std::to_string(lineno) + ": ";
  std::string message = text ? text : "";
  while (!message.empty() && message.back() == '\n') message.pop_back();
  *t_errors += message;
}

// A fatal error must not return to the library: the reader is left by a
// jump, and whatever the library had allocated for the file is lost.
void XError(int severity, po_message_t, const char* filename, size_t lineno, size_t, int, const char* text) {
  Note(severity, filename, lineno, text);
  if (severity == PO_SEVERITY_FATAL_ERROR && t_fatal) std::longjmp(*t_fatal, 1);
}

void XError2(int severity, po_message_t, const char* filename1, size_t lineno1, size_t, int, const char* text1,
             po_message_t, const char*, size_t, size_t, int, const char* text2) {
  Note(severity, filename1, lineno1, (std::string(text1 ? text1 : "") + " " + (text2 ? text2 : "")).c_str());
  if (severity == PO_SEVERITY_FATAL_ERROR && t_fatal) std::longjmp(*t_fatal, 1);
}

const po_xerror_handler kHandler = {XError, XError2};

// An anonymous file holding `bytes`, named through /proc for the library.
class MemoryFile {
 public:
  MemoryFile() : fd_(memfd_create("vantorel-po", MFD_CLOEXEC)) {}
  ~MemoryFile() {
    if (fd_ >= 0) close(fd_);
  }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  bool Ok() const { return fd_ >= 0; }
  std::string Name() const { return "/proc/self/fd/" + std::to_string(fd_); }
  bool Write(std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
      ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
      if (n <= 0) return false;
      done += size_t(n);
    }
    return lseek(fd_, 0, SEEK_SET) == 0;
  }
  bool ReadAll(std::string& out) {
    out.clear();
    if (lseek(fd_, 0, SEEK_SET) != 0) return false;
    char buf[65536];
    for (;;) {
      ssize_t n = ::read(fd_, buf, sizeof buf);
      if (n < 0) return false;
      if (n == 0) return true;
      out.append(buf, size_t(n));
    }
  }

 private:
  int fd_;
};

std::string Str(const char* s) { return s ? s : ""; }
// Comments come back with a line feed after each line: the last one goes.
std::string Comment(const char* s) {
  std::string c = Str(s);
  if (!c.empty() && c.back() == '\n') c.pop_back();
  return c;
}
}  // namespace

bool ParsePo(std::string_view bytes, const std::string& name, Catalog& out, std::string& error) {
  return ReadPoQuickly(bytes, out) || ParsePoWithGettext(bytes, name, out, error);
}

bool ParsePoWithGettext(std::string_view bytes, const std::string& name, Catalog& out, std::string& error) {
  out = Catalog{};
  MemoryFile file;
  if (!file.Ok() || !file.Write(bytes)) {
    error = "no memory file for reading the catalogue";
    return false;
  }
  std::lock_guard<std::mutex> lock(g_poMutex);
  std::string errors;
  const std::string path = file.Name();
  std::jmp_buf fatal;
  t_errors = &errors;
  t_fatal = &fatal;
  po_file_t volatile po = nullptr;  // volatile: read after a jump
  // Nothing with a destructor is made between here and the jump.
  if (setjmp(fatal) == 0) po = po_file_read(path.c_str(), &kHandler);
  t_errors = nullptr;
  t_fatal = nullptr;
  if (!errors.empty() || !po) {
    if (po) po_file_free(po);
    error = name + ": " + (errors.empty() ? std::string("cannot be read") : errors);
    return false;
  }
  if (const char* header = po_file_domain_header(po, nullptr)) out.header = header;
  po_message_iterator_t it = po_message_iterator(po, nullptr);
  while (po_message_t m = po_next_message(it)) {
    const std::string msgid = Str(po_message_msgid(m));
    if (msgid.empty() && !po_message_msgctxt(m)) continue;  // the header
    CatalogEntry e;
    e.context = Str(po_message_msgctxt(m));
    e.msgid = msgid;
    e.msgstr = Str(po_message_msgid_plural(m) ? po_message_msgstr_plural(m, 0) : po_message_msgstr(m));
    e.fuzzy = po_message_is_fuzzy(m);
    e.obsolete = po_message_is_obsolete(m);
    e.cFormat = po_message_is_format(m, "c-format");
    e.extracted = Comment(po_message_extracted_comments(m));
    e.translator = Comment(po_message_comments(m));
    for (int i = 0;; ++i) {
      po_filepos_t pos = po_message_filepos(m, i);
      if (!pos) break;
      e.references.emplace_back(Str(po_filepos_file(pos)), po_filepos_start_line(pos));
    }
    e.previous = po_message_prev_msgid(m) != nullptr;
    e.previousContext = Str(po_message_prev_msgctxt(m));
    e.previousMsgid = Str(po_message_prev_msgid(m));
    out.entries.push_back(std::move(e));
  }
  po_message_iterator_free(it);
  po_file_free(po);
  return true;
}

bool FormatPo(const Catalog& catalog, std::string& bytes, std::string& error) {
  MemoryFile file;
  if (!file.Ok()) {
    error = "no memory file for writing the catalogue";
    return false;
  }
  std::lock_guard<std::mutex> lock(g_poMutex);
  po_file_t po = po_file_create();
  po_message_iterator_t it = po_message_iterator(po, nullptr);
  po_message_t header = po_message_create();
  po_message_set_msgid(header, "");
  po_message_set_msgstr(header, catalog.header.c_str());
  po_message_insert(it, header);
  for (const CatalogEntry& e : catalog.entries) {
    po_message_t m = po_message_create();
    if (!e.context.empty()) po_message_set_msgctxt(m, e.context.c_str());
    po_message_set_msgid(m, e.msgid.c_str());
    po_message_set_msgstr(m, e.msgstr.c_str());
    if (!e.extracted.empty()) po_message_set_extracted_comments(m, e.extracted.c_str());
    if (!e.translator.empty()) po_message_set_comments(m, e.translator.c_str());
    for (const auto& [path, line] : e.references) po_message_add_filepos(m, path.c_str(), line);
    if (e.previous) {
      if (!e.previousContext.empty()) po_message_set_prev_msgctxt(m, e.previousContext.c_str());
      po_message_set_prev_msgid(m, e.previousMsgid.c_str());
    }
    if (e.cFormat) po_message_set_format(m, "c-format", 1);
    po_message_set_fuzzy(m, e.fuzzy);
    po_message_set_obsolete(m, e.obsolete);
    po_message_insert(it, m);
  }
  po_message_iterator_free(it);
  std::string errors;
  const std::string path = file.Name();
  std::jmp_buf fatal;
  t_errors = &errors;
  t_fatal = &fatal;
  volatile bool written = false;
  if (setjmp(fatal) == 0) written = po_file_write(po, path.c_str(), &kHandler) != nullptr;
  t_errors = nullptr;
  t_fatal = nullptr;
  po_file_free(po);
  if (!written || !errors.empty()) {
    error = errors.empty() ? std::string("the catalogue could not be written") : errors;
    return false;
  }
  if (!file.ReadAll(bytes)) {
    error = "the written catalogue could not be read back";
    return false;
  }
  return true;
}

}  // namespace platform
