// Figures of a page made by scripts/web.sh, in Chromium headless, served
// from 127.0.0.1 by a small server of our own that sends every file gzipped
// (as a compressing web server would; compressed once, before the first run):
//  - page load to the title's first frame, cold, ?stamp: in a browser just
//    started (its first window and tab), then RUNS times in a new tab of
//    that window, as a player opens a link in a browser already open. Each
//    run has a fresh renderer (the tab before it is closed first), an empty
//    HTTP cache and no storage for the page's origin (both cleared), and the
//    server says no-store. (A new browser context per run would open a new
//    window each time, and Chromium makes that window's own web UI, the
//    address bar's popup, in a renderer of its own during the page's load:
//    0.5-1.8 s of processor time on a 2-core machine, none of it the page's.)
//  - the bytes downloaded until then, and after every file the page fetches
//    in the background has arrived (the whole game), compressed
//  - frame time while the first message types out (typing_frames.cjs).
// Prints one JSON object. Usage: node measure.cjs PAGE_DIR [RUNS]
"use strict";
const fs = require("fs");
const http = require("http");
const path = require("path");
const zlib = require("zlib");
const puppeteer = require("puppeteer-core");
const {stats, typingFrames} = require("./typing_frames.cjs");

const types = {".html": "text/html; charset=utf-8", ".js": "text/javascript", ".wasm": "application/wasm",
  ".json": "application/json", ".png": "image/png"};

// Every file below root, gzipped, by its path.
function gzipAll(root) {
  const cache = new Map();
  const walk = dir => {
    for (const entry of fs.readdirSync(dir, {withFileTypes: true})) {
      const file = path.join(dir, entry.name);
      if (entry.isDirectory()) walk(file);
      else if (entry.isFile()) cache.set(file, zlib.gzipSync(fs.readFileSync(file), {level: 9}));
    }
  };
  walk(root);
  return cache;
}

function serve(root) {
  const cache = gzipAll(root);
  const server = http.createServer((req, res) => {
    const rel = decodeURIComponent(new URL(req.url, "http://x").pathname);
    const file = path.join(root, path.normalize(rel).replace(/^(\.\.[/\\])+/, ""));
    if (!cache.has(file)) { res.writeHead(404); res.end(); return; }
    res.writeHead(200, {"Content-Type": types[path.extname(file)] || "application/octet-stream",
      "Content-Encoding": "gzip", "Cache-Control": "no-store"});
    res.end(cache.get(file));
  });
  return new Promise(resolve => server.listen(0, "127.0.0.1", () => resolve(server)));
}


// In the page: the bytes of the page and of every file that had arrived by
// `until` (ms since navigation start).
function bytesArrived(until) {
  return performance.getEntriesByType("navigation").concat(performance.getEntriesByType("resource"))
    .filter(e => e.responseEnd <= until).reduce((sum, e) => sum + e.transferSize, 0);
}

(async () => {
  const root = path.resolve(process.argv[2]);
  const runs = Number(process.argv[3] || 5);
  const server = await serve(root);
  const base = `http://127.0.0.1:${server.address().port}/index.html`;
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    headless: true,
    args: ["--no-sandbox", "--disable-dev-shm-usage", "--use-angle=swiftshader", "--enable-unsafe-swiftshader"],
  });
  const result = {firstFrameMsNewBrowser: null, firstFrameMs: [], bytesToFirstFrame: null, bytesWholeGame: null};
  const context = await browser.createBrowserContext();
  const origin = new URL(base).origin;
  // A blank tab keeps the window while each run's tab closes: its renderer
  // ends with it, and nothing the page stored or cached stays.
  const cdp = await (await context.newPage()).createCDPSession();
  let previous = null;
  for (let run = 0; run <= runs; run++) {
    if (previous) await previous.close();
    await cdp.send("Network.clearBrowserCache");
    await cdp.send("Storage.clearDataForOrigin", {origin, storageTypes: "all"});
    await new Promise(resolve => setTimeout(resolve, 1500));  // the machine quiet again
    const page = await context.newPage();
    previous = page;
    await page.setViewport({width: 800, height: 640});
    await page.goto(base + "?stamp", {waitUntil: "domcontentloaded"});
    await page.waitForFunction("window.vantorelFirstFrameMs !== undefined", {timeout: 60000, polling: 20});
    const ms = Math.round(await page.evaluate("window.vantorelFirstFrameMs"));
    if (run === 0) {
      result.firstFrameMsNewBrowser = ms;
      // The bytes as the page's resource timing gives them (headers and
      // compressed bodies), of what had arrived by the first frame and then
      // of everything the page fetches in the background.
      result.bytesToFirstFrame = await page.evaluate(bytesArrived, ms);
      await page.waitForFunction(() => { const b = document.getElementById("progress"); return b && b.hidden; },
        {timeout: 120000, polling: 200});
      await page.waitForNetworkIdle({idleTime: 1000, timeout: 120000});
      result.bytesWholeGame = await page.evaluate(bytesArrived, Infinity);
    } else {
      result.firstFrameMs.push(ms);
    }
  }
  await context.close();
  result.firstFrameMsMedian = stats(result.firstFrameMs).median;
  Object.assign(result, await typingFrames(browser, base));
  console.log(JSON.stringify(result));
  await browser.close();
  server.close();
})().catch(e => { console.error("measure: " + e.message); process.exit(1); });
