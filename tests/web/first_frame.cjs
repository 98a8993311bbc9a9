// Page load to the game's first frame, cold cache: opens the page (no
// query but ?stamp) in Chromium headless, with the HTTP cache disabled, and
// prints one JSON line: milliseconds from navigation start to the engine's
// first present, and the bytes the page downloaded.
// Usage: node first_frame.cjs URL [RUNS]
"use strict";
const puppeteer = require("puppeteer-core");

(async () => {
  const [url, runsArg] = process.argv.slice(2);
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    headless: true,
    args: ["--no-sandbox", "--disable-dev-shm-usage", "--use-angle=swiftshader", "--enable-unsafe-swiftshader"],
  });
  const times = [];
  let downloaded = 0;
  for (let run = 0; run < Number(runsArg || 1); run++) {
    const context = await browser.createBrowserContext();  // fresh storage, nothing cached
    const page = await context.newPage();
    await page.setViewport({width: 800, height: 600});
    const cdp = await page.createCDPSession();
    await cdp.send("Network.enable");
    await cdp.send("Network.setCacheDisabled", {cacheDisabled: true});
    downloaded = 0;
    cdp.on("Network.loadingFinished", e => { downloaded += e.encodedDataLength; });
    await page.goto(url, {waitUntil: "domcontentloaded"});
    await page.waitForFunction("window.vantorelFirstFrameMs !== undefined", {timeout: 60000, polling: 50});
    times.push(Math.round(await page.evaluate("window.vantorelFirstFrameMs")));
    await context.close();
  }
  console.log(JSON.stringify({firstFrameMs: times, downloadedBytes: downloaded}));
  await browser.close();
})().catch(e => { console.error("first_frame: " + e.message); process.exit(1); });
