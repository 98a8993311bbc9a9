#pragma once
// Reload on save (--watch): watches the open script's file and the picture
// files the texture registry holds, and when one has been saved reads it
// again into the running game: the script at the message on screen (through
// CMsgBox), the picture into the sprites that show it (through CPolygon).
// Each reload, or a file that no longer reads, is one line on stderr and a
// "reload" trace event.
#include <cstdint>
#include <string>
#include <vector>

#include "app/FileWatcher.h"
#include "app/RunOptions.h"

class CMsgBox;
class CTextFile;

class Reloader {
 public:
  Reloader(CMsgBox& box, const CTextFile& textFile) : box_(box), textFile_(textFile) {}
  // Polls when a poll is due at `nowMs` and reloads what has changed.
  void Step(uint32_t nowMs);
  // Seconds from `now` until the next poll (framework/DueTime.h).
  double SecondsUntilDue(double now) const { return watcher_.SecondsUntilDue(now); }

 private:
  struct Watched {
    std::string hostPath;
    std::string name;  // CP932: the script below the text directory, or the texture name
    bool script;
  };
  std::vector<Watched> WatchedFiles() const;
  void ReloadScript(const std::string& name);
  static void ReloadPicture(const std::string& name);

  CMsgBox& box_;
  const CTextFile& textFile_;
  FileWatcher watcher_;
  // A script saved while a menu or fade held it, reloaded once that ends.
  std::string heldScript_;
};

// --rewrite-at: applies the rewrites due at `pass` and removes them from the list; false
// when one could not be made (named on stderr).
bool ApplyDueRewrites(std::vector<FileRewrite>& rewrites, uint64_t pass);
