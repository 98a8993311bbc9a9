// Opens a page of scripts/web.sh in Chromium headless (puppeteer-core) and
// waits for the engine to end; writes every file the run left in /out
// (screenshots, trace) to OUTDIR and prints one JSON line: the exit status,
// the milliseconds from navigation to the runtime's start and to the end,
// and the bytes the page downloaded.
// Usage: node run_page.cjs URL OUTDIR [TIMEOUT_MS]
"use strict";
const fs = require("fs");
const path = require("path");
const puppeteer = require("puppeteer-core");

(async () => {
  const [url, outDir, timeoutArg] = process.argv.slice(2);
  const timeout = Number(timeoutArg || 120000);
  fs.mkdirSync(outDir, {recursive: true});
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    headless: true,
    args: ["--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--autoplay-policy=no-user-gesture-required"],
  });
  let status = 1;
  const log = [];
  process.on("exit", () => fs.writeFileSync(path.join(outDir, "console.txt"), log.join("\n") + "\n"));
  try {
    const page = await browser.newPage();
    await page.setViewport({width: 800, height: 600});
    page.on("console", m => log.push(m.type() + ": " + m.text()));
    page.on("pageerror", e => log.push("pageerror: " + (e.stack || e.message)));
    let downloaded = 0;
    const cdp = await page.createCDPSession();
    await cdp.send("Network.enable");
    await cdp.send("Network.setCacheDisabled", {cacheDisabled: true});
    cdp.on("Network.loadingFinished", e => { downloaded += e.encodedDataLength; });
    const start = Date.now();
    await page.goto(url, {waitUntil: "load"});
    await page.waitForFunction("window.vantorelDone !== undefined", {timeout: timeout, polling: 100});
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
    status = result.status;
    console.log(JSON.stringify({status: result.status, endedMs: ended, downloadedBytes: downloaded, files: Object.keys(result.files)}));
  } catch (e) {
    console.error("run_page: " + e.message);
    status = 1;
  } finally {
    await browser.close();
  }
  process.exit(status === 0 ? 0 : 1);
})();
