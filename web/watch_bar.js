// The bar under a watched game's window (/play/?watch=ID and ?live=ID, hall.js): pause and
// play, the speeds 1/2x to 8x, the position by the game's emulated time with the score's
// changes marked on it, and for a live game a button back to its now. The keys do the same:
// the space bar pauses, the arrows left and right jump 5 s, < and > change the speed.
//
// The game itself does the work (web_shell.cpp): the bar hands it "pause", "speed" and
// "seek" (korvanePage.watchControl); a jump forwards runs the frames up to the time chosen
// without waiting or drawing, and a jump back plays the game again from its start, in a
// program made afresh, as fast as it runs (korvanePage.watchAgain). A whole recording is
// first played so, to its end, to learn its length and where its score changed; then it
// plays from its start at its own pace. A live game's bar is as long as the game has been
// played so far.
"use strict";

(function (page) {
    const kSpeeds = [[0.5, "\u00bdx"], [1, "1x"], [2, "2x"], [4, "4x"], [8, "8x"]];
    const kJumpMicros = 5e6;
    // Further than any game's end: the game hurries to its end.
    const kEndMicros = 1e15;
    const kRefreshMillis = 100;

    // Until the game has loaded (page.ready), nothing has played.
    const loaded = () => document.body.dataset.ready === "1";
    const micros = () => (loaded() ? Module._korvane_watch_micros() : 0);
    const furthest = () => (loaded() ? Module._korvane_watch_furthest() : 0);
    const clock = (us) => {
        const s = Math.max(0, Math.floor(us / 1e6));
        return `${Math.floor(s / 60)}:${String(s % 60).padStart(2, "0")}`;
    };
    function element(tag, properties, label, ...children) {
        const e = Object.assign(document.createElement(tag), properties);
        if (label) e.setAttribute("aria-label", label);
        e.append(...children);
        return e;
    }

    // The bar for a game watched whole (live false) or as it is played; returns
    // {watch(RECORDING)} for the first.
    page.watchBar = function ({live}) {
        const state = {paused: false, speed: 1, length: 0, surveying: !live, ended: false,
                       marks: 0, dragging: false};
        const pause = element("button", {id: "watchPause", type: "button"}, "pause", "\u275a\u275a");
        const speeds = element("div", {id: "watchSpeeds", className: "watch-group"}, "speed");
        speeds.setAttribute("role", "group");
        for (const [speed, text] of kSpeeds) {
            const b = element("button", {type: "button", className: "watch-speed"}, `speed ${text}`, text);
            b.dataset.speed = speed;
            b.addEventListener("click", () => setSpeed(speed));
            speeds.append(b);
        }
        const position = element("input", {id: "watchPosition", type: "range", min: 0, max: 0,
                                           step: 100, value: 0}, "position");
        const marks = element("div", {id: "watchMarks"});
        const track = element("div", {className: "watch-track"}, "", marks, position);
        const time = element("span", {id: "watchTime"}, "", "");
        const now = element("button", {id: "watchLive", type: "button", hidden: !live}, "back to live", "live");
        const bar = element("div", {id: "watchBar"}, "watching",
                            element("div", {className: "watch-row"}, "", track, time),
                            element("div", {className: "watch-row"}, "", pause, speeds, now));
        bar.setAttribute("role", "group");
        document.body.append(bar);
        document.body.classList.add("watching");

        // ---- The controls ----------------------------------------------------------
        function setPaused(paused) {
            state.paused = paused;
            page.watchControl(`pause ${paused ? 1 : 0}`);
            show();
        }
        function setSpeed(speed) {
            state.speed = speed;
            page.watchControl(`speed ${speed}`);
            show();
        }
        function changeSpeed(step) {
            const at = kSpeeds.findIndex(([s]) => s === state.speed);
            setSpeed(kSpeeds[Math.max(0, Math.min(kSpeeds.length - 1, at + step))][0]);
        }
        // To an emulated time: forwards in the program as it is, back by playing it again.
        function seek(to) {
            if (state.surveying) return;
            if (live && to >= state.length) {
                follow();
                return;
            }
            const target = !live && to >= state.length ? kEndMicros : Math.max(0, to);
            if (target >= micros()) page.watchControl(`seek ${target}`);
            else page.watchAgain(target);
            show();
        }
        function follow() {
            Object.assign(state, {paused: false, speed: 1});
            page.watchControl("follow");
            show();
        }
        pause.addEventListener("click", () => setPaused(!state.paused));
        now.addEventListener("click", follow);
        // Dragged, the position follows the thumb and the game goes there when it is let go
        // (and now and then while it is held).
        let held = 0;
        position.addEventListener("input", () => {
            state.dragging = true;
            showTime(position.valueAsNumber * 1000);
            clearTimeout(held);
            held = setTimeout(() => seek(position.valueAsNumber * 1000), 250);
        });
        position.addEventListener("change", () => {
            clearTimeout(held);
            state.dragging = false;
            seek(position.valueAsNumber * 1000);
        });
        // The bar's keys, wherever the focus is; a button of the bar keeps Enter.
        const keys = {
            " ": () => setPaused(!state.paused),
            ArrowLeft: () => seek(micros() - kJumpMicros),
            ArrowRight: () => seek(micros() + kJumpMicros),
            "<": () => changeSpeed(-1), ",": () => changeSpeed(-1),
            ">": () => changeSpeed(1), ".": () => changeSpeed(1),
        };
        window.addEventListener("keydown", (e) => {
            const act = keys[e.key];
            if (!act || e.ctrlKey || e.altKey || e.metaKey) return;
            e.preventDefault();
            if (!(e.repeat && e.key === " ")) act();
        }, true);
        window.addEventListener("keyup", (e) => { if (e.key === " ") e.preventDefault(); }, true);
        // The game's own moves of the focus to the viewscreen leave the bar's controls alone.
        const focus = page.focus;
        page.focus = (id) => { if (!bar.contains(document.activeElement)) focus(id); };

        // ---- What it shows ---------------------------------------------------------
        function showTime(at) {
            time.textContent = state.surveying ? "reading the game ..."
                : `${clock(at)} / ${clock(state.length)}`;
        }
        function show() {
            for (const e of [pause, position, ...speeds.children]) e.disabled = state.surveying;
            now.disabled = state.ended;
            pause.textContent = state.paused ? "\u25b6" : "\u275a\u275a";
            pause.setAttribute("aria-label", state.paused ? "play" : "pause");
            pause.setAttribute("aria-pressed", String(state.paused));
            for (const b of speeds.children) b.setAttribute("aria-pressed", String(Number(b.dataset.speed) === state.speed));
            position.max = Math.round(state.length / 1000);
            if (!state.dragging) position.value = Math.round(micros() / 1000);
            showTime(state.dragging ? position.valueAsNumber * 1000 : micros());
        }
        function showMarks() {
            const all = JSON.parse(Module.UTF8ToString(Module._korvane_watch_marks()));
            if (all.length === state.marks && !live) return;
            state.marks = all.length;
            marks.replaceChildren(...all.filter(([at]) => at <= state.length).map(([at, score]) => {
                const mark = element("span", {className: "watch-mark", title: `${score} at ${clock(at)}`});
                mark.style.left = `${(100 * at) / Math.max(1, state.length)}%`;
                return mark;
            }));
        }
        setInterval(() => {
            if (!page.watching || !loaded()) return;
            if (live) {
                state.length = Math.max(state.length, furthest());
                showMarks();
            }
            show();
        }, kRefreshMillis);

        // ---- Room for it: under the window, in place of the controls for thumbs, which have
        // nothing to do in a game watched (korvane.css hides them) -------------------------
        const kBarHeight = 104;
        page.thumbRoom = () => ({below: kBarHeight, side: 0});
        page.placeThumbs = (box, area) => {
            const width = Math.max(Math.min(area.width - 8, 320), box.width);
            Object.assign(bar.style, {left: `${area.left + Math.max(0, (area.width - width) / 2)}px`,
                                      top: `${Math.min(box.top + box.height, area.top + area.height - kBarHeight)}px`,
                                      width: `${width}px`});
        };
        page.fit();

        // The end of a watched game: the end of its reading, which then starts it from its
        // start at its pace (from a turn of the page's own, not inside the game's call), or
        // its real end.
        const watchEnded = page.watchEnded;
        page.watchEnded = () => {
            if (!state.surveying) {
                watchEnded();
                return;
            }
            state.length = furthest();
            showMarks();
            // The bar is the viewer's once the game plays again from its start, not before.
            setTimeout(() => {
                state.surveying = false;
                page.watchAgain(-1);
                show();
            }, 0);
        };
        if (live) {
            // The stream's end says no more lines come: then the game plays out.
            const watchLines = page.watchLines;
            page.watchLines = (lines) => {
                if (lines === null) state.ended = true;
                watchLines(lines);
            };
        }
        show();
        return {
            watch(recording) {
                page.watch(recording);
                page.watchControl(`seek ${kEndMicros}`);
            },
        };
    };
})(window.korvanePage);
