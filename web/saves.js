// Export and import of all saves as one zip file: everything below /saves
// (the three slots, the game menu's saves, the settings, the seen record
// and the key bindings, which live below /saves/home). The zip is written
// and read with fflate (fflate.js). An import replaces every save, after
// asking, is written through to IndexedDB and then reloads the page, so
// that the engine starts over with the imported files.
"use strict";
(function () {
  const ROOT = "/saves";

  // Every file below ROOT by its path relative to it.
  function files() {
    const found = {};
    const walk = (dir, prefix) => {
      for (const name of FS.readdir(dir)) {
        if (name === "." || name === "..") continue;
        const path = dir + "/" + name;
        const mode = FS.stat(path).mode;
        if (FS.isDir(mode)) walk(path, prefix + name + "/");
        else if (FS.isFile(mode)) found[prefix + name] = FS.readFile(path);
      }
    };
    walk(ROOT, "");
    return found;
  }

  function exportZip() {
    return fflate.zipSync(files(), {level: 6});
  }

  // The zip's files, each path checked: relative, without "." or ".."
  // parts, empty parts or backslashes; directories are left out (they are
  // made as the files need them). Throws with the reason otherwise.
  function readZip(bytes) {
    let entries;
    try {
      entries = fflate.unzipSync(bytes);
    } catch (e) {
      throw new Error("this is not a zip file that can be read (" + e.message + ")");
    }
    const out = {};
    for (const [name, data] of Object.entries(entries)) {
      if (name.endsWith("/") && data.length === 0) continue;
      const parts = name.split("/");
      if (name.includes("\\") || name.includes("\0") || parts.some(p => p === "" || p === "." || p === ".."))
        throw new Error("the zip file holds a path that is not one of a save: " + JSON.stringify(name));
      out[name] = data;
    }
    if (Object.keys(out).length === 0) throw new Error("the zip file holds no files");
    return out;
  }

  function syncToIndexedDB() {
    return new Promise((resolve, reject) =>
      FS.syncfs(false, error => error ? reject(new Error("writing to IndexedDB failed (errno " + error.errno + ")")) : resolve()));
  }

  // Replaces every file below ROOT with the zip's and waits until IndexedDB
  // holds them.
  async function importZip(bytes) {
    const incoming = readZip(bytes);
    const clear = dir => {
      for (const name of FS.readdir(dir)) {
        if (name === "." || name === "..") continue;
        const path = dir + "/" + name;
        if (FS.isDir(FS.stat(path).mode)) { clear(path); FS.rmdir(path); } else FS.unlink(path);
      }
    };
    clear(ROOT);
    for (const [name, data] of Object.entries(incoming)) {
      const slash = name.lastIndexOf("/");
      if (slash > 0) FS.mkdirTree(ROOT + "/" + name.substring(0, slash));
      FS.writeFile(ROOT + "/" + name, data);
    }
    await syncToIndexedDB();
    return Object.keys(incoming).length;
  }

  window.vantorelSaves = {files: files, exportZip: exportZip, importZip: importZip};

  const exportButton = document.getElementById("export-saves");
  const importButton = document.getElementById("import-saves");
  const chooser = document.getElementById("import-file");
  const say = text => { document.getElementById("status").textContent = text; };
  if (!exportButton || !importButton || !chooser) return;
  if (new URLSearchParams(location.search).has("headless")) {
    exportButton.hidden = importButton.hidden = true;
    return;
  }
  exportButton.addEventListener("click", () => {
    let zip;
    try { zip = exportZip(); } catch (e) { say("The saves could not be exported: " + e.message); return; }
    const link = document.createElement("a");
    link.href = URL.createObjectURL(new Blob([zip], {type: "application/zip"}));
    link.download = "vantorel-saves-" + new Date().toISOString().slice(0, 10) + ".zip";
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
    canvas.focus();
  });
  importButton.addEventListener("click", () => chooser.click());
  chooser.addEventListener("change", async () => {
    const file = chooser.files[0];
    chooser.value = "";
    if (!file) return;
    try {
      const bytes = new Uint8Array(await file.arrayBuffer());
      const count = Object.keys(readZip(bytes)).length;
      if (!confirm("Replace all saves, settings and key bindings in this browser with the " + count +
                   " files of " + file.name + "? The ones here now are lost.")) { canvas.focus(); return; }
      await importZip(bytes);
      say("Saves imported; the game starts again…");
      location.reload();
    } catch (e) {
      say("The saves were not imported: " + e.message);
      canvas.focus();
    }
  });
})();
