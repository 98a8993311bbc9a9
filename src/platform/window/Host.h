#pragma once
// What the host the engine runs in allows: a desktop process, or a browser
// page (the WebAssembly build), whose one thread must be handed back to the
// browser now and then for it to show the presented frame and deliver input.
namespace platform {

// Whether worker threads can be started (not in a page: the browser build
// has none without cross-origin isolation).
bool WorkerThreads();

// Hands the thread to the browser until its next frame (the frame loop
// calls it when a pass leaves no time to wait); nothing on a desktop,
// where presenting shows the frame.
void LetHostRun();

// A page may hold a game's larger files (pictures, sounds) by name only
// until they are first read, so that the first frame need not wait for
// them: fetches hostPath now when it is one of those (nothing on a desktop,
// but for noting it where VANTOREL_READ_LOG says).
void FetchDeferredFile(const char* hostPath);

// main's return value. In a page the runtime does not see main return once
// it has waited (its stack was rewound from the browser's callback), so the
// program is ended here, with the status, as exit() would.
int EndProgram(int status);

}  // namespace platform
