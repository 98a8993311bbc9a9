// vantorel-makesound: makes the demo game's sound.
//   vantorel-makesound --list
//   vantorel-makesound NAME OUTFILE
// Effects are written as 16-bit mono PCM .wav at 44.1 kHz, music as a
// Standard MIDI File (type 1, General MIDI instruments).
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "Sounds.h"
#include "platform/files/Files.h"

int main(int argc, char** argv) {
  using namespace makesound;
  if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
    for (const SoundEntry& e : Catalog()) std::printf("%-14s %s\n", e.name.c_str(), e.description.c_str());
    return 0;
  }
  if (argc != 3) {
    std::fprintf(stderr, "usage: vantorel-makesound --list | NAME OUTFILE.{wav,mid}\n");
    return 2;
  }
  std::string name = argv[1], out = argv[2];
  const SoundEntry* entry = nullptr;
  for (const SoundEntry& e : Catalog())
    if (e.name == name) entry = &e;
  if (!entry) {
    std::fprintf(stderr, "vantorel-makesound: no sound named '%s' (see --list)\n", name.c_str());
    return 2;
  }
  std::string extension = out.size() >= 4 ? out.substr(out.size() - 4) : "";
  if ((entry->effect && extension != ".wav") || (entry->music && extension != ".mid")) {
    std::fprintf(stderr, "vantorel-makesound: '%s' is written as %s\n", name.c_str(), entry->effect ? ".wav" : ".mid");
    return 2;
  }
  std::string bytes;
  try {
    bytes = entry->effect ? EncodeWav(entry->effect()) : EncodeSmf(entry->music());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vantorel-makesound: %s: %s\n", name.c_str(), e.what());
    return 1;
  }
  size_t slash = out.find_last_of('/');
  if (slash != std::string::npos && !platform::MakeHostDirs(out.substr(0, slash))) {
    std::fprintf(stderr, "vantorel-makesound: cannot create the directory of %s\n", out.c_str());
    return 1;
  }
  if (!platform::WriteHostFileAtomic(out, bytes)) {
    std::fprintf(stderr, "vantorel-makesound: cannot write %s\n", out.c_str());
    return 1;
  }
  return 0;
}
