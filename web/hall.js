// Playing for a hall of fame: when korvane-hall serves this page (under /play/), each game
// starts from a ticket's seed, and after a game that scored a small panel beside the game's
// window offers to enter it; /play/?watch=ID plays the hall's game ID back at its own pace.
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
    const hall = {state: "fresh", ticket: null, taken: 0, submitting: false};
    // A ticket is renewed at the start once half of its life is gone, so that the game has
    // the other half to be played and sent in; the hall says in `expires` when it ends.
    const halfLifeGone = () =>
        !(Date.now() - hall.taken < (Date.parse(hall.ticket.expires) - hall.taken) / 2);

    async function takeTicket() {
        try {
            const answer = await fetch(api("tickets"), {method: "POST"});
            if (answer.status !== 201) return null;
            const ticket = await answer.json();
            if (typeof ticket.ticket !== "string" || !Number.isSafeInteger(ticket.seed)) return null;
            hall.ticket = ticket;
            hall.taken = Date.now();
            return ticket;
        } catch (e) {
            return null;
        }
    }
    // korvane-hall marks the page it serves with a Server-Timing entry of its name; only
    // then is a hall asked for a ticket, so that a page served elsewhere makes no requests
    // that could only fail.
    const navigation = performance.getEntriesByType("navigation")[0];
    const servedByHall = !!navigation && (navigation.serverTiming || []).some((t) => t.name === "korvane-hall");
    if (!servedByHall) return;
    // /play/?watch=ID: the hall's game ID played back at its own pace; no ticket, no panel.
    const watched = new URLSearchParams(location.search).get("watch");
    if (watched !== null) {
        watchGame(watched);
        return;
    }
    const detected = takeTicket();
    page.hall = hall;

    const gameRuns = () => {
        const phaser = byId("cmdPhaser");
        return page.modal || (phaser && !phaser.disabled);
    };

    // The start click while no game runs: the ticket first, then its seed, then the click.
    document.addEventListener("click", (e) => {
        if (!e.target.closest || !e.target.closest("#frmKorvane #cmdStart") || gameRuns()) return;
        if (hall.state === "fresh") {
            e.stopImmediatePropagation();
            e.preventDefault();
            hall.state = "starting";
            startHallGame();
        } else if (hall.state === "starting") {
            e.stopImmediatePropagation();  // the ticket is on its way
        } else if (hall.state === "ended") {
            e.stopImmediatePropagation();
            if (!hall.submitting) location.reload();
        }
    }, true);

    async function startHallGame() {
        let ticket = await detected;
        if (ticket && halfLifeGone()) ticket = await takeTicket();
        if (ticket) {
            page.command("seed " + ticket.seed);
            hall.state = "playing";
        } else {
            hall.state = "off";  // no hall after all: the game plays on as it would
        }
        page.command("click cmdStart");
    }

    // The game's end, as its recording is complete.
    const gameRecorded = page.gameRecorded;
    page.gameRecorded = function () {
        gameRecorded();
        if (hall.state !== "playing") return;
        hall.state = "ended";
        const recording = page.lastGame();
        const scores = [...recording.matchAll(/^expect score (-?\d+)$/gm)];
        const score = scores.length ? Number(scores[scores.length - 1][1]) : 0;
        if (score > 0) showPanel(score, recording);
    };

    // ---- Watching a game of the hall ---------------------------------------------------
    async function watchGame(id) {
        const note = element("p", {id: "hallWatch"});
        const panel = element("div", {id: "hall"}, note);
        stylePanel(panel);
        document.body.append(panel);
        const show = (text) => { note.textContent = text; placePanel(panel); };
        keepPlaced(panel);
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
            show(`Watching game ${id} of the hall.`);
            const watchEnded = page.watchEnded;
            page.watchEnded = () => { watchEnded(); show(`Game ${id} of the hall has ended.`); };
            page.watch(recording);
        } catch (e) {
            show("The hall cannot be reached.");
        }
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
        const stage = byId("stage").getBoundingClientRect();
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

    function showPanel(score, recording) {
        const name = element("input", {id: "hallName", maxLength: 24, autocomplete: "nickname",
                                       placeholder: "your name"});
        const enter = element("button", {id: "hallEnter", type: "submit"}, "Enter the hall of fame");
        const again = element("button", {id: "hallPlayAgain", type: "button"}, "Play again");
        const answer = element("p", {id: "hallAnswer"});
        const form = element("form", {}, element("p", {}, "Your score: " + score), name, " ",
                             enter);
        const panel = element("div", {id: "hall"}, form, answer, again);
        stylePanel(panel);
        // The panel's keys are its own, never the game's.
        for (const kind of ["keydown", "keyup"]) {
            window.addEventListener(kind, (e) => {
                if (panel.contains(e.target)) e.stopPropagation();
            }, true);
        }
        again.addEventListener("click", () => { if (!hall.submitting) location.reload(); });
        form.addEventListener("submit", async (e) => {
            e.preventDefault();
            if (hall.submitting) return;
            hall.submitting = true;
            enter.disabled = true;
            answer.textContent = "Sending ...";
            const result = await submit(name.value, recording);
            hall.submitting = false;
            answer.textContent = result.text;
            if (result.accepted) name.disabled = true; else enter.disabled = false;
        });
        document.body.append(panel);
        keepPlaced(panel);
        name.addEventListener("focus", () => placePanel(panel));
        name.focus();
    }

    async function submit(name, recording) {
        try {
            const answer = await fetch(api("scores"), {
                method: "POST",
                headers: {"Content-Type": "application/json"},
                body: JSON.stringify({ticket: hall.ticket.ticket, name, recording}),
            });
            const body = await answer.json();
            if (answer.status === 201) {
                return {accepted: true, text: `Entered at rank ${body.rank} with ${body.score}.`};
            }
            return {accepted: false, text: body.message || "The hall refused it."};
        } catch (e) {
            return {accepted: false, text: "The hall cannot be reached."};
        }
    }
})();
