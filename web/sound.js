// The page's sound (loaded after the page's own script, before the engine).
// Music: the engine calls FluidSynth's functions as on Linux; in the page
// they are those of FluidSynth's WebAssembly build (fluidsynth.js, a module
// of its own: VantorelFluid), given to the engine as Module.fluid once it
// is ready. Effects and music then play through SDL's browser audio (one
// Web Audio context), which the browser lets start only with the player's
// first click or key: SDL resumes it then; the line below says so until
// then. The engine starts once FluidSynth's module is in (it compiles
// while the engine's own code downloads); without it the music is silent
// and the engine says why.
//
// The General MIDI soundfont (5.6 MB compressed, the page's largest file)
// is fetched only once the engine's first frame is painted, and not waited
// for: the engine's file system holds only its header where
// the engine looks for it on Linux, and its bytes go straight into
// FluidSynth's module when they arrive (Module.soundFonts, read by
// platform/web/FluidWeb.cpp). Music asked for before then plays on
// silently and sounds from its next notes once the soundfont is in.
"use strict";
(function () {
  const SOUNDFONT = "TimGM6mb.sf2", SOUNDFONT_DIR = "/usr/share/sounds/sf2";
  // Fetched once the engine's first frame is painted: no music sounds
  // before the player's first click or key anyway, and its megabytes would
  // otherwise arrive, and be inflated, while the engine's code compiles.
  const firstFrame = new Promise(resolve => {
    if (Array.isArray(Module.afterFirstFrame)) Module.afterFirstFrame.push(resolve); else resolve();
  });
  const bytes = firstFrame.then(() => fetch(SOUNDFONT))
    .then(r => r.ok ? r.arrayBuffer() : Promise.reject(new Error("HTTP " + r.status)))
    .then(b => new Uint8Array(b), error => {
      console.warn("the soundfont " + SOUNDFONT + " did not load (" + error.message + "): the music is silent");
      return null;
    });
  // By the engine's path: the bytes once in, until then their promise.
  const path = SOUNDFONT_DIR + "/" + SOUNDFONT;
  Module.soundFonts = {};
  Module.soundFonts[path] = bytes;
  bytes.then(b => { Module.soundFonts[path] = b; });

  Module.preRun.push(function () {
    const fluid = typeof VantorelFluid === "object" ? VantorelFluid : null;
    addRunDependency("fluidsynth");
    let settled = false;
    const settle = ok => {
      if (settled) return;
      settled = true;
      if (ok) Module.fluid = fluid; else console.warn("FluidSynth did not start: the music is silent");
      removeRunDependency("fluidsynth");
    };
    if (!fluid) settle(false);
    else if (fluid.calledRun) settle(true);
    else { fluid.onRuntimeInitialized = () => settle(true); fluid.onAbort = () => settle(false); }

    // What the engine reads to choose the soundfont: a SoundFont 2 file's
    // RIFF header ("RIFF", the length, "sfbk").
    FS.mkdirTree(SOUNDFONT_DIR);
    FS.writeFile(path, new Uint8Array([0x52, 0x49, 0x46, 0x46, 0, 0, 0, 0, 0x73, 0x66, 0x62, 0x6b]));
  });

  // The line about the sound, while the browser holds the sound back: until
  // the first click, key or touch, or until the audio runs anyway (where
  // the browser allows sound without one). A headless run plays nothing.
  const line = document.getElementById("sound");
  if (!line) return;
  if (new URLSearchParams(location.search).has("headless")) { line.hidden = true; return; }
  line.textContent = "Sound starts with your first click or key.";
  const events = ["keydown", "mousedown", "touchstart"];
  const started = () => {
    // Hidden in place: the buttons beside it must not move under the
    // pointer between the press and the release of this very click.
    line.style.visibility = "hidden";
    for (const type of events) document.removeEventListener(type, started, true);
    // SDL resumes its context on these too; this covers a context made
    // before the engine listened.
    const context = Module.SDL2 && Module.SDL2.audioContext;
    if (context && context.state === "suspended") context.resume();
  };
  for (const type of events) document.addEventListener(type, started, true);
  // SDL makes its audio context while the engine starts.
  const watch = setInterval(() => {
    const context = Module.SDL2 && Module.SDL2.audioContext;
    if (!context) return;
    clearInterval(watch);
    const follow = () => { if (context.state === "running") started(); };
    context.addEventListener("statechange", follow);
    follow();
  }, 250);
})();
