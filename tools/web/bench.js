// Browser frame benchmark (a tool, not a test): the game's page in headless Chromium at one
// size, in the menu and then in play on level 1 with the button held. Prints, for each, the
// frames the page rendered per second (loop iterations, one render each) and the main thread's
// milliseconds per frame spent in the loop (updates, render and the GL calls' JavaScript; the
// browser's own compositing is not in it), and the game's updates per second (60 when the
// schedule keeps up), over a window of wall time.
// Usage: tools/web/with-site.sh tools/web/bench.js [WIDTHxHEIGHT] [seconds per scene]
"use strict";
const path = require("path");
const {launchChromium} = require(path.join(__dirname, "chromium.js"));

const url = process.argv[2];
const [width, height] = (process.argv[3] || "640x480").split("x").map(Number);
const seconds = Number(process.argv[4] || 10);
const kBound = 180000;
const kIntroEnd = 320; // the intro's end, when the menu takes input

function ready(page, test) {
  return page.waitForFunction(test, {timeout: kBound, polling: 50});
}

// Frames and busy milliseconds over `seconds` of wall time.
async function measure(page, name) {
  const before = await page.evaluate(() => Module.brambolt.frames());
  const start = Date.now();
  await new Promise((r) => setTimeout(r, seconds * 1000));
  const after = await page.evaluate(() => Module.brambolt.frames());
  const wall = (Date.now() - start) / 1000;
  const frames = after[0] - before[0];
  const fps = frames / wall;
  const ms = frames > 0 ? (after[1] - before[1]) / frames : 0;
  const updates = (after[2] - before[2]) / wall;
  console.log(`bench web ${width}x${height} ${name}: ${fps.toFixed(1)} frames/s, ` +
    `${ms.toFixed(2)} main-thread ms/frame over ${frames} frames, ${updates.toFixed(1)} updates/s`);
}

async function main() {
  const browser = await launchChromium();
  try {
    const page = await browser.newPage();
    const lines = [];
    page.on("console", (m) => lines.push(m.text()));
    await page.setViewport({width, height});
    await page.goto(url);
    await ready(page, `window.Module && Module.calledRun && Module.brambolt.probe("screen") === 1 && Module.brambolt.probe("intro") >= ${kIntroEnd}`);
    await measure(page, "menu");
    // Level 1, its round begun, the button held.
    await page.keyboard.press("Enter");
    await ready(page, `Module.brambolt.probe("level") === 1 && Module.brambolt.probe("screen") !== 1`);
    const deadline = Date.now() + kBound;
    while (!lines.some((l) => l.includes("sfx/world")) && Date.now() < deadline) {
      await page.keyboard.press("ArrowRight", {delay: 100});
      await new Promise((r) => setTimeout(r, 200));
    }
    await page.keyboard.down("ArrowRight");
    await measure(page, "play");
    await page.keyboard.up("ArrowRight");
  } finally {
    await browser.close();
  }
}

main().catch((e) => {
  console.log(`bench web: failed: ${e.message}`);
  process.exitCode = 1;
});
