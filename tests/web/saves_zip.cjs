// The page's export and import of all saves, through its buttons, in
// Chromium headless: saves put below /saves (a slot with a Japanese name,
// the settings below home, a larger binary file), exported as a zip
// (downloaded, then read by Python's zipfile: an independent reader), then
// changed (one removed, one rewritten, one added); importing the zip, with
// the question answered no, changes nothing; answered yes, the page
// reloads and /saves, read back from IndexedDB, holds exactly the exported
// files. Zips with a path that climbs out, and bytes that are no zip, are
// refused with the saves left as they were.
// Usage: node saves_zip.cjs PAGE_URL OUTDIR   (PAGE_URL without a query)
"use strict";
const fs = require("fs");
const path = require("path");
const {execFileSync} = require("child_process");
const puppeteer = require("puppeteer-core");

const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));
let failures = 0;
function check(ok, what) {
  console.log((ok ? "ok   " : "FAIL ") + what);
  if (!ok) failures++;
}

(async () => {
  const [url, outDir] = process.argv.slice(2);
  const downloads = path.resolve(outDir, "downloads");
  fs.mkdirSync(downloads, {recursive: true});
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    headless: true,
    args: ["--no-sandbox", "--disable-dev-shm-usage", "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--autoplay-policy=no-user-gesture-required"],
  });
  const log = [];
  try {
    const page = await browser.newPage();
    page.on("console", m => log.push(m.type() + ": " + m.text()));
    page.on("pageerror", e => log.push("pageerror: " + (e.stack || e.message)));
    const cdp = await browser.target().createCDPSession();
    await cdp.send("Browser.setDownloadBehavior", {behavior: "allow", downloadPath: downloads});
    const open = async () => {
      await page.waitForFunction("window.vantorelFirstFrameMs !== undefined", {timeout: 60000, polling: 100});
    };
    await page.goto(url + "?stamp", {waitUntil: "domcontentloaded"});
    await open();
    // Every file below /saves, by path, as hex digests of its bytes.
    const snapshot = () => page.evaluate(async () => {
      const out = {};
      for (const [name, bytes] of Object.entries(window.vantorelSaves.files())) {
        const digest = new Uint8Array(await crypto.subtle.digest("SHA-256", bytes));
        out[name] = Array.from(digest, b => b.toString(16).padStart(2, "0")).join("");
      }
      return out;
    });
    const sync = () => page.evaluate(() => new Promise((ok, fail) => FS.syncfs(false, e => e ? fail(e) : ok())));
    await page.evaluate(() => {
      FS.mkdirTree("/saves/セーブデータ");
      FS.writeFile("/saves/セーブデータ/セーブデータ1.Dat", "slot one\n");
      FS.mkdirTree("/saves/home/.config/vantorel");
      FS.writeFile("/saves/home/.config/vantorel/settings.ini", "[sound]\nmusic=-600\n");
      const big = new Uint8Array(200000);
      for (let i = 0; i < big.length; i++) big[i] = (i * 2654435761) >>> 24;
      FS.writeFile("/saves/quick.sav", big);
    });
    await sync();
    const exported = await snapshot();
    check(Object.keys(exported).length >= 3, "saves to export: " + Object.keys(exported).join(", "));

    // Export through the button: one zip file downloaded.
    await page.click("#export-saves");
    let zipName;
    for (let i = 0; i < 100 && !zipName; i++) {
      zipName = fs.readdirSync(downloads).find(n => n.endsWith(".zip"));
      if (!zipName) await sleep(100);
    }
    check(zipName !== undefined && /^vantorel-saves-\d{4}-\d\d-\d\d\.zip$/.test(zipName), "downloaded " + zipName);
    const zipPath = path.join(downloads, zipName);
    const listed = JSON.parse(execFileSync("python3", ["-c",
      "import hashlib, json, sys, zipfile\n" +
      "z = zipfile.ZipFile(sys.argv[1])\n" +
      "assert z.testzip() is None\n" +
      "print(json.dumps({i.filename: hashlib.sha256(z.read(i)).hexdigest() for i in z.infolist() if not i.is_dir()}))",
      zipPath]).toString());
    check(JSON.stringify(Object.entries(listed).sort()) === JSON.stringify(Object.entries(exported).sort()),
          "Python's zipfile reads the same files and bytes (" + fs.statSync(zipPath).size + " bytes zipped)");

    // Changed since: one gone, one rewritten, one new.
    await page.evaluate(() => {
      FS.unlink("/saves/quick.sav");
      FS.writeFile("/saves/セーブデータ/セーブデータ1.Dat", "slot one, later\n");
      FS.writeFile("/saves/セーブデータ/セーブデータ2.Dat", "slot two\n");
    });
    await sync();
    const changed = await snapshot();

    // Refused imports leave everything as it is.
    const refused = await page.evaluate(async () => {
      const reasons = [];
      const climbing = fflate.zipSync({"../outside.txt": new Uint8Array([1])});
      for (const bytes of [climbing, new TextEncoder().encode("not a zip at all"), fflate.zipSync({})]) {
        try { await window.vantorelSaves.importZip(bytes); reasons.push(null); } catch (e) { reasons.push(e.message); }
      }
      return reasons;
    });
    check(refused.every(r => typeof r === "string"), "refused: " + refused.join(" | "));
    check(JSON.stringify(await snapshot()) === JSON.stringify(changed), "refused imports changed nothing");

    // Import through the button, the question answered no, then yes.
    const importWith = async answer => {
      const handler = dialog => { answer ? dialog.accept() : dialog.dismiss(); };
      page.once("dialog", handler);
      const [chooser] = await Promise.all([page.waitForFileChooser(), page.click("#import-saves")]);
      await chooser.accept([zipPath]);
    };
    await importWith(false);
    await sleep(1000);
    check(JSON.stringify(await snapshot()) === JSON.stringify(changed), "import declined: nothing changed");
    const reloaded = page.waitForNavigation({waitUntil: "domcontentloaded", timeout: 30000});
    await importWith(true);
    await reloaded;
    await open();
    const after = await snapshot();
    check(JSON.stringify(Object.entries(after).sort()) === JSON.stringify(Object.entries(exported).sort()),
          "after the import and the reload, /saves holds exactly the exported files");
  } catch (e) {
    console.log("FAIL " + (e.stack || e.message));
    failures++;
  } finally {
    fs.writeFileSync(path.join(outDir, "console.txt"), log.join("\n") + "\n");
    await browser.close();
  }
  process.exit(failures ? 1 : 0);
})();
