// Figures of a page made by scripts/web.sh, in Chromium headless, served
// from 127.0.0.1 by a small server of our own that sends every file gzipped
// (as a compressing web server would; compressed once at start-up):
//  - page load to the title's first frame, cold: a fresh browser context
//    each run (nothing cached, empty IndexedDB), ?stamp
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

function serve(root) {
  const cache = new Map();
  const server = http.createServer((req, res) => {
    const rel = decodeURIComponent(new URL(req.url, "http://x").pathname);
    const file = path.join(root, path.normalize(rel).replace(/^(\.\.[/\\])+/, ""));
    if (!file.startsWith(root) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404); res.end(); return;
    }
    if (!cache.has(file)) cache.set(file, zlib.gzipSync(fs.readFileSync(file), {level: 9}));
    res.writeHead(200, {"Content-Type": types[path.extname(file)] || "application/octet-stream",
      "Content-Encoding": "gzip", "Cache-Control": "no-store"});
    res.end(cache.get(file));
  });
  return new Promise(resolve => server.listen(0, "127.0.0.1", () => resolve(server)));
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
  const result = {firstFrameMs: [], bytesToFirstFrame: null, bytesWholeGame: null};
  for (let run = 0; run < runs; run++) {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.setViewport({width: 800, height: 640});
    // The bytes are counted in the first run only: the browser's network
    // instrumentation adds work to the page it watches, which a player's
    // browser does not do. Every run is cold anyway: a fresh context has an
    // empty cache, and the server says no-store.
    let bytes = 0;
    if (run === 0) {
      const cdp = await page.createCDPSession();
      await cdp.send("Network.enable");
      await cdp.send("Network.setCacheDisabled", {cacheDisabled: true});
      cdp.on("Network.loadingFinished", e => { bytes += e.encodedDataLength; });
    }
    await page.goto(base + "?stamp", {waitUntil: "domcontentloaded"});
    await page.waitForFunction("window.vantorelFirstFrameMs !== undefined", {timeout: 60000, polling: 20});
    result.firstFrameMs.push(Math.round(await page.evaluate("window.vantorelFirstFrameMs")));
    if (run === 0) {
      result.bytesToFirstFrame = bytes;
      // Everything the page fetches in the background.
      await page.waitForFunction(() => { const b = document.getElementById("progress"); return b && b.hidden; },
        {timeout: 120000, polling: 200});
      await page.waitForNetworkIdle({idleTime: 1000, timeout: 120000});
      result.bytesWholeGame = bytes;
    }
    await context.close();
  }
  result.firstFrameMsMedian = stats(result.firstFrameMs).median;
  Object.assign(result, await typingFrames(browser, base));
  console.log(JSON.stringify(result));
  await browser.close();
  server.close();
})().catch(e => { console.error("measure: " + e.message); process.exit(1); });
