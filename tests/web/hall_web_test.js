// The browser build played live for a hall of fame (korvane-hall --live-only): served under
// /play/, the start opens a live game and starts from its seed, and the page sends its lines
// as it plays; a second page watches the game at /play/?live=ID and shows the player's frames,
// pixel for pixel, within about a second; the hall's page lists the game while it plays. A
// game that scored offers the panel beside the game's window (on a phone too, with targets a
// thumb can hit), the name goes in alone, the rank comes back and the hall lists the score it
// replayed, the watcher's end says the same score, and its watch link plays the game back to
// that score. Served as plain files, no panel ever shows.
//   node hall_web_test.js HALL_URL STATIC_URL
"use strict";
const puppeteer = require("puppeteer-core");
const {check, sleep, waitFor, finish} = require("./checks");

const [hallUrl, staticUrl] = process.argv.slice(2);
const gameRuns = () => { const phaser = document.getElementById("cmdPhaser"); return !!phaser && !phaser.disabled; };

// Starts a game with STARS stars through the page's own start button and the settings dialog.
async function startGame(page, stars) {
    await page.evaluate((n) => korvanePage.command(`stars ${n}`), stars);
    await page.click("#cmdStart");
    if (!await waitFor(page, "the settings dialog opens", () => !!document.querySelector("#frmStart #cmdOK"))) return false;
    await page.click("#cmdOK");
    return waitFor(page, "the game starts", gameRuns);
}

// What the player sees of the fight on the viewscreen: the columns of the cube's grey (its
// border and lattice) above the ship, or null while it is off the screen, and the ship's left
// column from its white row 14 (row 469; stars are yellow and never white).
const sight = () => {
    const c = document.getElementById("Picture1");
    const d = c.getContext("2d").getImageData(0, 0, c.width, c.height).data;
    const at = (x, y) => (y * c.width + x) * 4;
    let left = c.width, right = -1, ship = -1;
    for (let y = 0; y < 440; y += 2) {
        for (let x = 0; x < c.width; x++) {
            const i = at(x, y);
            if (d[i] === 128 && d[i + 1] === 128 && d[i + 2] === 128) { left = Math.min(left, x); right = Math.max(right, x); }
        }
    }
    for (let x = 0; x < c.width && ship < 0; x++) {
        const i = at(x, 469);
        if (d[i] === 255 && d[i + 1] === 255 && d[i + 2] === 255) ship = x;
    }
    return {cube: right < 0 ? null : [left, right], ship,
            score: Number(document.getElementById("txtScore").value),
            runs: !document.getElementById("cmdPhaser").disabled};
};

// Played as a player would, at the default pace: shields up against the globes, the ship
// steered under the cube once it shows, torpedoes fired while its nose is well inside the
// cube's columns; at the first points, the stop. False when the game ended first without a
// score (the cube may still win) or nothing scored in time.
async function playUntilScored(page) {
    const key = (code) => page.evaluate((c) => korvanePage.command(`keyup ${c}`), code);
    await key(83);
    let steering = 0;
    const until = Date.now() + 120000;
    while (Date.now() < until) {
        const seen = await page.evaluate(sight);
        if (!seen.runs) {
            // A dialog that ends the game: close it; the game counts as it stands.
            if (await page.$("#cmdClose")) await page.keyboard.press("Enter");
            return seen.score > 0;
        }
        if (seen.score > 0) {
            await page.click("#cmdStart");
            // The cube may still end the game first, with its dialog: then the dialog is closed.
            const ended = await waitFor(page, "the stop ends the game", () =>
                document.getElementById("cmdPhaser").disabled || !!document.querySelector("#cmdClose"), 60000);
            if (await page.$("#cmdClose")) await page.keyboard.press("Enter");
            return ended;
        }
        if (seen.cube && seen.ship >= 0) {
            const nose = seen.ship + 6;
            const centre = (seen.cube[0] + seen.cube[1]) / 2;
            const wanted = Math.abs(nose - centre) < 25 ? 0 : Math.sign(centre - nose);
            if (wanted !== steering) {
                await key(88);
                if (wanted) await key(wanted < 0 ? 90 : 67);
                steering = wanted;
            }
            if (nose > seen.cube[0] + 10 && nose < seen.cube[1] - 10) await key(32);
        }
        await sleep(20);
    }
    return false;
}

// The hall's watch link plays the entered game back: it runs to the same score, takes no
// ticket and offers no panel; a game the hall does not have says so.
async function checkWatch(browser, hallUrl, entry, score) {
    const watch = await browser.newPage();
    await watch.goto(new URL(`play/?watch=${entry.id}`, hallUrl).href);
    await waitFor(watch, "the watched game starts", gameRuns, 30000);
    check(await watch.evaluate(() => !korvanePage.hall && /^Watching game \d+/.test(
              document.getElementById("hallNote").textContent)), "watching takes no ticket and says so");
    if (await waitFor(watch, "the watched game plays to its end",
                      () => document.body.dataset.watched === "1", 240000)) {
        const shown = await watch.$eval("#txtScore", (e) => e.value);
        check(shown === String(score) && !(await watch.$("#hallName")),
              `the watched game ends with the score entered (${shown} for ${score})`);
    }
    await watch.goto(new URL("play/?watch=987654", hallUrl).href);
    await waitFor(watch, "a game the hall does not have says so", () =>
        (document.getElementById("hallNote") || {}).textContent === "There is no such game in the hall.");
    await watch.close();
}

// Each drawing of the viewscreen made inside a frame's yield, by the frame's number: a hash
// of its pixels and when it was drawn. Two pages that draw the same frame of one game draw
// it alike.
const captureFrames = () => {
    window.drawn = {};
    // Only a picture drawn while the game waits out its pace in a frame's yield is the
    // frame's whole picture: one drawn in a flash, or while a sound holds the game, is the
    // frame's half, and whether a display frame falls there depends on the machine's speed.
    let inYield = false;
    const sleep = korvanePage.sleep;
    korvanePage.sleep = (ms, wakeOnEvent, wokenUp) => {
        inYield = ms > 0 && wakeOnEvent;
        sleep(ms, wakeOnEvent, () => { inYield = false; wokenUp(); });
    };
    const draw = korvanePage.drawViewscreen;
    korvanePage.drawViewscreen = () => {
        draw();
        const frame = Module._korvane_frame();
        if (!inYield || Module._korvane_frames_recorded() !== frame - 1 || drawn[frame]) return;
        const c = document.getElementById("Picture1");
        const pixels = new Uint32Array(c.getContext("2d").getImageData(0, 0, c.width, c.height).data.buffer);
        let hash = 0x811c9dc5;
        for (let i = 0; i < pixels.length; i++) hash = Math.imul(hash ^ pixels[i], 0x1000193);
        drawn[frame] = [hash, Date.now()];
    };
};

// A live game for the hall, watched by a second page, until one scores (at most three, each
// in a freshly loaded page); the hall's page lists it while it plays.
async function playLive(browser, page) {
    for (let attempt = 0; attempt < 3; attempt++) {
        await page.goto(new URL("play/", hallUrl).href);
        await waitFor(page, "the game is ready", () => document.body.dataset.ready === "1");
        await waitFor(page, "the page found its hall", () => korvanePage.hall && korvanePage.hall.ticket);
        check(await page.evaluate(() => !("seed" in korvanePage.hall.ticket)), "a ticket without its seed");
        await page.evaluate(captureFrames);
        if (!await startGame(page, 150) ||
            !await waitFor(page, "the start opened the live game", () => korvanePage.hall.live)) return null;
        const live = await page.evaluate(() => korvanePage.hall.live);
        // Joined seconds into the game, the watcher has to catch up.
        await waitFor(page, "the game has played a while", () => Module._korvane_frame() > 600);
        const front = await browser.newPage({type: "window"});  // the player's page stays in view
        await front.goto(hallUrl);
        check(await waitFor(front, "the hall's page lists the game being played", (id) =>
                  !!document.querySelector(`#live a[href="play/?live=${id}"]`), 15000, live.live),
              "the hall's page links the live game");
        await front.close();
        const watcher = await browser.newPage({type: "window"});
        watcher.on("pageerror", (e) => errors.push("watcher: " + e));
        await watcher.goto(new URL(live.watch, hallUrl).href);
        await waitFor(watcher, "the watcher is ready", () => document.body.dataset.ready === "1");
        await watcher.evaluate(captureFrames);
        // The player's About box holds the game in a frame's yield: the watcher plays up to that
        // frame and waits there, before its yield, for the lines that follow.
        await page.click("#cmdHelp");
        await waitFor(page, "the About box holds the game", () => !!document.getElementById("frmAbout"));
        const held = await page.evaluate(() => Module._korvane_frame());
        await waitFor(watcher, "the watcher comes to the frame held", (f) => Module._korvane_frame() >= f - 1, 15000, held);
        const reached = await watcher.evaluate(() => Module._korvane_frame());
        check(reached === held - 1, `the watcher waits for the player's lines (at ${reached} of ${held})`);
        await page.click("#frmAbout #cmdOK");
        if (await playUntilScored(page)) return {live, watcher};
        check(!(await page.$("#hall")), "a game that did not score offers no panel");
        await watcher.close();
    }
    return null;
}

// The watcher drew the player's frames alike, and as it caught up, within about a second of
// the player. Frames whose yield took the player's input are left out: the player may have
// drawn them before the input, the watcher runs a frame's lines first.
async function compareFrames(page, watcher, recording) {
    const [mine, theirs] = [await page.evaluate(() => drawn), await watcher.evaluate(() => drawn)];
    const input = new Set([...recording.matchAll(/^at (\d+) /gm)].map((m) => m[1]));
    const both = Object.keys(mine).filter((f) => theirs[f] && !input.has(f)).map(Number).sort((a, b) => a - b);
    const unlike = both.filter((f) => mine[f][0] !== theirs[f][0]);
    check(both.length >= 5 && unlike.length === 0,
          `the watcher shows the player's frames (${both.length} drawn by both, unlike: ${unlike.slice(0, 5)})`);
    const lags = both.slice(both.length / 2).map((f) => theirs[f][1] - mine[f][1]).sort((a, b) => a - b);
    const lag = lags[Math.floor(lags.length / 2)];
    check(lag <= 1000, `the watcher follows within about a second (${lag} ms at the median)`);
}

const errors = [];
(async () => {
    const browser = await puppeteer.launch({
        executablePath: process.env.CHROMIUM || "/usr/bin/chromium", headless: true,
        args: ["--no-sandbox", "--window-size=1400,700"], defaultViewport: {width: 1340, height: 640}});
    const page = await browser.newPage();
    page.on("pageerror", (e) => errors.push(String(e)));
    // The browser notes every 4xx answer; the hall refusing a name the page asked about is one.
    const nameRefused = (m) => (m.location().url || "").includes("/api/names/check?");
    page.on("console", (m) => { if (m.type() === "error" && !nameRefused(m)) errors.push(m.text()); });
    const api = async (path) => { const answer = await fetch(new URL(path, hallUrl)); return [answer.status, await answer.json()]; };

    const played = await playLive(browser, page);
    check(played, "a live game for the hall scored");
    const recording = await page.evaluate(() => korvanePage.lastGame());
    const score = Number((recording.match(/^expect score (\d+)$/m) || [0, 0])[1]);
    if (played && await waitFor(page, "the panel shows beside the game", () => !!document.getElementById("hall"))) {
        const {live, watcher} = played;
        check(new RegExp(`^seed ${live.seed}$`, "m").test(recording), "the game started from the live game's seed");
        const [panel, stage] = await page.evaluate(() => [document.getElementById("hall"), document.getElementById("stage")]
            .map((e) => { const r = e.getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom]; }));
        check(panel[0] >= stage[2] || panel[1] >= stage[3],
              `the panel is outside the game's window (${panel} beside ${stage})`);
        check(await page.$("#stage #hall") === null, "the panel is no part of the stage");
        // On a phone held upright, its targets are a thumb's and the name field is in view.
        // (Through the protocol: puppeteer's own viewport would load the page again.)
        const cdp = await page.createCDPSession();
        await cdp.send("Emulation.setDeviceMetricsOverride", {width: 390, height: 844, deviceScaleFactor: 3, mobile: true});
        await cdp.send("Emulation.setTouchEmulationEnabled", {enabled: true, maxTouchPoints: 5});
        await waitFor(page, "turned into a phone", () => innerWidth === 390 && document.body.classList.contains("touch"));
        const small = await page.evaluate(() => {
            const v = visualViewport;
            const inView = (r) => r.left >= v.offsetLeft && r.top >= v.offsetTop &&
                r.right <= v.offsetLeft + v.width && r.bottom <= v.offsetTop + v.height;
            return ["hallName", "hallEnter", "hallPlayAgain"].filter((id) => {
                const r = document.getElementById(id).getBoundingClientRect();
                return r.width < 44 || r.height < 44 || (id === "hallName" && !inView(r));
            });
        });
        check(small.length === 0, `on a phone the panel's targets are 44 x 44 and the name in view (not: ${small})`);
        await cdp.send("Emulation.clearDeviceMetricsOverride");
        await cdp.send("Emulation.setTouchEmulationEnabled", {enabled: false});
        // The hall's rule, asked as the name is typed: a zero-width space is refused in its words.
        await page.type("#hallName", "\u200b");
        await waitFor(page, "a zero-width space refused in the hall's words", () =>
            document.getElementById("hallEnter").disabled &&
            document.getElementById("hallAnswer").textContent.includes("U+200B"));
        await page.$eval("#hallName", (e) => { e.value = ""; });
        await page.type("#hallName", "Zed <b>Tester</b>");
        await waitFor(page, "the name taken", () => !document.getElementById("hallEnter").disabled);
        await page.click("#hallEnter");
        await waitFor(page, "the hall answers", () =>
            !["", "Sending ..."].includes(document.getElementById("hallAnswer").textContent));
        const answer = await page.$eval("#hallAnswer", (e) => e.textContent);
        // The name's first score: the key the hall answered is shown and kept for this hall.
        const kept = await page.evaluate(() => Object.entries(localStorage).find(([k]) => k.startsWith("korvane.hallKey ")));
        check(answer.startsWith(`Entered at rank 1 with ${score} (`) && kept && answer.includes(kept[1]),
              `the rank and the kept key are shown: "${answer}"`);
        const [status, list] = await api("api/scores");
        const entry = status === 200 && list.scores.find((s) => s.name === "Zed <b>Tester</b>");
        check(entry && entry.score === score && score > 0 && entry.rank === 1,
              `the hall lists the replayed score ${score}: ${JSON.stringify(list)}`);
        if (await waitFor(watcher, "the watched live game ends", () => document.body.dataset.watched === "1", 30000)) {
            const [note, shown] = await watcher.evaluate(() => [document.getElementById("hallNote").textContent,
                                                                document.getElementById("txtScore").value]);
            check(note === `Live: the game has ended with ${score} points.` && shown === String(score),
                  `the watcher ends with the player's score (${note} ${shown})`);
        }
        await compareFrames(page, watcher, recording);
        if (entry) await checkWatch(browser, hallUrl, entry, score);
        // The next game is a fresh program's first game again: the start loads the page anew.
        await page.click("#cmdStart");
        await waitFor(page, "the start after a hall game reloads the page",
                      () => document.body.dataset.ready === "1" && !document.getElementById("hall"));
    }
    check(errors.length === 0, "no page errors" + (errors.length ? ": " + errors.join(" | ") : ""));
    if (played) {
        // A batch the hall refuses ends the hall's part, in the hall's words; the game plays on.
        await startGame(page, 0);
        await page.evaluate(() => korvanePage.record("set score 99"));
        await waitFor(page, "the hall's refusal is told", () => /^No longer played for the hall: .*'set'/.test(
            (document.getElementById("hallNote") || {}).textContent));
        check(await page.evaluate(gameRuns), "the game plays on after the hall's refusal");
        await page.evaluate(() => korvanePage.command("set score 3"));
        await page.click("#cmdStart");
        await waitFor(page, "the refused game ends", () => /^expect score 3$/m.test(korvanePage.lastGame()));
        check(!(await page.$("#hallName")), "a game the hall refused offers no panel");
    }

    // Served as plain files under /play/: no hall answers, the game plays as it would, and a
    // game that scored offers nothing.
    const plain = await browser.newPage();
    await plain.goto(new URL("play/", staticUrl).href);
    await waitFor(plain, "the plain page is ready", () => document.body.dataset.ready === "1");
    await startGame(plain, 0);
    await plain.evaluate(() => korvanePage.command("set score 7"));
    await plain.click("#cmdStart");
    await waitFor(plain, "the plain game ends", () => /^expect score/m.test(korvanePage.lastGame()));
    const plainScore = await plain.evaluate(() => (korvanePage.lastGame().match(/^expect score (\d+)$/m) || [])[1]);
    check(plainScore === "7" && !(await plain.$("#hall")),
          `served without a hall, a game that scored (${plainScore}) shows no panel`);
    await browser.close();
    finish();
})().catch((e) => { console.error(e); process.exit(1); });
