// Figures of a page made by scripts/web.sh, in Chromium headless, served
// from 127.0.0.1 by a small server of our own that sends every file gzipped
// (as a compressing web server would; compressed once at start-up):
//  - page load to the title's first frame, cold: a fresh browser context
//    each run (nothing cached, empty IndexedDB), ?stamp
//  - the bytes downloaded until then, and after every file the page fetches
//    in the background has arrived (the whole game), compressed
//  - frame time while a message types out: the game started with Enter on
//    the title, then for 4 s the time the engine works between the
//    browser's animation frames, and the intervals between those frames.
// Prints one JSON object. Usage: node measure.cjs PAGE_DIR [RUNS]
"use strict";
const fs = require("fs");
const http = require("http");
const path = require("path");
const zlib = require("zlib");
const puppeteer = require("puppeteer-core");

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

function stats(values) {
  const v = [...values].sort((a, b) => a - b);
  const at = q => v.length ? v[Math.min(v.length - 1, Math.floor(q * v.length))] : null;
  const round = x => x === null ? null : Math.round(x * 100) / 100;
  return {n: v.length, median: round(at(0.5)), p95: round(at(0.95)), max: round(v[v.length - 1] ?? null)};
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
    const cdp = await page.createCDPSession();
    await cdp.send("Network.enable");
    await cdp.send("Network.setCacheDisabled", {cacheDisabled: true});
    let bytes = 0;
    cdp.on("Network.loadingFinished", e => { bytes += e.encodedDataLength; });
    // The engine's work between animation frames: from a frame callback's
    // start to the next callback asked for (the engine asks one a frame).
    await page.evaluateOnNewDocument(() => {
      window.engineMs = []; window.frameGapMs = [];
      let entered = null, last = null;
      const raf = window.requestAnimationFrame.bind(window);
      window.requestAnimationFrame = cb => raf(t => {
        if (last !== null) window.frameGapMs.push(t - last);
        last = t;
        entered = performance.now();
        cb(t);
      });
      const asked = window.requestAnimationFrame;
      window.requestAnimationFrame = cb => {
        if (entered !== null) { window.engineMs.push(performance.now() - entered); entered = null; }
        return asked(cb);
      };
    });
    await page.goto(base + "?stamp", {waitUntil: "domcontentloaded"});
    await page.waitForFunction("window.vantorelFirstFrameMs !== undefined", {timeout: 60000, polling: 20});
    result.firstFrameMs.push(Math.round(await page.evaluate("window.vantorelFirstFrameMs")));
    if (run === 0) {
      result.bytesToFirstFrame = bytes;
      // The title's buttons, then Enter: the first message types out.
      await new Promise(r => setTimeout(r, 4000));
      await page.focus("#canvas");
      await page.keyboard.press("Enter");
      await new Promise(r => setTimeout(r, 1500));
      await page.evaluate(() => { window.engineMs.length = 0; window.frameGapMs.length = 0; });
      await new Promise(r => setTimeout(r, 4000));
      const typing = await page.evaluate(() => ({engine: window.engineMs.slice(), gaps: window.frameGapMs.slice()}));
      result.typingEngineMsPerFrame = stats(typing.engine);
      result.typingFrameIntervalMs = stats(typing.gaps);
      await page.screenshot({path: path.join(process.env.MEASURE_SHOTS || "/tmp", "measure-typing.png")});
      // Everything the page fetches in the background.
      await page.waitForFunction(() => { const b = document.getElementById("progress"); return b && b.hidden; },
        {timeout: 120000, polling: 200});
      await new Promise(r => setTimeout(r, 500));
      result.bytesWholeGame = bytes;
    }
    await context.close();
  }
  result.firstFrameMsMedian = stats(result.firstFrameMs).median;
  console.log(JSON.stringify(result));
  await browser.close();
  server.close();
})().catch(e => { console.error("measure: " + e.message); process.exit(1); });
