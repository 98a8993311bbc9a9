// vantorel-makeart: draws the demo game's pictures.
//   vantorel-makeart --list
//   vantorel-makeart NAME OUTFILE [--dxt1|--dxt5]
// The format follows the extension: .dds (32-bit ARGB unless a DXT option is
// given), .tga (32-bit with alpha), .png (with alpha) or .jpg (no alpha).
#include <cstdio>
#include <cctype>
#include <cstring>
#include <string>

#include "Catalog.h"
#include "PictureFiles.h"
#include "platform/files/Files.h"
#include "platform/files/ImageDecoder.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: vantorel-makeart --list | NAME OUTFILE.{dds,tga,png,jpg} [--dxt1|--dxt5]\n");
  return 2;
}

bool EndsWith(const std::string& s, const char* tail) {
  size_t n = std::strlen(tail);
  if (s.size() < n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(s[s.size() - n + i])) != tail[i]) return false;
  return true;
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
  platform::ImageType common = EndsWith(out, ".png")                             ? platform::ImageType::Png
                               : EndsWith(out, ".jpg") || EndsWith(out, ".jpeg") ? platform::ImageType::Jpeg
                                                                                 : platform::ImageType::Unknown;
  if (!EndsWith(out, ".dds") && !EndsWith(out, ".tga") && common == platform::ImageType::Unknown) {
    std::fprintf(stderr, "vantorel-makeart: %s: only .dds, .tga, .png and .jpg are written\n", out.c_str());
    return 2;
  }
  if (kind != DdsKind::Argb8888 && !EndsWith(out, ".dds")) return Usage();
  std::string bytes;
  if (!EncodePictureFile(entry->draw(), out, kind, bytes)) {
    std::fprintf(stderr, "vantorel-makeart: %s: the picture could not be encoded\n", out.c_str());
    return 1;
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
