// A play in a visible page: Chromium with a window on an X display (Xvfb),
// the mouse moved and clicked by xdotool as a player's would be; the whole
// screen captured (ImageMagick's import) after each step, for a person to
// look at. Usage: DISPLAY=:N node visible_play.cjs URL OUTDIR
"use strict";
const {execFileSync} = require("child_process");
const path = require("path");
const puppeteer = require("puppeteer-core");

const sleep = ms => new Promise(r => setTimeout(r, ms));
(async () => {
  const [url, out] = process.argv.slice(2);
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    headless: false, defaultViewport: null,
    args: ["--no-sandbox", "--disable-dev-shm-usage", "--window-position=0,0", "--window-size=1024,768", "--use-angle=swiftshader",
      "--enable-unsafe-swiftshader", "--no-first-run", "--disable-infobars"],
  });
  const page = (await browser.pages())[0];
  const log = [];
  page.on("console", m => log.push(m.text()));
  await page.goto(url + "?stamp", {waitUntil: "domcontentloaded"});
  await page.waitForFunction("window.vantorelFirstFrameMs !== undefined", {timeout: 60000});
  let step = 0;
  const shot = name => execFileSync("import", ["-window", "root", path.join(out, `${++step}-${name}.png`)]);
  // Game pixel (x, y) to the screen's, from where the page put the canvas.
  const at = async (x, y) => {
    const g = await page.evaluate(() => {
      const r = document.getElementById("canvas").getBoundingClientRect();
      return {left: r.left, top: r.top, scale: r.width / document.getElementById("canvas").width,
        sx: window.screenX, sy: window.screenY + window.outerHeight - window.innerHeight};
    });
    return [Math.round(g.sx + g.left + x * g.scale), Math.round(g.sy + g.top + y * g.scale)];
  };
  const click = async (x, y, button = 1) => {
    const [sx, sy] = await at(x, y);
    execFileSync("xdotool", ["mousemove", String(sx), String(sy), "click", String(button)]);
  };
  await sleep(6000);
  shot("title");
  const [hx, hy] = await at(75, 100);
  execFileSync("xdotool", ["mousemove", String(hx), String(hy)]);  // over "つづきから"
  await sleep(800);
  shot("hover-continue");
  await click(75, 35);  // "はじめから"
  await sleep(2500);
  shot("first-message");
  for (let i = 0; i < 6; i++) { await click(320, 400); await sleep(1200); }
  shot("after-six-clicks");
  await click(320, 400, 3);  // the right button: the game menu
  await sleep(1500);
  shot("right-click");
  console.log(JSON.stringify({firstFrameMs: Math.round(await page.evaluate("window.vantorelFirstFrameMs")), steps: step}));
  console.log(log.slice(-10).join("\n"));
  await browser.close();
})().catch(e => { console.error("visible_play: " + e.message); process.exit(1); });
