// The page watches a recording and prints what its own recording holds by the end.
//   node watch_in_page.js URL RECORDING
"use strict";
const puppeteer = require("puppeteer-core");
(async () => {
    const [url, recording] = process.argv.slice(2);
    const browser = await puppeteer.launch({executablePath: "/usr/bin/chromium", args: ["--no-sandbox"]});
    const page = await browser.newPage();
    await page.goto(url);
    await page.waitForFunction(() => document.body.dataset.ready === "1", {timeout: 30000});
    // The page keeps no recording of what it watches; the game's own lines are taken here.
    await page.evaluate((text) => {
        window.recorded = [korvanePage.recording()];
        korvanePage.record = (line) => window.recorded.push(line + "\n");
        korvanePage.watch(text);
    }, require("fs").readFileSync(recording, "utf8"));
    await page.waitForFunction(() => document.body.dataset.watched === "1", {timeout: 120000});
    process.stdout.write(await page.evaluate(() => window.recorded.join("")));
    await browser.close();
})().catch((e) => { console.error(String(e)); process.exit(1); });
