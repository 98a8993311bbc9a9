// The page keeps the browser's frame rate while a message types out: the
// engine draws in most animation frames instead of sleeping through several.
// (A wait that slept a millisecond at a time through the page's timers once
// held it to about 20 frames a second.) Prints the figures as one JSON line;
// fails under MIN_FPS (default 30) frames a second, or when the first message
// never types out.
// Usage: node frame_pace.cjs URL
"use strict";
const puppeteer = require("puppeteer-core");
const {typingFrames} = require("./typing_frames.cjs");

(async () => {
  const url = process.argv[2];
  const minimum = Number(process.env.MIN_FPS || 30);
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    headless: true,
    args: ["--no-sandbox", "--disable-dev-shm-usage", "--use-angle=swiftshader", "--enable-unsafe-swiftshader"],
  });
  const figures = await typingFrames(browser, url);
  await browser.close();
  console.log(JSON.stringify(figures));
  if (figures.typingFramesPerSecond < minimum) {
    console.error(`frame_pace: ${figures.typingFramesPerSecond} frames a second while typing, under ${minimum}`);
    process.exit(1);
  }
})().catch(e => { console.error("frame_pace: " + e.message); process.exit(1); });
