#pragma once
// Start-up work that would otherwise stand on the main thread before the
// first frame, done on two workers while the main thread sets up the
// display and makes the window (about 20 ms under X, mostly waiting for the
// server): fontconfig and the fonts the menu bar and the first message are
// drawn with, the sound libraries, and the pictures of the first frame
// (the message window's own and those the opening script puts up before it
// first waits). Every result is what the main thread would have made
// itself; whatever the workers have not reached by then the main thread
// still does as before.
#include <string>
#include <thread>
#include <vector>

#include "script/WordList.h"

class StartupWork {
 public:
  // `window`: a real window and sound device follow (not headless).
  explicit StartupWork(bool window);
  ~StartupWork();  // waits for the workers
  StartupWork(const StartupWork&) = delete;
  StartupWork& operator=(const StartupWork&) = delete;

 private:
  std::thread pictures_;
  std::thread fontsAndSound_;
};

// The picture files (as scripts name them, below the texture directory)
// that an opening with these words loads before it first waits: the
// pictures its BG, Left, Right, Center, WideCenter and TexLoad commands put
// up through the aliases its Texture commands define, the first speaker's
// picture and the buttons of a button menu. The walk stops at the first
// message, fade, menu or jump. A guess: a picture it misses is loaded as
// before, one it names needlessly costs a decode on the worker.
std::vector<std::string> OpeningPictures(const WordList& words);
