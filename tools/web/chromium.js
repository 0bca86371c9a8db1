// Debian's Chromium, headless, through puppeteer-core, as the browser tests and the benchmark
// start it: no sandbox (it runs as root in CI), WebGL through SwiftShader, nothing fetched in
// the background, and a new empty profile that goes when the browser closes.
"use strict";
const fs = require("fs");
const os = require("os");
const path = require("path");
const puppeteer = require("puppeteer-core");

const kChromium = process.env.BRAMBOLT_CHROMIUM || "/usr/bin/chromium";

// Starts the browser; its close() also removes the profile.
async function launchChromium() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "brambolt3-chromium-"));
  const browser = await puppeteer.launch({
    executablePath: kChromium,
    headless: true,
    args: ["--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
      "--disable-background-networking", "--disable-component-update", "--disable-sync",
      "--no-first-run", `--user-data-dir=${profile}`],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    fs.rmSync(profile, {recursive: true, force: true});
  };
  return browser;
}

module.exports = {launchChromium};
