// A game of the hall watched at /play/?watch=ID, through the bar under the window: its
// controls are buttons and a range with their labels, the score's changes are marked; the
// frames move about eight times as fast at 8x as at 1x; paused, neither the frame count nor
// the picture moves; the position moved to its end shows the stored score within 2 s, and
// the arrow left goes 5 s back within a second; a jump does not wait for a dialog's pause.
//   node watch_bar_test.js WATCH_URL SCORE
"use strict";
const puppeteer = require("puppeteer-core");
const {check, waitFor, finish} = require("./checks");

const [watchUrl, score] = process.argv.slice(2);
const frame = () => Module._korvane_frame();
// Frames per second of the watched game while it plays `frames` more frames.
async function frameRate(page, frames) {
    const [f0, t0] = await page.evaluate(() => [Module._korvane_frame(), performance.now()]);
    await waitFor(page, `${frames} frames played`, (f) => Module._korvane_frame() >= f, 20000, f0 + frames);
    const [f1, t1] = await page.evaluate(() => [Module._korvane_frame(), performance.now()]);
    return (f1 - f0) / ((t1 - t0) / 1000);
}
// The viewscreen's pixels, hashed.
const picture = () => {
    const c = document.getElementById("Picture1");
    const pixels = new Uint32Array(c.getContext("2d").getImageData(0, 0, c.width, c.height).data.buffer);
    let hash = 0x811c9dc5;
    for (let i = 0; i < pixels.length; i++) hash = Math.imul(hash ^ pixels[i], 0x1000193);
    return hash;
};
// Counts the page's display frames, which a wait can count on.
const countDisplayFrames = () => {
    window.displayFrames = 0;
    const tick = () => { window.displayFrames++; requestAnimationFrame(tick); };
    requestAnimationFrame(tick);
};

(async () => {
    const browser = await puppeteer.launch({
        executablePath: process.env.CHROMIUM || "/usr/bin/chromium", headless: true,
        args: ["--no-sandbox"], defaultViewport: {width: 1366, height: 768}});
    const page = await browser.newPage();
    // The slider let go at its start (0) or its end (Infinity).
    const moveTo = (at) => page.$eval("#watchPosition", (p, end) => {
        p.value = end ? p.max : 0;
        p.dispatchEvent(new Event("input"));
        p.dispatchEvent(new Event("change"));
    }, at === Infinity);
    const errors = [];
    page.on("pageerror", (e) => errors.push(String(e)));
    await page.goto(watchUrl);
    await page.evaluate(countDisplayFrames);
    const ready = await waitFor(page, "the game is read and plays from its start", () => {
        const p = document.getElementById("watchPosition");
        return p && !p.disabled && Number(p.max) > 0 && Module._korvane_frame() > 10;
    }, 30000);
    if (!ready) {
        await browser.close();
        finish();
        return;
    }
    const controls = await page.evaluate(() => {
        const labelled = (e) => !!e && !!e.getAttribute("aria-label");
        const pause = document.getElementById("watchPause");
        const speeds = [...document.querySelectorAll("#watchSpeeds button")];
        const position = document.getElementById("watchPosition");
        return {pause: labelled(pause) && pause.tagName === "BUTTON",
                speeds: labelled(document.getElementById("watchSpeeds")) &&
                    speeds.map((b) => b.getAttribute("aria-label")).join(),
                position: labelled(position) && position.type === "range",
                marks: document.querySelectorAll(".watch-mark").length,
                small: [...document.querySelectorAll("#watchBar button, #watchPosition")]
                    .filter((e) => !e.hidden && (e.offsetWidth < 40 || e.offsetHeight < 40)).map((e) => e.id)};
    });
    check(controls.pause, "a pause button with its label");
    check(controls.speeds === "speed \u00bdx,speed 1x,speed 2x,speed 4x,speed 8x",
          `the speeds are labelled buttons (${controls.speeds})`);
    check(controls.position, "a position slider with its label");
    check(controls.marks === 2, `the two hits are marked on the slider (${controls.marks})`);
    check(controls.small.length === 0, `every target 40 pixels or more (not: ${controls.small})`);

    const normal = await frameRate(page, 200);
    await page.click('#watchSpeeds button[aria-label="speed 8x"]');
    const fast = await frameRate(page, 1600);
    check(fast / normal > 5 && fast / normal < 11,
          `8x plays about eight times as fast (${Math.round(fast)} against ${Math.round(normal)} frames/s)`);

    await page.click("#watchPause");
    await waitFor(page, "the pause is shown", () => document.getElementById("watchPause").getAttribute("aria-label") === "play");
    await page.evaluate(() => new Promise(requestAnimationFrame));
    const before = await page.evaluate((f, p) => [eval(f)(), eval(p)(), window.displayFrames],
                                       frame.toString(), picture.toString());
    await waitFor(page, "a second of display frames goes by", (n) => window.displayFrames >= n, 10000, before[2] + 60);
    const after = await page.evaluate((f, p) => [eval(f)(), eval(p)()], frame.toString(), picture.toString());
    check(after[0] === before[0] && after[1] === before[1],
          `paused, the frame and the picture hold (frame ${before[0]} then ${after[0]})`);
    await page.keyboard.press("Space");
    await waitFor(page, "the space bar plays it again", (f) => Module._korvane_frame() > f, 5000, after[0]);

    // The slider moved to its end: the game hurries there and shows the stored score. (It
    // then plays on at 1/2x, for the dialog's pause below.)
    await page.click('#watchSpeeds button[aria-label="speed \u00bdx"]');
    await moveTo(Infinity);
    check(await waitFor(page, "the end shows the stored score within 2 s",
                        (s) => document.getElementById("txtScore").value === s, 2000, score),
          `the slider's end shows the stored score ${score}`);
    // Back 5 s: the game is played again from its start, up to there.
    await waitFor(page, "the end is reached", () => document.body.dataset.watched === "1", 5000);
    const end = await page.evaluate(() => Module._korvane_watch_micros());
    await page.keyboard.press("ArrowLeft");
    check(await waitFor(page, "5 s back within a second", (e) => {
        const at = Module._korvane_watch_micros();
        return at < e - 4.5e6 && at > e - 6e6;
    }, 1000, end), "the arrow left goes 5 s back");
    // From the start at 1/2x the game's first dialog is shown for 2 s: a jump to the end
    // does not wait for it.
    await moveTo(0);
    await waitFor(page, "the first dialog shown", () => !!Module.korvanePage.modal, 5000);
    await moveTo(Infinity);
    check(await waitFor(page, "the end within 1 s", (s) => document.getElementById("txtScore").value === s, 1000, score),
          "a jump to the end cuts a dialog's pause short");
    check(errors.length === 0, "no page errors" + (errors.length ? ": " + errors.join(" | ") : ""));
    await browser.close();
    finish();
})().catch((e) => { console.error(e); process.exit(1); });
