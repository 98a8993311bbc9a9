// The frames while the demo's first message types out, in a fresh browser
// context with ?stamp&trace: the game is started with Enter on the title;
// from the pass the trace first says "typing" to the one it no longer does,
// the time the engine works in each of the browser's animation frames and
// the intervals between those frames. Used by measure.cjs and frame_pace.cjs.
"use strict";

function stats(values) {
  const v = [...values].sort((a, b) => a - b);
  const at = q => v.length ? v[Math.min(v.length - 1, Math.floor(q * v.length))] : null;
  const round = x => x === null ? null : Math.round(x * 100) / 100;
  return {n: v.length, median: round(at(0.5)), p95: round(at(0.95)), max: round(v[v.length - 1] ?? null)};
}

// The engine's work in each animation frame: from the frame callback's start
// to the next callback asked for (the engine asks one each time it hands
// the thread back).
function recordFrames() {
  window.paceFrames = [];
  window.recording = false;
  let entered = null, stamp = 0;
  const raf = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = cb => raf(t => { stamp = t; entered = performance.now(); cb(t); });
  const asked = window.requestAnimationFrame;
  window.requestAnimationFrame = cb => {
    if (entered !== null && window.recording) window.paceFrames.push([stamp, performance.now() - entered]);
    entered = null;
    return asked(cb);
  };
}

async function typingFrames(browser, base) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport({width: 800, height: 640});
  await page.evaluateOnNewDocument(recordFrames);
  await page.goto(base + "?stamp&trace", {waitUntil: "domcontentloaded"});
  await page.waitForFunction("window.vantorelFirstFrameMs !== undefined", {timeout: 60000, polling: 20});
  await new Promise(r => setTimeout(r, 3000));
  await page.focus("#canvas");
  await page.keyboard.press("Enter");
  // The trace's last line says whether the message window is typing.
  // Only its end is read: the whole file, read 50 times a second, would
  // slow the page it measures.
  const typing = () => page.evaluate(() => {
    const stream = FS.open("/out/trace.jsonl", "r");
    const size = FS.stat("/out/trace.jsonl").size, tail = new Uint8Array(Math.min(size, 4096));
    FS.read(stream, tail, 0, tail.length, size - tail.length);
    FS.close(stream);
    const lines = new TextDecoder().decode(tail).trimEnd().split("\n");
    return JSON.parse(lines[lines.length - 1]).typing === true;
  });
  const until = async (want, ms) => {
    for (const end = Date.now() + ms; Date.now() < end;) {
      if (await typing() === want) return true;
      await new Promise(r => setTimeout(r, 20));
    }
    return false;
  };
  if (!await until(true, 30000)) throw new Error("the first message never typed");
  await page.evaluate(() => { window.recording = true; });
  const typed = await until(false, 30000);
  const frames = await page.evaluate(() => { window.recording = false; return window.paceFrames; });
  await context.close();
  if (!typed) throw new Error("the first message never finished typing");
  const gaps = frames.slice(1).map((f, i) => f[0] - frames[i][0]);
  const seconds = (frames[frames.length - 1][0] - frames[0][0]) / 1000;
  return {typingSeconds: Math.round(seconds * 1000) / 1000, typingFramesPerSecond: Math.round(frames.length / seconds),
    typingEngineMsPerFrame: stats(frames.map(f => f[1])), typingFrameIntervalMs: stats(gaps)};
}

module.exports = {stats, typingFrames};
