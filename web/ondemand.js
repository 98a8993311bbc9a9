// The game's files the page holds by name only (scripts/web.sh writes
// vantorelDeferred, [path, size] pairs, above this): each is an empty file
// in the engine's file system until the engine first reads it
// (platform::FetchDeferredFile awaits Module.fetchDeferred), then its bytes
// from files/PATH. Those the game's first frames read (vantorelFirstReads,
// from a headless run of the native engine) are downloaded from the page's
// start, all at once, so the engine does not wait for each in turn. The
// rest arrive in the background once the game runs, one at a time, with
// the page's progress bar.
"use strict";
(function () {
  const pending = new Map();  // absolute path -> {size, promise}
  for (const [path, size] of vantorelDeferred) pending.set(path, {size: size, promise: null});
  if (!pending.size) return;
  const total = pending.size;
  let arrived = 0;

  // The engine reads below its game directory with relative paths.
  function absolute(path) {
    if (!path.startsWith("/")) path = FS.cwd() + "/" + path;
    const parts = [];
    for (const part of path.split("/")) {
      if (part === "" || part === ".") continue;
      if (part === "..") parts.pop(); else parts.push(part);
    }
    return "/" + parts.join("/");
  }
  function url(path) {
    return "files" + path.split("/").map(encodeURIComponent).join("/");
  }
  // The bytes of a file, downloaded once (one retry): null when they do
  // not come, and the engine reports the empty file as it would a broken one.
  const downloads = new Map();
  function download(path) {
    if (!downloads.has(path)) {
      const once = () => fetch(url(path)).then(r => {
        if (!r.ok) throw new Error("HTTP " + r.status);
        return r.arrayBuffer();
      });
      downloads.set(path, once().catch(once).then(bytes => new Uint8Array(bytes), error => {
        console.error("could not fetch " + url(path) + ": " + error.message);
        return null;
      }));
    }
    return downloads.get(path);
  }
  // Into the engine's files (from its preRun on, when they exist).
  function fetchFile(path) {
    const entry = pending.get(path);
    if (!entry) return Promise.resolve();
    if (!entry.promise) {
      entry.promise = download(path).then(bytes => {
        if (bytes) FS.writeFile(path, bytes);
        pending.delete(path);
        arrived++;
        showProgress();
      });
    }
    return entry.promise;
  }
  for (const path of (typeof vantorelFirstReads === "object" ? vantorelFirstReads : []))
    if (pending.has(path)) download(path);
  Module.isDeferred = path => pending.has(absolute(path));
  Module.fetchDeferred = path => fetchFile(absolute(path));

  const bar = document.getElementById("progress");
  function showProgress() {
    if (!bar || !backgroundStarted) return;
    bar.value = arrived / total;
    bar.title = "The game's pictures and sounds: " + arrived + " of " + total;
    bar.hidden = arrived >= total;
  }
  // After the first frames, so that the title's own files go first.
  let backgroundStarted = false;
  async function background() {
    backgroundStarted = true;
    showProgress();
    for (const path of Array.from(pending.keys())) await fetchFile(path);
  }

  Module.preRun = Module.preRun || [];
  Module.preRun.push(function () {
    for (const [path] of pending) {
      FS.mkdirTree(path.substring(0, path.lastIndexOf("/")));
      FS.writeFile(path, new Uint8Array(0));
    }
  });
  Module.postRun = Module.postRun || [];
  Module.postRun.push(() => setTimeout(background, 1500));
})();
