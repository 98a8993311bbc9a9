// Opens a page of scripts/web.sh in Chromium headless (puppeteer-core) and
// waits for the engine to end; writes every file the run left in /out
// (screenshots, trace) to OUTDIR and prints one JSON line: the exit status,
// the milliseconds from navigation to the runtime's start and to the end,
// and the bytes the page downloaded.
// Usage: node run_page.cjs URL OUTDIR [TIMEOUT_MS] [URL OUTDIR]...
// Further URL/OUTDIR pairs are opened one after the other in the same tab
// (the same browser profile: what the first run kept in IndexedDB, the
// next finds, as after a reload).
"use strict";
const fs = require("fs");
const path = require("path");
const puppeteer = require("puppeteer-core");

(async () => {
  const argv = process.argv.slice(2);
  const timeout = Number(argv[2] || 120000);
  const runs = [[argv[0], argv[1]]];
  for (let i = 3; i + 1 < argv.length; i += 2) runs.push([argv[i], argv[i + 1]]);
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    headless: true,
    args: ["--no-sandbox", "--disable-dev-shm-usage", "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--autoplay-policy=no-user-gesture-required"],
  });
  let failed = false;
  try {
    const page = await browser.newPage();
    // VANTOREL_PAGE_CLOCK: the page's wall clock starts at that time (as
    // faketime starts the native build's), so that save times agree.
    if (process.env.VANTOREL_PAGE_CLOCK) {
      await page.evaluateOnNewDocument(start => {
        const Real = Date, shift = Real.parse(start) - Real.now();
        class Shifted extends Real {
          constructor(...a) { if (a.length) super(...a); else super(Real.now() + shift); }
          static now() { return Real.now() + shift; }
        }
        window.Date = Shifted;
      }, process.env.VANTOREL_PAGE_CLOCK);
    }
    await page.setViewport({width: 800, height: 600});
    let log = [];
    page.on("console", m => log.push(m.type() + ": " + m.text()));
    page.on("pageerror", e => log.push("pageerror: " + (e.stack || e.message)));
    let downloaded = 0;
    const cdp = await page.createCDPSession();
    await cdp.send("Network.enable");
    await cdp.send("Network.setCacheDisabled", {cacheDisabled: true});
    cdp.on("Network.loadingFinished", e => { downloaded += e.encodedDataLength; });
    for (const [url, outDir] of runs) {
      fs.mkdirSync(outDir, {recursive: true});
      log = [];
      downloaded = 0;
      const start = Date.now();
      try {
        await page.goto(url, {waitUntil: "domcontentloaded"});
        await page.waitForFunction("window.vantorelDone !== undefined", {timeout: timeout, polling: 100});
      } catch (e) {
        fs.writeFileSync(path.join(outDir, "console.txt"), log.join("\n") + "\n");
        throw e;
      }
      const ended = Date.now() - start;
      const result = await page.evaluate(() => {
        const files = {};
        for (const [name, bytes] of Object.entries(window.vantorelDone.files)) {
          let s = "";
          for (let i = 0; i < bytes.length; i += 0x8000) s += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
          files[name] = btoa(s);
        }
        return {status: window.vantorelDone.status, files: files};
      });
      for (const [name, b64] of Object.entries(result.files)) fs.writeFileSync(path.join(outDir, name), Buffer.from(b64, "base64"));
      fs.writeFileSync(path.join(outDir, "console.txt"), log.join("\n") + "\n");
      console.log(JSON.stringify({status: result.status, endedMs: ended, downloadedBytes: downloaded, files: Object.keys(result.files)}));
      if (result.status !== 0) failed = true;
    }
  } catch (e) {
    console.error("run_page: " + e.message);
    failed = true;
  } finally {
    await browser.close();
  }
  process.exit(failed ? 1 : 0);
})();
