// The browser build played for a hall of fame: served by korvane-hall under /play/, the
// start takes a ticket and starts from its seed; a game that scored offers the panel beside
// the game's window, the name goes in with the game's recording, the rank comes back and the
// hall lists the score it replayed, and its watch link plays the game back to that score.
// Served as plain files, no panel ever shows.
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
              document.getElementById("hallWatch").textContent)), "watching takes no ticket and says so");
    if (await waitFor(watch, "the watched game plays to its end",
                      () => document.body.dataset.watched === "1", 240000)) {
        const shown = await watch.$eval("#txtScore", (e) => e.value);
        check(shown === String(score) && !(await watch.$("#hallName")),
              `the watched game ends with the score entered (${shown} for ${score})`);
    }
    await watch.goto(new URL("play/?watch=987654", hallUrl).href);
    await waitFor(watch, "a game the hall does not have says so", () =>
        (document.getElementById("hallWatch") || {}).textContent === "There is no such game in the hall.");
    await watch.close();
}

(async () => {
    const browser = await puppeteer.launch({
        executablePath: process.env.CHROMIUM || "/usr/bin/chromium", headless: true,
        args: ["--no-sandbox", "--window-size=1400,700"], defaultViewport: {width: 1340, height: 640}});
    const page = await browser.newPage();
    const errors = [];
    page.on("pageerror", (e) => errors.push(String(e)));
    page.on("console", (m) => { if (m.type() === "error") errors.push(m.text()); });
    const api = async (path, method = "GET") => {
        const answer = await fetch(new URL(path, hallUrl), {method});
        return [answer.status, await answer.json()];
    };

    // For the hall: up to three games, each in a freshly loaded page, until one scores.
    let scored = false;
    let ticketsBefore = 0;
    for (let attempt = 0; attempt < 3 && !scored; attempt++) {
        await page.goto(new URL("play/", hallUrl).href);
        await waitFor(page, "the game is ready", () => document.body.dataset.ready === "1");
        await waitFor(page, "the page found its hall", () => korvanePage.hall && korvanePage.hall.ticket);
        ticketsBefore = await page.evaluate(() => korvanePage.hall.ticket.seed);
        if (!await startGame(page, 150)) break;
        scored = await playUntilScored(page);
        if (!scored) {
            check(!(await page.$("#hall")), "a game that did not score offers no panel");
        }
    }
    check(scored, "a game for the hall scored");
    const recording = await page.evaluate(() => korvanePage.lastGame());
    check(new RegExp(`^seed ${ticketsBefore}$`, "m").test(recording),
          "the game started from the ticket's seed");
    const score = Number((recording.match(/^expect score (\d+)$/m) || [0, 0])[1]);

    if (await waitFor(page, "the panel shows beside the game", () => !!document.getElementById("hall"))) {
        const [panel, stage] = await page.evaluate(() => [document.getElementById("hall"), document.getElementById("stage")]
            .map((e) => { const r = e.getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom]; }));
        check(panel[0] >= stage[2] || panel[1] >= stage[3],
              `the panel is outside the game's window (${panel} beside ${stage})`);
        check(await page.$("#stage #hall") === null, "the panel is no part of the stage");
        await page.type("#hallName", "Zed <b>Tester</b>");
        await page.click("#hallEnter");
        await waitFor(page, "the hall answers", () =>
            !["", "Sending ..."].includes(document.getElementById("hallAnswer").textContent));
        const answer = await page.$eval("#hallAnswer", (e) => e.textContent);
        check(/^Entered at rank 1 with \d+\.$/.test(answer), `the rank is shown: "${answer}"`);
        const [status, list] = await api("api/scores");
        const entry = status === 200 && list.scores.find((s) => s.name === "Zed <b>Tester</b>");
        check(entry && entry.score === score && score > 0 && entry.rank === 1,
              `the hall lists the replayed score ${score}: ${JSON.stringify(list)}`);
        if (entry) await checkWatch(browser, hallUrl, entry, score);
        // The next game is a fresh program's first game again: the start loads the page anew.
        await page.click("#cmdStart");
        await waitFor(page, "the start after a hall game reloads the page",
                      () => document.body.dataset.ready === "1" && !document.getElementById("hall"));
    }
    check(errors.length === 0, "no page errors" + (errors.length ? ": " + errors.join(" | ") : ""));

    // Served as plain files under /play/: no hall answers, the game plays as it would, and a
    // game that scored offers nothing.
    const plain = await browser.newPage();
    await plain.goto(new URL("play/", staticUrl).href);
    await waitFor(plain, "the plain page is ready", () => document.body.dataset.ready === "1");
    await startGame(plain, 0);
    await plain.evaluate(() => korvanePage.command("set score 7"));
    await sleep(200);
    await plain.click("#cmdStart");
    await waitFor(plain, "the plain game stops", () => document.getElementById("cmdPhaser").disabled);
    const plainScore = await plain.evaluate(() => (korvanePage.lastGame().match(/^expect score (\d+)$/m) || [])[1]);
    await sleep(500);
    check(plainScore === "7" && !(await plain.$("#hall")),
          `served without a hall, a game that scored (${plainScore}) shows no panel`);
    await browser.close();
    finish();
})().catch((e) => { console.error(e); process.exit(1); });
