// Plays the page in Chromium headless as a player would and records what
// the page sends to its speakers: a tap on SDL's Web Audio node (the one
// every sound of the engine passes) sums each block's squares and peak.
// Steps: the title comes up (the page says sound starts with the first
// click or key, and the audio context waits); a click beside the game
// starts it (the title's music from its beginning, and its sparkle); after
// a while Enter starts the story, whose corridor rings the school bell over
// the music. Chromium driven by puppeteer lets audio start unasked, even
// with --autoplay-policy=user-gesture-required; so, as a browser that holds
// audio back until a gesture does, every audio context the page makes is
// suspended at once (HOLD=0 in the environment: not).
// Usage: node sound_check.cjs URL OUTDIR [TIMELINE]
// Writes OUTDIR/levels.json (every block) and prints a JSON summary.
"use strict";
const fs = require("fs");
const path = require("path");
const puppeteer = require("puppeteer-core");

const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

(async () => {
  const [url, outDir] = process.argv.slice(2);
  fs.mkdirSync(outDir, {recursive: true});
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    headless: true,
    // (Chromium headless would otherwise let audio start unasked.)
    args: ["--no-sandbox", "--disable-dev-shm-usage", "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--autoplay-policy=user-gesture-required"],
  });
  const log = [];
  let failed = false;
  try {
    const page = await browser.newPage();
    await page.setViewport({width: 800, height: 640});
    page.on("console", m => log.push(m.type() + ": " + m.text()));
    page.on("pageerror", e => log.push("pageerror: " + (e.stack || e.message)));
    if (process.env.HOLD !== "0") {
      await page.evaluateOnNewDocument(() => {
        const Context = window.AudioContext;
        window.AudioContext = class extends Context {
          constructor(...args) { super(...args); this.suspend(); }
        };
      });
    }
    await page.goto(url, {waitUntil: "domcontentloaded"});
    await page.waitForFunction("window.vantorelFirstFrameMs !== undefined", {timeout: 60000, polling: 100});
    await sleep(1000);
    // The tap: after SDL's node, before the speakers (its own output silent).
    const before = await page.evaluate(() => {
      const sdl = Module.SDL2 || {};
      const context = sdl.audioContext, node = sdl.audio && sdl.audio.scriptProcessorNode;
      if (!context || !node) return {error: "SDL's audio is not open"};
      const tap = context.createScriptProcessor(4096, 2, 1);
      const blocks = window.vantorelTap = [];
      tap.onaudioprocess = e => {
        let squares = 0, peak = 0;
        const n = e.inputBuffer.length, channels = e.inputBuffer.numberOfChannels;
        for (let c = 0; c < channels; c++) {
          const d = e.inputBuffer.getChannelData(c);
          for (let i = 0; i < n; i++) { squares += d[i] * d[i]; peak = Math.max(peak, Math.abs(d[i])); }
        }
        blocks.push({t: performance.now(), frames: n * channels, squares: squares, peak: peak});
      };
      node.connect(tap);
      tap.connect(context.destination);
      window.vantorelMarks = [];
      const line = document.getElementById("sound");
      return {state: context.state, rate: context.sampleRate, line: line.style.visibility === "hidden" ? "" : line.textContent,
              firstFrameMs: Math.round(window.vantorelFirstFrameMs)};
    });
    if (before.error) throw new Error(before.error);
    const mark = name => page.evaluate(n => { window.vantorelMarks.push({name: n, t: performance.now()}); }, name);
    await mark("tap");
    await sleep(2000);
    // The first click, on the page beside the game.
    await mark("first click");
    await page.mouse.click(5, 5);
    await sleep(8000);
    await page.focus("#canvas");
    await mark("Enter");
    await page.keyboard.press("Enter");
    await sleep(12000);
    await mark("end");
    const after = await page.evaluate(() => {
      const line = document.getElementById("sound");
      return {state: Module.SDL2.audioContext.state, line: line.style.visibility === "hidden" ? "" : line.textContent,
              blocks: window.vantorelTap, marks: window.vantorelMarks};
    });
    fs.writeFileSync(path.join(outDir, "levels.json"), JSON.stringify({before: before, after: after}));
    const t0 = after.marks.find(m => m.name === "tap").t;
    const at = name => after.marks.find(m => m.name === name).t;
    const db = x => x > 0 ? Math.round(20 * Math.log10(x) * 10) / 10 : -Infinity;
    // Levels over windows of whole blocks.
    const level = (from, to) => {
      let squares = 0, frames = 0, peak = 0;
      for (const b of after.blocks) if (b.t >= from && b.t < to) { squares += b.squares; frames += b.frames; peak = Math.max(peak, b.peak); }
      return {blocks: after.blocks.filter(b => b.t >= from && b.t < to).length,
              rmsDb: frames ? db(Math.sqrt(squares / frames)) : null, peakDb: frames ? db(peak) : null};
    };
    const seconds = [];
    for (let s = 0; t0 + s * 1000 < at("end"); s++) seconds.push(Object.assign({second: s}, level(t0 + s * 1000, t0 + (s + 1) * 1000)));
    // The loudest half second after Enter against the music just before it.
    let burst = {rmsDb: -Infinity};
    for (let t = at("Enter"); t + 500 <= at("end"); t += 100) {
      const l = level(t, t + 500);
      if (l.rmsDb !== null && l.rmsDb > burst.rmsDb) burst = Object.assign({atS: Math.round((t - t0) / 100) / 10}, l);
    }
    const summary = {
      contextRate: before.rate,
      beforeClick: Object.assign({state: before.state, line: before.line}, level(t0, at("first click"))),
      music: Object.assign({window: "1-8 s after the first click"}, level(at("first click") + 1000, at("Enter"))),
      afterClick: {state: after.state, line: after.line},
      lastSecondBeforeEnter: level(at("Enter") - 1000, at("Enter")),
      loudestHalfSecondAfterEnter: burst,
      marksS: Object.fromEntries(after.marks.map(m => [m.name, Math.round((m.t - t0) / 100) / 10])),
      perSecond: seconds,
    };
    console.log(JSON.stringify(summary, null, 1));
  } catch (e) {
    console.error("sound_check: " + e.message);
    failed = true;
  } finally {
    fs.writeFileSync(path.join(outDir, "console.txt"), log.join("\n") + "\n");
    await browser.close();
  }
  process.exit(failed ? 1 : 0);
})();
