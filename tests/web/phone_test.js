// The browser build on a phone and with a gamepad, in headless Chromium, the page served
// from a subfolder (/play/) by a server of this test's own:
// - portrait 390 x 844 and landscape 844 x 390 at device pixel ratio 3, by touch: the
//   controls for thumbs beside the whole window, a game started and played by them alone and
//   turned half way, the star count dragged, a tap on the viewscreen sending the crosshairs
//   there, the recording replaying; vibration and its switch; no controls without touch;
// - the manifest and its icons, the offline worker, and the game loading with the server gone;
// - a stubbed gamepad: the star count and OK in the dialog, torpedo, ship and start/stop in
//   the game, pulled out and plugged in again during it; the commands that arrive are checked
//   in the page and in the recording, which korvane-sim replays.
// - on a small desktop window, the stars kept visible where a game pixel is smaller than a
//   device pixel.
//   node phone_test.js PAGE_DIR KORVANE_SIM
"use strict";
const puppeteer = require("puppeteer-core");
const {check, sleep, waitFor, finish} = require("./checks");
const {spawnSync} = require("child_process");
const fs = require("fs");
const http = require("http");
const os = require("os");
const path = require("path");

const [dir, sim] = process.argv.slice(2);
const value = (page, id) => page.$eval(id, (e) => e.value);
const types = {".html": "text/html", ".js": "text/javascript", ".css": "text/css", ".wasm": "application/wasm",
               ".png": "image/png", ".svg": "image/svg+xml", ".webmanifest": "application/manifest+json"};
function serve() {
    const server = http.createServer((req, res) => {
        const file = path.join(dir, decodeURIComponent(new URL(req.url, "http://x").pathname)
            .replace(/^\/play\//, "/").replace(/\/$/, "/index.html"));
        if (!file.startsWith(dir) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
            res.writeHead(404).end();
            return;
        }
        res.writeHead(200, {"Content-Type": types[path.extname(file)] || "application/octet-stream"});
        res.end(fs.readFileSync(file));
    });
    return new Promise((resolve) => server.listen(0, "127.0.0.1", () => resolve(server)));
}
function replay(recording, what) {
    const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), "korvane-phone-")), "game.rec");
    fs.writeFileSync(file, recording);
    const run = spawnSync(sim, [file], {encoding: "utf8"});
    check(run.status === 0, `korvane-sim replays ${what} (exit ${run.status})`);
}
const expected = (recording, name) => Number((new RegExp(`^expect ${name} (-?\\d+)$`, "m").exec(recording) || [])[1]);

async function open(browser, url, viewport) {
    const page = await browser.newPage();
    page.errors = [];
    page.on("pageerror", (e) => page.errors.push(String(e)));
    page.on("console", (m) => { if (m.type() === "error") page.errors.push(m.text()); });
    await page.setViewport(viewport);
    await page.goto(url);
    await waitFor(page, "the game is ready", () => document.body.dataset.ready === "1");
    await page.evaluate(() => korvanePage.command("seed 7"));
    return page;
}

// The controls for thumbs as the page lays them out: every one in view, clear of the main
// window, at least 44 x 44; the window as large as the room they leave allows.
const kThumbs = ["crosshairs up", "crosshairs down", "crosshairs left", "crosshairs right", "start/stop",
                 "hint", "fire phasers", "photon torpedo", "shields", "ship left", "stop the ship", "ship right"];
async function checkThumbs(page, name) {
    const seen = await page.evaluate((labels) => {
        const box = (e) => { const r = e.getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom]; };
        const root = document.documentElement;
        return {window: box(document.getElementById("frmKorvane")), w: innerWidth, h: innerHeight,
                scrolls: root.scrollWidth > innerWidth || root.scrollHeight > innerHeight,
                thumbs: labels.map((l) => { const b = document.querySelector(`button[aria-label="${l}"]`); return b && box(b); })};
    }, kThumbs);
    const [l, t, r, b] = seen.window;
    const apart = ([a, b2, c, d]) => c <= l || a >= r || d <= t || b2 >= b;
    const bad = kThumbs.filter((label, i) => {
        const box = seen.thumbs[i];
        return !box || box[0] < 0 || box[1] < 0 || box[2] > seen.w || box[3] > seen.h || !apart(box) ||
            box[2] - box[0] < 44 || box[3] - box[1] < 44;
    });
    check(bad.length === 0, `${name}: every control in view, clear of the window, 44 x 44 or more` + (bad.length ? `: not ${bad}` : ""));
    check(l >= -0.5 && t >= -0.5 && r <= seen.w + 0.5 && b <= seen.h + 0.5 && !seen.scrolls,
          `${name}: the whole main window in view, no scrolling (${seen.window.map(Math.round)})`);
    // As large as the room allows: the full width in portrait; in landscape the controls' columns
    // at both sides leave no more than their margins.
    const portrait = seen.h > seen.w;
    const boxes = seen.thumbs.filter(Boolean);
    const sides = [l - Math.max(...boxes.map((x) => x[0] < l ? x[2] : -1e9)), Math.min(...boxes.map((x) => x[0] > r ? x[0] : 1e9)) - r];
    check(portrait ? r - l > seen.w - 2 : Math.max(...sides) <= 17 && b - t > seen.h * 0.85,
          `${name}: the window as large as the controls leave room for (${Math.round(r - l)} x ${Math.round(b - t)})`);
    return seen.thumbs;
}
const thumb = (page, label) => page.tap(`button[aria-label="${label}"]`);
// How many pad events the page listens for: while it listens, the browser polls the pads.
async function padListeners(page) {
    const cdp = await page.target().createCDPSession();
    const {result} = await cdp.send("Runtime.evaluate", {expression: "window"});
    const {listeners} = await cdp.send("DOMDebugger.getEventListeners", {objectId: result.objectId});
    await cdp.detach();
    return listeners.filter((l) => l.type.startsWith("gamepad")).length;
}

// A game started and played by thumbs alone, turned to the other orientation half way; portrait
// also drags the star count's bar. The recording, with checks that the phasers, the torpedo
// and the shields sounded where the taps came, replays in korvane-sim.
async function playByThumbs(browser, url, [width, height]) {
    const name = `${width}x${height}`;
    const page = await open(browser, url, {width, height, deviceScaleFactor: 3, isMobile: true, hasTouch: true});
    const before = await checkThumbs(page, name);
    const pads = [await padListeners(page)];
    await thumb(page, "start/stop");
    await waitFor(page, `${name}: start/stop opens the settings dialog`, () => !!document.getElementById("HScroll1"));
    if (height > width) {
        const bar = await (await page.$("#HScroll1")).boundingBox();
        const y = bar.y + bar.height / 2;
        await page.touchscreen.touchStart(bar.x + bar.width * 0.3, y);
        for (let i = 1; i <= 5; i++) await page.touchscreen.touchMove(bar.x + bar.width * (0.3 + i * 0.04), y);
        await page.touchscreen.touchEnd();
        const stars = Number(await value(page, "#Text1"));
        check(stars > 180 && stars <= 500, `${name}: the star count's bar drags by touch (150 -> ${stars})`);
    }
    // Each target of the dialog answers a tap anywhere within 22 CSS pixels of its middle.
    const reach = await page.evaluate(() => [["cmdOK", 0.5], ["Command1", 0.5], ["HScroll1", 0.8]].every(([id, along]) => {
        const e = document.getElementById(id);
        const r = e.getBoundingClientRect();
        const [x, y] = [r.left + along * r.width, (r.top + r.bottom) / 2];
        return [[0, -21], [0, 21], [-21, 0], [21, 0]].every(([dx, dy]) => e.contains(document.elementFromPoint(x + dx, y + dy)));
    }));
    check(reach, `${name}: the dialog's buttons and bar reach 44 x 44 for a thumb`);
    await thumb(page, "photon torpedo");  // A in a dialog: Enter, OK
    await waitFor(page, `${name}: the torpedo control in the dialog is OK: the game starts`,
                  () => document.getElementById("txtGameTime").value === "0");
    pads.push(await padListeners(page));
    const box = await (await page.$("#Picture1")).boundingBox();
    // A touch lands on whole CSS pixels: the game pixel under the one tapped near (100, 60).
    const [tx, ty] = [Math.round(box.x + 100.5 * box.width / 642), Math.round(box.y + 60.5 * box.height / 482)];
    const [gx, gy] = [Math.floor((tx - box.x) * 642 / box.width), Math.floor((ty - box.y) * 482 / box.height)];
    await page.touchscreen.tap(tx, ty);
    for (const label of ["shields", "ship left", "fire phasers", "photon torpedo"]) await thumb(page, label);
    await waitFor(page, `${name}: the torpedo control launches torpedo 1`, () => !document.getElementById("Option1").checked);
    check(await page.$eval('button[aria-label="crosshairs up"]', (b) => {
        b.dispatchEvent(new PointerEvent("pointerdown", {bubbles: true}));
        const shown = b.classList.contains("pressed");
        b.dispatchEvent(new PointerEvent("pointerup", {bubbles: true}));
        return shown && !b.classList.contains("pressed");
    }), `${name}: a control shows that it is pressed`);

    // Turned mid-game: the game runs on and the controls move to their other place.
    const clock = Number(await value(page, "#txtGameTime"));
    await page.setViewport({width: height, height: width, deviceScaleFactor: 3, isMobile: true, hasTouch: true});
    await waitFor(page, `${name}: turned`, (w) => innerWidth === w, 5000, height);
    await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
    const after = await checkThumbs(page, `${name} turned`);
    check(after[0][0] !== before[0][0] || after[0][1] !== before[0][1], `${name}: turning moves the controls`);
    await waitFor(page, `${name}: the game runs on after the turn`, (c) => Number(document.getElementById("txtGameTime").value) > c &&
                  !document.getElementById("cmdPhaser").disabled, 30000, clock);
    await thumb(page, "stop the ship");
    await sleep(300);
    await thumb(page, "start/stop");
    await waitFor(page, `${name}: start/stop stops the game`, () => document.getElementById("cmdPhaser").disabled);
    pads.push(await padListeners(page));
    check(pads.join() === "2,0,2", `${name}: with no pad seen, the page listens for pads before and after a game, not in it (${pads})`);
    const recording = await page.evaluate(() => korvanePage.lastGame());
    check(new RegExp(`^at \\d+ mouseup 1 ${gx} ${gy}$`, "m").test(recording),
          `${name}: the recording holds the tap on the viewscreen`);
    check(expected(recording, "x") < 320 && expected(recording, "crossx") < 326 && expected(recording, "crossy") < 240,
          `${name}: the ship moved left and the crosshairs set off for the tap (${expected(recording, "x")}, ` +
          `${expected(recording, "crossx")},${expected(recording, "crossy")})`);
    // The phasers (105), the torpedo (110) and the shields (114) sounded in the frames of their keys.
    const heard = [[17, 105], [32, 110], [83, 114]].map(([key, sound]) => {
        const frame = (new RegExp(`^at (\\d+) keyup ${key}$`, "m").exec(recording) || [])[1];
        return frame ? `logged ${frame}..${Number(frame) + 1} sound ${sound}\n` : `logged 0 sound ${sound}\n`;
    });
    replay(recording + heard.join(""), `the ${name} game, its phasers, torpedo and shields heard`);
    return page;
}

// Vibration: a pulse when a window of the ship's loss opens, none once the switch is off,
// which a reload remembers.
async function checkVibration(page) {
    await page.bringToFront();
    await page.evaluate(() => {
        window.pulses = [];
        navigator.vibrate = (p) => { window.pulses.push(p); return true; };
    });
    const loss = () => page.evaluate(() => {
        korvanePage.openWindow("frmShipBoom", "");
        korvanePage.closeWindow();
        return window.pulses.length;
    });
    const on = await loss();
    await thumb(page, "vibration");
    const off = await loss();
    await page.reload();
    await waitFor(page, "the game is ready again", () => document.body.dataset.ready === "1");
    const kept = await page.$eval('button[aria-label="vibration"]', (b) => b.getAttribute("aria-pressed"));
    check(on === 1 && off === 1 && kept === "false", `the ship's loss vibrates; the switch turns it off for good (${on}, ${off}, ${kept})`);
}

// Without a touch screen the page is as before: no control, the window centred at whole scale.
async function checkDesktop(browser, url) {
    const page = await open(browser, url, {width: 1366, height: 768});
    const seen = await page.evaluate(() => ({
        shown: [...document.querySelectorAll(".thumbs button")].filter((b) => b.getClientRects().length).length,
        box: (({left, top, width, height}) => [left, top, width, height])(document.getElementById("stage").getBoundingClientRect())}));
    check(seen.shown === 0 && seen.box.join() === "316.5,128,733,512",
          `1366x768 without touch: no control, the window's box as before (${seen.shown}, ${seen.box})`);
    await page.close();
}

// The manifest's icons, the worker that keeps the page, and the page with the server gone.
async function checkOffline(page, server) {
    const manifest = await page.evaluate(async () => {
        const url = new URL(document.querySelector("link[rel=manifest]").href);
        const m = await (await fetch(url)).json();
        const icons = await Promise.all(m.icons.map(async (i) => (await fetch(new URL(i.src, url))).ok));
        return {display: m.display, icons, big: m.icons.some((i) => /256/.test(i.sizes))};
    });
    check(manifest.display === "fullscreen" && manifest.big && manifest.icons.every(Boolean),
          `the manifest asks for full screen and its ${manifest.icons.length} icons load`);
    const scope = await page.evaluate(() => Promise.race([
        navigator.serviceWorker.ready.then((r) => r.scope), new Promise((r) => setTimeout(r, 10000, ""))]));
    check(/\/play\/$/.test(scope), `the offline worker is ready, over the page's folder (${scope})`);
    await waitFor(page, "the worker serves the page", () => !!navigator.serviceWorker.controller);
    server.closeAllConnections();
    await new Promise((r) => server.close(r));
    await page.reload();
    await waitFor(page, "the game loads with the server gone", () => document.body.dataset.ready === "1");
}

// A stubbed standard pad: its buttons are pressed and released between display frames.
async function playByPad(browser, url) {
    const page = await open(browser, url, {width: 400, height: 300});
    await page.evaluate(() => {
        const pad = {index: 0, id: "stub", connected: true, mapping: "standard", timestamp: 0, axes: [0, 0, 0, 0],
                     buttons: Array.from({length: 17}, () => ({pressed: false, touched: false, value: 0}))};
        let pads = [pad];
        window.stubPad = pad;
        window.plugPad = (on) => {
            pads = on ? [pad] : [];
            window.dispatchEvent(new Event(on ? "gamepadconnected" : "gamepaddisconnected"));
        };
        window.padReads = 0;
        Object.defineProperty(navigator, "getGamepads", {value: () => { window.padReads++; return pads; }, configurable: true});
        window.plugPad(true);
    });
    // A press is held, and then its release left, until the page has read the pad twice,
    // however slowly its display frames come.
    const readTwice = async () => {
        const from = await page.evaluate(() => window.padReads);
        await waitFor(page, "the page reads the pad", (f) => window.padReads >= f + 2, 15000, from);
    };
    const press = async (button, axis, whileHeld) => {
        await page.evaluate((b, a) => {
            if (a === undefined) window.stubPad.buttons[b] = {pressed: true, touched: true, value: 1};
            else window.stubPad.axes[b] = a;
        }, button, axis);
        await readTwice();
        if (whileHeld) await whileHeld();
        await page.evaluate((b) => { window.stubPad.buttons[b] = {pressed: false, touched: false, value: 0}; window.stubPad.axes[b] = 0; }, button);
        await readTwice();
    };
    await press(9);  // Start
    await waitFor(page, "pad Start opens the settings dialog", () => !!document.getElementById("HScroll1"));
    await press(15);  // d-pad right, twice, then the stick left
    await press(15);
    await press(0, -1);
    check(await value(page, "#Text1") === "151", "pad left and right move the star count (150 -> 151)");
    await press(0);  // A: Enter, OK
    await waitFor(page, "pad A in the dialog is OK: the game starts", () => document.getElementById("txtGameTime").value === "0");
    const stars = await page.$eval(".stars-copy", (c) => {
        const d = c.getContext("2d").getImageData(0, 0, c.width, c.height).data;
        let n = 0;
        for (let i = 0; i < d.length; i += 4) if (d[i] === 255 && d[i + 1] === 255 && d[i + 2] === 0) n++;
        return n;
    }).catch(() => 0);
    check(stars > 130 && stars <= 152, `at scale 0.55 the shown viewscreen keeps the stars (${stars} of 152)`);
    await press(0, undefined, async () =>  // A: a torpedo, when released
        check(await page.$eval("#Option1", (o) => o.checked), "pad A held down does nothing yet"));
    await waitFor(page, "pad A launches torpedo 1", () => !document.getElementById("Option1").checked);
    await press(4);  // left shoulder: the ship left, then X: stop
    await sleep(300);
    await press(2);
    await page.evaluate(() => window.plugPad(false));
    // A read already asked for comes with the next display frame, and finds no pad.
    await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
    const reads = await page.evaluate(() => window.padReads);
    await sleep(300);
    check(!(await page.$eval("#cmdPhaser", (b) => b.disabled)), "pulling the pad out leaves the game running");
    check(await page.evaluate(() => window.padReads) === reads, "with no pad connected the page stops reading pads");
    await page.evaluate(() => window.plugPad(true));
    await press(9);
    await waitFor(page, "pad Start, plugged in again, stops the game", () => document.getElementById("cmdPhaser").disabled);
    const recording = await page.evaluate(() => korvanePage.lastGame());
    check(/^stars 151$/m.test(recording) && [32, 90, 88].every((k) => new RegExp(`^at \\d+ keyup ${k}$`, "m").test(recording)) &&
          /^at \d+ click cmdStart$/m.test(recording), "the recording holds the pad's star count, keys and stop");
    check(expected(recording, "x") < 320, `the pad's left shoulder moved the ship (320 -> ${expected(recording, "x")})`);
    replay(recording, "the pad's game");
    return page;
}

(async () => {
    const server = await serve();
    const url = `http://127.0.0.1:${server.address().port}/play/`;
    const browser = await puppeteer.launch({executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
                                            headless: true, args: ["--no-sandbox"], protocolTimeout: 60000});
    const pages = [await playByThumbs(browser, url, [390, 844]), await playByThumbs(browser, url, [844, 390]),
                   await playByPad(browser, url)];
    await checkVibration(pages[1]);
    await checkDesktop(browser, url);
    await checkOffline(pages[0], server);
    const errors = pages.flatMap((p) => p.errors);
    check(errors.length === 0, "no page errors" + (errors.length ? ": " + errors.join(" | ") : ""));
    await browser.close();
    finish();
})().catch((e) => { console.error(e); process.exit(1); });
