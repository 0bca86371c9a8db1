// The browser build on a real page: Debian's Chromium, headless, driven by puppeteer-core.
// Each check starts from what the player sees and waits for the game to show it (through the
// probe of tools/web/kp_web_probe.cpp, the console and the page's pixels), never for a fixed
// time; every wait has a generous bound. Prints a line per check and, last,
// "web: N passed, N failed". Usage: node browser_test.js URL (NODE_PATH finds puppeteer-core).
"use strict";
const path = require("path");
const zlib = require("zlib");
const {launchChromium} = require(path.join(__dirname, "../../tools/web/chromium.js"));

const url = process.argv[2];
// Bounds, in milliseconds: the first start compiles the game on a machine that may be busy.
const kStartBound = 180000;
const kBound = 60000;
// Level 1's tile in the menu of a 640x480 page, selected on a fresh start.
const kLevelOneTile = {x: 182, y: 245};
// The pause icon at the top left of play.
const kPauseIcon = {x: 24, y: 24};
// Screens of the game (game/bt3_numbers.h) and the end of the intro, which holds input back.
const kScreenMenu = 1;
const kScreenQuitBox = 4;
const kIntroEnd = 320;
// Display frames after the intro's end by which the menu surely takes input.
const kInputFrames = 30;

let passed = 0;
let failed = 0;

async function check(name, body) {
  try {
    await body();
    passed++;
    console.log(`web: ok ${name}`);
  } catch (e) {
    failed++;
    console.log(`web: FAILED ${name}: ${e.message}`);
  }
}

function expect(condition, what) {
  if (!condition) throw new Error(what);
}

// The RGB(A) pixels of an 8-bit, non-interlaced PNG such as a screenshot.
function decodePng(png) {
  const width = png.readUInt32BE(16), height = png.readUInt32BE(20);
  const colourType = png[25], bpp = colourType === 6 ? 4 : 3;
  const parts = [];
  for (let at = 8; at < png.length;) {
    const length = png.readUInt32BE(at), type = png.toString("ascii", at + 4, at + 8);
    if (type === "IDAT") parts.push(png.subarray(at + 8, at + 8 + length));
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(parts));
  const stride = width * bpp, out = Buffer.alloc(stride * height);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    for (let x = 0; x < stride; x++) {
      const v = raw[y * (stride + 1) + 1 + x];
      const a = x >= bpp ? out[y * stride + x - bpp] : 0;
      const b = y > 0 ? out[(y - 1) * stride + x] : 0;
      const c = x >= bpp && y > 0 ? out[(y - 1) * stride + x - bpp] : 0;
      const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
      const paeth = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      const predict = [0, a, b, (a + b) >> 1, paeth][filter];
      out[y * stride + x] = (v + predict) & 0xff;
    }
  }
  return {width, height, bpp, pixels: out};
}

// Distinct colours in a screenshot of the page.
async function colours(page) {
  const shot = decodePng(Buffer.from(await page.screenshot({type: "png"})));
  const seen = new Set();
  for (let i = 0; i < shot.pixels.length; i += shot.bpp) {
    seen.add((shot.pixels[i] << 16) | (shot.pixels[i + 1] << 8) | shot.pixels[i + 2]);
  }
  return seen.size;
}

function probe(page, field) {
  return page.evaluate((f) => (window.Module && Module.brambolt && Module.calledRun
    ? Module.brambolt.probe(f) : -1), field);
}

function waitProbe(page, test, what, bound = kBound) {
  return page.waitForFunction(test, {timeout: bound, polling: 50})
    .catch(() => { throw new Error(`waited in vain for ${what}`); });
}

// A page on the site with its console collected; errors and uncaught exceptions too.
async function openPage(browser, viewport) {
  const page = await browser.newPage();
  const log = {lines: [], errors: []};
  page.on("console", (m) => {
    log.lines.push(m.text());
    if (m.type() === "error") log.errors.push(m.text());
  });
  page.on("pageerror", (e) => log.errors.push(String(e)));
  await page.setViewport(viewport);
  await page.goto(url);
  return {page, log};
}

// Waits for the page's next n display frames (each runs the game's loop once).
function frames(page, n) {
  return page.evaluate((count) => new Promise((resolve) => {
    const next = () => (--count <= 0 ? resolve() : requestAnimationFrame(next));
    requestAnimationFrame(next);
  }), n);
}

// A key held for a few frames and let go, then a few frames for the game to see it up: the
// menus take a press only after every key was up.
async function pressKey(page, key) {
  await page.keyboard.down(key);
  await frames(page, 6);
  await page.keyboard.up(key);
  await frames(page, 6);
}

// Waits until the menu takes input: the menu screen with the intro over.
async function menuReady(page, bound = kBound) {
  await waitProbe(page, `window.Module && Module.calledRun && Module.brambolt.probe("screen") === ${kScreenMenu} && Module.brambolt.probe("intro") >= ${kIntroEnd}`, "the menu past its intro", bound);
  // The intro lets go of the menu's input a few updates after it ends.
  await frames(page, kInputFrames);
}

// After a tap has started level 1, presses again until its round has begun, then holds the
// press and expects the ball to roll; lets go and expects it to stop rolling.
async function rollsWhileHeld(page, log, press, release) {
  log.lines.length = 0; // the round's start is looked for from this tap on
  await waitProbe(page, `Module.brambolt.probe("screen") !== ${kScreenMenu} && Module.brambolt.probe("level") === 1`, "level 1 to start");
  const begun = () => log.lines.some((l) => l.includes("sfx/world"));
  const deadline = Date.now() + kBound;
  while (!begun() && Date.now() < deadline) {
    await press();
    await frames(page, 6);
    await release();
    await frames(page, 6);
  }
  expect(begun(), "the round never began");
  await press();
  await waitProbe(page, `Module.brambolt.probe("speed") > 0`, "the ball to roll while held");
  await release();
  await waitProbe(page, `Module.brambolt.probe("speed") === 0`, "the ball to stop when let go");
}

// Waits for a console line containing text.
async function waitLine(log, text) {
  const deadline = Date.now() + kBound;
  while (!log.lines.some((l) => l.includes(text)) && Date.now() < deadline) {
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  expect(log.lines.some((l) => l.includes(text)), `no console line with "${text}"`);
}

// In the menu: opens the options, turns the sound line over and closes them, which saves.
async function toggleSound(page) {
  await pressKey(page, "b"); // the options button
  await waitProbe(page, `Module.brambolt.probe("options") === 1`, "the options panel");
  await pressKey(page, "ArrowDown"); // the sound line
  await pressKey(page, "Space");
  await pressKey(page, "Escape");
  await waitProbe(page, `Module.brambolt.probe("options") === 0`, "the panel to close");
}

async function main() {
  const browser = await launchChromium();
  try {
    const {page, log} = await openPage(browser, {width: 640, height: 480});
    const started = Date.now();

    await check("the menu is reached with no console error and is drawn", async () => {
      await menuReady(page, kStartBound);
      console.log(`web: start to menu ${((Date.now() - started) / 1000).toFixed(1)} s`);
      expect(log.errors.length === 0, `console errors: ${log.errors.join(" | ")}`);
      const n = await colours(page);
      expect(n > 50, `only ${n} colours on the menu`);
      expect(!log.lines.some((l) => l.includes("Settings Loaded")), "a fresh profile had settings");
    });

    await check("a key tap starts level 1, the ball rolls while the key is held, Escape pauses", async () => {
      await page.keyboard.press("Enter"); // down and up at once
      await rollsWhileHeld(page, log, () => page.keyboard.down("ArrowRight"),
        () => page.keyboard.up("ArrowRight"));
      await page.keyboard.press("Escape");
      await waitProbe(page, `Module.brambolt.probe("paused") === 1`, "the pause");
    });

    await check("the audio runs after the first gesture and the round's tune plays", async () => {
      // The pause panel's choice starts on resume. It takes a press only once every key is up
      // (the Escape that paused may still count), so the press is made again until it takes.
      const resumed = () => page.evaluate(() => Module.brambolt.probe("paused") === 0);
      const deadline = Date.now() + kBound;
      while (!(await resumed()) && Date.now() < deadline) await pressKey(page, "Enter");
      await waitProbe(page, `Module.brambolt.probe("paused") === 0`, "the round to resume");
      await waitProbe(page, `Module.brambolt.audioState() === "running"`, "a running audio context");
      await waitProbe(page, `Module.brambolt.playingSources().some((s) => s.looping && s.seconds > 5)`, "a looping tune");
      await page.keyboard.press("Escape");
      await waitProbe(page, `Module.brambolt.probe("paused") === 1`, "the pause");
    });

    await check("a click starts level 1 and the ball rolls while the button is held", async () => {
      await page.reload();
      await menuReady(page);
      await page.mouse.click(kLevelOneTile.x, kLevelOneTile.y);
      await rollsWhileHeld(page, log, () => page.mouse.down(), () => page.mouse.up());
    });

    await check("a touch tap starts level 1, the ball rolls while touched, the pause icon pauses", async () => {
      await page.setViewport({width: 640, height: 480, hasTouch: true, isMobile: false});
      await page.reload(); // (a change of hasTouch may reload the page by itself too)
      await menuReady(page);
      await page.touchscreen.tap(kLevelOneTile.x, kLevelOneTile.y);
      await rollsWhileHeld(page, log, () => page.touchscreen.touchStart(320, 240),
        () => page.touchscreen.touchEnd());
      await page.touchscreen.touchStart(kPauseIcon.x, kPauseIcon.y);
      await frames(page, 6);
      await page.touchscreen.touchEnd();
      await waitProbe(page, `Module.brambolt.probe("paused") === 1`, "a touch on the pause icon to pause");
      await page.setViewport({width: 640, height: 480});
      await menuReady(page);
    });

    await check("options changed and closed are still there after a reload", async () => {
      await page.reload();
      await menuReady(page);
      log.lines.length = 0;
      await toggleSound(page);
      await waitLine(log, "Progress stored");
      log.lines.length = 0;
      await page.reload();
      await menuReady(page);
      expect(log.lines.some((l) => l.includes("Settings Loaded")), "no \"Settings Loaded\" after the reload");
    });

    await check("a larger viewport fetches and loads the art of its level", async () => {
      await menuReady(page);
      expect(await probe(page, "hdLevel") === 2, "640x480 should use the \"-hd\" images");
      await page.setViewport({width: 1280, height: 720});
      await waitProbe(page, `Module.brambolt.probe("hdLevel") === 4 && Module.brambolt.drawingSize()[0] === 1280`, "the \"-hd2\" images at 1280x720");
      // The size change restarted the loader in the same frame; it ends at step 0.
      await waitProbe(page, `Module.brambolt.probe("loadStep") === 0`, "the loader to finish");
      await frames(page, 2);
      const n = await colours(page);
      expect(n > 50, `only ${n} colours after the resize`);
    });

    await check("a failed sync to the browser's storage is told on the console and in the window", async () => {
      await menuReady(page);
      log.lines.length = 0;
      // The browser refuses to store (as when the storage is full or the page's site is
      // blocked from it): every sync that writes fails.
      await page.evaluate(() => {
        const fs = Module.FS, sync = fs.syncfs;
        Module.brambolt.realSync = sync;
        fs.syncfs = (populate, done) => (populate ? sync.call(fs, populate, done)
          : done(new Error("QuotaExceededError")));
      });
      await toggleSound(page);
      await waitProbe(page, `Module.brambolt.probe("notice") === 1`, "the notice in the window");
      expect(log.lines.some((l) => l.includes("could not save your progress to the browser's storage: QuotaExceededError")),
        "no failed-save line on the console");
      // Storage back: the next save is stored, and the setting survives a reload.
      await page.evaluate(() => { Module.FS.syncfs = Module.brambolt.realSync; });
      log.lines.length = 0;
      await toggleSound(page);
      await waitLine(log, "Progress stored");
      log.errors.length = 0; // the failed sync's line was an error on purpose
    });

    await check("a pad in the standard layout opens the quit box with back, leaves it with A, starts level 1 and rolls", async () => {
      // Chromium headless has no pads: the page is given one whose buttons the test sets.
      await page.evaluateOnNewDocument(() => {
        window.testPad = new Array(17).fill(0);
        Object.defineProperty(navigator, "getGamepads", {configurable: true, value: () => [{
          id: "Test pad (STANDARD GAMEPAD)", index: 0, connected: true, mapping: "standard",
          timestamp: performance.now(), axes: [0, 0, 0, 0],
          buttons: window.testPad.map((v) => ({pressed: v > 0.5, value: v})),
        }]});
      });
      await page.reload();
      await menuReady(page);
      const hold = (b, v) => page.evaluate((button, value) => { window.testPad[button] = value; }, b, v);
      const tap = async (b) => { await hold(b, 1); await frames(page, 6); await hold(b, 0); await frames(page, 6); };
      const kBack = 8, kA = 0; // the standard layout's back (select) and A buttons
      await tap(kBack);
      await waitProbe(page, `Module.brambolt.probe("screen") === ${kScreenQuitBox}`, "the quit box");
      let deadline = Date.now() + kBound;
      while ((await probe(page, "screen")) === kScreenQuitBox && Date.now() < deadline) await tap(kA);
      await waitProbe(page, `Module.brambolt.probe("screen") === ${kScreenMenu}`, "A to go back to the menu");
      await frames(page, kInputFrames);
      deadline = Date.now() + kBound;
      while ((await probe(page, "screen")) === kScreenMenu && Date.now() < deadline) await tap(kA);
      await rollsWhileHeld(page, log, () => hold(kA, 1), () => hold(kA, 0));
    });

    await check("no console error in the whole run", async () => {
      expect(log.errors.length === 0, `console errors: ${log.errors.join(" | ")}`);
    });
  } finally {
    await browser.close();
  }
}

main().catch((e) => {
  failed++;
  console.log(`web: FAILED the run: ${e.message}`);
}).finally(() => {
  console.log(`web: ${passed} passed, ${failed} failed`);
  process.exitCode = failed === 0 && passed > 0 ? 0 : 1;
});
