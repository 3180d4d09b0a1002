// The browser build played for a hall of fame: served by korvane-hall under /play/, the
// start takes a ticket and starts from its seed; a game that scored offers the panel beside
// the game's window, the name goes in with the game's recording, the rank comes back and the
// hall lists the score it replayed. Served as plain files, no panel ever shows.
//   node hall_web_test.js HALL_URL STATIC_URL
"use strict";
const puppeteer = require("puppeteer-core");

const [hallUrl, staticUrl] = process.argv.slice(2);
const failures = [];
const check = (ok, what) => { if (!ok) failures.push(what); console.log((ok ? "ok   " : "FAIL ") + what); };
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
async function waitFor(page, what, fn, timeout = 15000) {
    try { await page.waitForFunction(fn, {timeout}); return true; }
    catch (e) { check(false, what + " (timed out)"); return false; }
}
const gameRuns = () => !document.getElementById("cmdPhaser").disabled;

// Starts a game at 0 stars through the page's own start button and the settings dialog.
async function startGame(page) {
    await page.evaluate(() => korvanePage.command("stars 0"));
    await page.click("#cmdStart");
    if (!await waitFor(page, "the settings dialog opens", () => !!document.querySelector("#frmStart #cmdOK"))) return false;
    await page.click("#cmdOK");
    return waitFor(page, "the game starts", gameRuns);
}

// Torpedoes straight up from the ship until one strikes the cube, then the stop; false when
// the game ended first without a score (the cube may win).
async function playUntilScored(page) {
    for (let i = 0; i < 400; i++) {
        const [score, runs] = await page.evaluate(() =>
            [Number(document.getElementById("txtScore").value), !document.getElementById("cmdPhaser").disabled]);
        if (score > 0 && runs) {
            await page.click("#cmdStart");
            // The cube may still end the game first, with its dialog: then the dialog is closed.
            const ended = await waitFor(page, "the stop ends the game", () =>
                document.getElementById("cmdPhaser").disabled || !!document.querySelector("#cmdClose"), 60000);
            if (await page.$("#cmdClose")) await page.keyboard.press("Enter");
            return ended;
        }
        if (!runs) {
            // A dialog that ends the game: close it; the game counts as it stands.
            if (await page.$("#cmdClose")) await page.keyboard.press("Enter");
            return score > 0;
        }
        await page.evaluate(() => korvanePage.command("keyup 32"));
        await sleep(30);
    }
    return false;
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
        if (!await startGame(page)) break;
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
    await startGame(plain);
    await plain.evaluate(() => korvanePage.command("set score 7"));
    await sleep(200);
    await plain.click("#cmdStart");
    await waitFor(plain, "the plain game stops", () => document.getElementById("cmdPhaser").disabled);
    const plainScore = await plain.evaluate(() => (korvanePage.lastGame().match(/^expect score (\d+)$/m) || [])[1]);
    await sleep(500);
    check(plainScore === "7" && !(await plain.$("#hall")),
          `served without a hall, a game that scored (${plainScore}) shows no panel`);
    await browser.close();
    process.exit(failures.length ? 1 : 0);
})().catch((e) => { console.error(e); process.exit(1); });
