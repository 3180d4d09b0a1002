// Playing for a hall of fame: when korvane-hall serves this page (under /play/), the first
// start opens a live game, whose answer brings the game's seed, and the lines the recorder
// writes go to the hall as the game is played, in batches, so that the hall holds them
// against the game's own pace and passes them on to anyone watching. After a game that
// scored, a small panel beside the game's window offers to enter it. /play/?watch=ID plays
// the hall's game ID back at its own pace; /play/?live=ID watches a game while it is played.
// Served as plain static files, nothing here shows or acts.
//
// The hall replays a recording of one game from a fresh program: the win score after
// "harder", the cube's and the clock's counters carry over between games of one run. So a
// hall game is the first game after the page loaded, and a start after it loads the page
// afresh for the next one.
"use strict";

(function () {
    const page = window.korvanePage;
    const api = (path) => new URL("../api/" + path, location.href).href;
    const byId = (id) => document.getElementById(id);
    // fresh, starting (the live game opens), playing, ended, or off (not for the hall)
    const hall = {state: "fresh", ticket: null, taken: 0, submitting: false, live: null,
                  refused: null, sent: Promise.resolve(true), batches: 0};
    // A batch goes as often as the hall says when the live game opens (live.batch, in ms).
    // How long a batch is sent again while no hall can take it: longer than a live game's
    // takeover by another hall (its lease, 2.5 s) or a hall's restart.
    const kBatchRetryMillis = 15000;
    // The player's key for this hall, in this browser's localStorage under the hall's address:
    // the hall answers it with the first score under a name and wants it with every later one.
    const keyItem = "korvane.hallKey " + new URL("../", location.href).href;
    const storedKey = () => { try { return localStorage.getItem(keyItem) || ""; } catch (e) { return ""; } };
    const keepKey = (key) => { try { localStorage.setItem(keyItem, key); } catch (e) { /* not kept */ } };
    // The pause in the typing of a name after which the hall is asked about it.
    const kNamePauseMillis = 300;
    // A ticket is renewed at the start once half of its life is gone, so that the game has
    // the other half to be played and entered; the hall says in `expires` when it ends.
    const halfLifeGone = () =>
        !(Date.now() - hall.taken < (Date.parse(hall.ticket.expires) - hall.taken) / 2);

    async function takeTicket() {
        try {
            const answer = await fetch(api("tickets"), {method: "POST"});
            if (answer.status !== 201) return null;
            const ticket = await answer.json();
            if (typeof ticket.ticket !== "string") return null;
            hall.ticket = ticket;
            hall.taken = Date.now();
            return ticket;
        } catch (e) {
            return null;
        }
    }
    // The hall's words for a refusal, or ours when it gave none.
    async function messageOf(answer) {
        try {
            const body = await answer.json();
            if (typeof body.message === "string" && body.message) return body.message;
        } catch (e) { /* no JSON */ }
        return `The hall refused it (${answer.status}).`;
    }
    // korvane-hall marks the page it serves with a Server-Timing entry of its name; only
    // then is a hall asked for a ticket, so that a page served elsewhere makes no requests
    // that could only fail.
    const navigation = performance.getEntriesByType("navigation")[0];
    const servedByHall = !!navigation && (navigation.serverTiming || []).some((t) => t.name === "korvane-hall");
    if (!servedByHall) return;
    // /play/?watch=ID and /play/?live=ID: a game of the hall watched; no ticket, no panel.
    const query = new URLSearchParams(location.search);
    if (query.get("watch") !== null) {
        watchGame(query.get("watch"));
        return;
    }
    if (query.get("live") !== null) {
        watchLive(query.get("live"));
        return;
    }
    const detected = takeTicket();
    page.hall = hall;

    const gameRuns = () => {
        const phaser = byId("cmdPhaser");
        return page.modal || (phaser && !phaser.disabled);
    };

    // The start click while no game runs: the live game opens first, then its seed is
    // given, then the click.
    document.addEventListener("click", (e) => {
        if (!e.target.closest || !e.target.closest("#frmKorvane #cmdStart") || gameRuns()) return;
        if (hall.state === "fresh") {
            e.stopImmediatePropagation();
            e.preventDefault();
            hall.state = "starting";
            startHallGame();
        } else if (hall.state === "starting") {
            e.stopImmediatePropagation();  // the live game is opening
        } else if (hall.state === "ended") {
            e.stopImmediatePropagation();
            if (!hall.submitting) location.reload();
        }
    }, true);

    async function startHallGame() {
        let ticket = await detected;
        if (ticket && halfLifeGone()) ticket = await takeTicket();
        const live = ticket && await openLive(ticket);
        if (live) {
            hall.live = live;
            page.post("frmKorvane", page.inputLine("seed", live.seed));
            hall.state = "playing";
            hall.timer = setInterval(sendBatch, live.batch);
        } else {
            hall.state = "off";  // no hall after all: the game plays on as it would
            unsent.length = 0;
        }
        page.post("frmKorvane", page.inputLine("button", "cmdStart"));
    }

    async function openLive(ticket) {
        try {
            const answer = await fetch(api("live"), {
                method: "POST", headers: {"Content-Type": "application/json"},
                body: JSON.stringify({ticket: ticket.ticket})});
            if (answer.status !== 201) {
                showNote("Not played for the hall: " + await messageOf(answer));
                return null;
            }
            const live = await answer.json();
            const valid = typeof live.live === "string" && /^[0-9a-f]{32}$/.test(live.live) &&
                Number.isSafeInteger(live.seed) && Number.isSafeInteger(live.batch) &&
                live.batch >= 50 && live.batch <= 5000;
            return valid ? live : null;
        } catch (e) {
            return null;
        }
    }

    // ---- The lines, to the hall as they are written --------------------------------------
    // Every line since the page loaded goes: the hall replays the session from its start.
    const unsent = [];
    const record = page.record;
    page.record = (line) => {
        record(line);
        if (["fresh", "starting", "playing"].includes(hall.state) && !page.watching) unsent.push(line);
    };
    // The lines written since the last batch and the frames whose lines are all written.
    // Batches are handed to fetch one after the other, never waiting for an answer, so that
    // a slow answer holds up neither the game nor the next batch; hall.sent resolves true
    // once all of them so far have been taken.
    function sendBatch() {
        if (hall.state !== "playing" || hall.refused !== null) return;
        // A dialog open says the game stands for the player; one the hall has not met yet
        // (the victory's, whose choice is written as it closes) opens in the next frame.
        // Its number puts it in its place should another connection bring the next one first.
        const marks = Module.UTF8ToString(Module._korvane_batch_marks(++hall.batches, page.modal ? 1 : 0));
        const body = unsent.map((line) => line + "\n").join("") + marks;
        unsent.length = 0;
        // Only the player sends the game's lines: the ticket that opened it says who that is.
        const taken = postBatch(body, Date.now());
        const before = hall.sent;
        hall.sent = Promise.all([before, taken]).then(([a, b]) => a && b);
    }
    // A hall that died, restarts or has lost its database answers nothing, or 502 to 504:
    // the batch goes again for a while, to whichever hall carries the game on (its number
    // keeps it from running twice). Resolves true once the hall has taken it.
    function postBatch(body, firstSent) {
        const again = () => new Promise((done) => setTimeout(done, hall.live.batch))
            .then(() => hall.refused === null ? postBatch(body, firstSent) : false);
        const late = () => Date.now() - firstSent >= kBatchRetryMillis;
        return fetch(api(`live/${hall.live.live}/lines`), {
            method: "POST", body,
            headers: {"Content-Type": "text/plain", "Authorization": `Bearer ${hall.ticket.ticket}`},
        }).then(async (answer) => {
            if (answer.status === 204) return true;
            if ([502, 503, 504].includes(answer.status) && !late()) return again();
            return refuse(await messageOf(answer));
        }, () => late() ? refuse("The hall cannot be reached.") : again());
    }
    // A refused batch ends the hall's part of the game; the game itself plays on.
    function refuse(message) {
        if (hall.refused === null) {
            hall.refused = message;
            clearInterval(hall.timer);
            if (hall.state === "playing") showNote("No longer played for the hall: " + message);
        }
        return false;
    }

    // The game's end, as its recording is complete: its last lines go at once.
    const gameRecorded = page.gameRecorded;
    page.gameRecorded = function () {
        gameRecorded();
        if (hall.state !== "playing") return;
        clearInterval(hall.timer);
        sendBatch();
        hall.state = "ended";
        const scores = [...page.lastGame().matchAll(/^expect score (-?\d+)$/gm)];
        const score = scores.length ? Number(scores[scores.length - 1][1]) : 0;
        if (score > 0 && hall.refused === null) showPanel(score);
    };

    // ---- Watching a game of the hall ---------------------------------------------------
    function notePanel() {
        const note = element("p", {id: "hallNote"});
        const panel = element("div", {id: "hall"}, note);
        stylePanel(panel);
        document.body.append(panel);
        keepPlaced(panel);
        return (text) => { note.textContent = text; placePanel(panel); };
    }

    async function watchGame(id) {
        const show = notePanel();
        if (!/^[1-9][0-9]{0,17}$/.test(id)) {
            show("There is no such game in the hall.");
            return;
        }
        try {
            const answer = await fetch(api(`scores/${id}/recording`));
            if (answer.status !== 200) {
                show("There is no such game in the hall.");
                return;
            }
            const recording = await answer.text();
            const watchEnded = page.watchEnded;
            page.watchEnded = () => { watchEnded(); show(`Game ${id} of the hall has ended.`); };
            // The bar under the window (watch_bar.js), which the note keeps clear of, reads
            // the game through first.
            const bar = page.watchBar({live: false});
            show(`Watching game ${id} of the hall.`);
            bar.watch(recording);
        } catch (e) {
            show("The hall cannot be reached.");
        }
    }

    // A game as it is played: the hall's stream sends every batch so far, then each as it
    // comes, one event each, and at the end the verified score or why the hall refused it.
    function watchLive(id) {
        const show = notePanel();
        if (!/^[0-9a-f]{32}$/.test(id)) {
            show("There is no such live game in the hall.");
            return;
        }
        page.watchLive();
        page.watchBar({live: true});
        show("Live: watching a game of the hall as it is played.");
        const stream = new EventSource(api(`live/${id}/stream`));
        // Each event is a batch, its id the batch's number: after a lost connection the
        // browser connects again (to whichever hall answers) with the last id it read, and
        // the hall goes on after it; a batch seen already is passed over all the same.
        let last = -1;
        stream.onmessage = (e) => {
            const id = e.lastEventId === "" ? NaN : Number(e.lastEventId);
            if (Number.isInteger(id) && id <= last) return;
            if (Number.isInteger(id)) last = id;
            page.watchLines(e.data + "\n");
        };
        stream.addEventListener("end", (e) => {
            stream.close();
            let end = {};
            try { end = JSON.parse(e.data); } catch (error) { /* said below */ }
            if (Number.isSafeInteger(end.score)) {
                const watchEnded = page.watchEnded;
                page.watchEnded = () => {
                    watchEnded();
                    show(`Live: the game has ended with ${end.score} points.`);
                };
                page.watchLines(null);
            } else {
                // The game stops where the hall's lines stop.
                show(`Live: the hall stopped following this game (${end.error || "no reason"}).`);
            }
        });
        stream.onerror = () => {
            if (stream.readyState !== EventSource.CLOSED) return;  // connecting again
            show(last >= 0 ? "The hall cannot be reached." : "There is no such live game in the hall.");
        };
    }

    // ---- The panel, beside the game's window -------------------------------------------
    function element(tag, properties, ...children) {
        const e = Object.assign(document.createElement(tag), properties);
        e.append(...children);
        return e;
    }

    function stylePanel(panel) {
        Object.assign(panel.style, {background: "#c0c0c0", color: "#000", padding: "8px",
                                    border: "2px outset #e8e8e8", font: "12px sans-serif",
                                    maxWidth: "260px"});
    }

    // Beside the window, or below it, or else over its bottom right corner, where the game
    // that just ended has nothing left to show; always within the visible area, which the
    // on-screen keyboard of a phone leaves above it while the name is typed.
    function placePanel(panel) {
        // The window, and the bar under a watched game's window with it (watch_bar.js).
        const [game, bar] = [byId("stage"), byId("watchBar")].map((e) => e && e.getBoundingClientRect());
        const stage = !bar ? game : {left: Math.min(game.left, bar.left), top: game.top,
                                     right: Math.max(game.right, bar.right), bottom: Math.max(game.bottom, bar.bottom)};
        const v = window.visualViewport || {offsetLeft: 0, offsetTop: 0, width: innerWidth, height: innerHeight};
        const [width, height] = [panel.offsetWidth, panel.offsetHeight];
        let [left, top] = [v.offsetLeft + v.width - width - 8, v.offsetTop + v.height - height - 8];
        if (v.offsetLeft + v.width - stage.right >= width + 16) {
            [left, top] = [stage.right + 8, stage.top];
        } else if (v.offsetTop + v.height - stage.bottom >= height + 16) {
            [left, top] = [stage.left, stage.bottom + 8];
        }
        top = Math.max(v.offsetTop, Math.min(top, v.offsetTop + v.height - height - 8));
        Object.assign(panel.style, {position: "fixed", zIndex: 10, left: left + "px", top: top + "px"});
    }
    function keepPlaced(panel) {
        const again = () => placePanel(panel);
        window.addEventListener("resize", again);
        if (window.visualViewport) {
            for (const kind of ["resize", "scroll"]) window.visualViewport.addEventListener(kind, again);
        }
        placePanel(panel);
    }

    // One line about the hall while the game plays: why it is not, or no longer, for the hall.
    function showNote(text) {
        if (!byId("hall")) hall.note = notePanel();
        if (hall.note) hall.note(text);
    }

    function showPanel(score) {
        const name = element("input", {id: "hallName", autocomplete: "nickname",
                                       placeholder: "your name"});
        const enter = element("button", {id: "hallEnter", type: "submit"}, "Enter the hall of fame");
        const again = element("button", {id: "hallPlayAgain", type: "button"}, "Play again");
        const answer = element("p", {id: "hallAnswer"});
        const form = element("form", {}, element("p", {}, "Your score: " + score), name, " ",
                             enter);
        const panel = element("div", {id: "hall"}, form, answer, again, " ", keyPanel());
        stylePanel(panel);
        // The panel's keys are its own, never the game's.
        for (const kind of ["keydown", "keyup"]) {
            window.addEventListener(kind, (e) => {
                if (panel.contains(e.target)) e.stopPropagation();
            }, true);
        }
        again.addEventListener("click", () => { if (!hall.submitting) location.reload(); });
        // The hall's own rule for names, asked once the typing pauses: its words below, and
        // no entering a name it refuses until it takes the name as it then is.
        let asked = 0;
        let pause = null;
        name.addEventListener("input", () => {
            clearTimeout(pause);
            const question = ++asked;
            pause = setTimeout(async () => {
                const refusal = await nameRefusal(name.value);
                if (question !== asked || hall.submitting) return;
                answer.textContent = refusal;
                enter.disabled = !!refusal || !!hall.refused;
            }, kNamePauseMillis);
        });
        form.addEventListener("submit", async (e) => {
            e.preventDefault();
            if (hall.submitting) return;
            clearTimeout(pause);
            asked++;  // an answer still on its way is about an older name
            hall.submitting = true;
            enter.disabled = true;
            answer.textContent = "Sending ...";
            const result = await submit(name.value);
            hall.submitting = false;
            answer.textContent = result.text;
            if (result.accepted) name.disabled = true; else enter.disabled = !!hall.refused;
        });
        document.body.append(panel);
        keepPlaced(panel);
        name.addEventListener("focus", () => placePanel(panel));
        name.focus();
    }

    // The key on request, and a key from another device put in its place.
    function keyPanel() {
        const show = element("button", {id: "hallKeyShow", type: "button"}, "Your key");
        const text = element("p", {id: "hallKeyText", hidden: true});
        const other = element("input", {id: "hallKeyInput", placeholder: "a key from another device",
                                        maxLength: 32, hidden: true});
        other.setAttribute("aria-label", "Key");
        const use = element("button", {id: "hallKeyUse", type: "button", hidden: true}, "Use this key");
        show.addEventListener("click", () => {
            const key = storedKey();
            text.textContent = (key ? "Your key for this hall: " + key + ". "
                                    : "You have no key for this hall yet: your first score gets one. ") +
                "It is kept in this browser (localStorage, for this hall's address). To play on " +
                "another device, copy it there: its hall panel's \"Your key\", or the desktop's " +
                "hall-keys.conf.";
            for (const e of [text, other, use]) e.hidden = false;
            placePanel(show.closest("#hall"));
        });
        use.addEventListener("click", () => {
            if (/^[0-9a-f]{32}$/.test(other.value.trim())) {
                keepKey(other.value.trim());
                text.textContent = "This browser now sends that key.";
            } else {
                text.textContent = "A key is 32 digits and letters a to f.";
            }
        });
        return element("div", {}, show, text, other, " ", use);
    }

    // Why the hall would refuse the name, or "" (also when it cannot be asked: entering the
    // name then says).
    async function nameRefusal(text) {
        try {
            const answer = await fetch(api("names/check?name=" + encodeURIComponent(text)));
            if (answer.status === 400) return await messageOf(answer);
        } catch (e) { /* not asked */ }
        return "";
    }

    // The hall has the game's lines: the name is all it needs to enter it.
    async function submit(name) {
        if (!await hall.sent) return {accepted: false, text: hall.refused};
        try {
            const answer = await fetch(api("scores"), {
                method: "POST",
                headers: {"Content-Type": "application/json"},
                body: JSON.stringify(Object.assign({ticket: hall.ticket.ticket, name},
                                                    storedKey() ? {key: storedKey()} : {})),
            });
            if (answer.status !== 201) return {accepted: false, text: await messageOf(answer)};
            const body = await answer.json();
            const entered = `Entered at rank ${body.rank} with ${body.score} (${body.category}).`;
            if (!body.key) return {accepted: true, text: entered};
            keepKey(body.key);
            return {accepted: true, text: entered + " The name is yours: your key for this hall, " +
                    body.key + ", is kept in this browser (see \"Your key\")."};
        } catch (e) {
            return {accepted: false, text: "The hall cannot be reached."};
        }
    }
})();
