// vantorel-makeart: draws the demo game's pictures.
//   vantorel-makeart --list
//   vantorel-makeart NAME OUTFILE [--dxt1|--dxt5]
// The format follows the extension: .dds (32-bit ARGB unless a DXT option is
// given) or .tga (32-bit with alpha).
#include <cstdio>
#include <cstring>
#include <string>

#include "Catalog.h"
#include "PictureFiles.h"
#include "platform/Files.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: vantorel-makeart --list | NAME OUTFILE [--dxt1|--dxt5]\n");
  return 2;
}

bool EndsWith(const std::string& s, const char* tail) {
  size_t n = std::strlen(tail);
  return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace makeart;
  if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
    for (const PictureEntry& e : Catalog()) std::printf("%-20s %s\n", e.name.c_str(), e.description.c_str());
    return 0;
  }
  if (argc < 3 || argc > 4) return Usage();
  std::string name = argv[1], out = argv[2];
  DdsKind kind = DdsKind::Argb8888;
  if (argc == 4) {
    if (std::strcmp(argv[3], "--dxt1") == 0) kind = DdsKind::Dxt1;
    else if (std::strcmp(argv[3], "--dxt5") == 0) kind = DdsKind::Dxt5;
    else return Usage();
  }
  const PictureEntry* entry = nullptr;
  for (const PictureEntry& e : Catalog())
    if (e.name == name) entry = &e;
  if (!entry) {
    std::fprintf(stderr, "vantorel-makeart: no picture named '%s' (see --list)\n", name.c_str());
    return 2;
  }
  std::string bytes;
  if (EndsWith(out, ".dds") || EndsWith(out, ".DDS")) bytes = EncodeDds(entry->draw(), kind);
  else if (EndsWith(out, ".tga") || EndsWith(out, ".TGA")) bytes = EncodeTga(entry->draw());
  else {
    std::fprintf(stderr, "vantorel-makeart: %s: only .dds and .tga are written\n", out.c_str());
    return 2;
  }
  size_t slash = out.find_last_of('/');
  if (slash != std::string::npos && !platform::MakeHostDirs(out.substr(0, slash))) {
    std::fprintf(stderr, "vantorel-makeart: cannot create the directory of %s\n", out.c_str());
    return 1;
  }
  if (!platform::WriteHostFileAtomic(out, bytes)) {
    std::fprintf(stderr, "vantorel-makeart: cannot write %s\n", out.c_str());
    return 1;
  }
  return 0;
}
