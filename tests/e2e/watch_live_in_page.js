// The page watches a live game of the hall and prints the score its note gives at the end.
//   node watch_live_in_page.js URL_OF_PLAY_LIVE
"use strict";
const puppeteer = require("puppeteer-core");
(async () => {
    const browser = await puppeteer.launch({executablePath: "/usr/bin/chromium", args: ["--no-sandbox"]});
    const page = await browser.newPage();
    await page.goto(process.argv[2]);
    const note = 'document.getElementById("hallNote")?.textContent || ""';
    await page.waitForFunction(`/ ended with \\d+ points/.test(${note})`, {timeout: 180000});
    process.stdout.write((await page.evaluate(note)).match(/ ended with (\d+) points/)[1]);
    await browser.close();
})().catch((e) => { console.error(String(e)); process.exit(1); });
