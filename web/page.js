// The page around the game: it turns the player's clicks, keys and mouse releases into
// lines of the game's recording language (click cmdStart, keyup 32, mouseup 1 120 200),
// queued for the game's yield, keeps the session's recording, builds the windows from their
// descriptions,
// draws the viewscreen once per display frame from the game's surface, and plays the
// sounds. The rules of play are all in the WebAssembly; nothing here decides any of them.
"use strict";

(function () {
    const byId = (id) => document.getElementById(id);
    const page = {queue: [], waker: null, modal: null, over: false, viewscreenDirty: false};

    // ---- The event queue and the game's waits ---------------------------------------
    // An event is the window it is for and its text: a command line for the main window,
    // "HANDLER [NUMBER]" for a dialog. A main window's line may come as a function that
    // writes it once the game is loaded (input from before that waits for the game).
    function post(window, text) {
        // While a recording is watched, the player's input is not the game's.
        if (page.over || page.watching) return;
        page.queue.push({window, text});
        if (page.waker) page.waker();
    }
    const textOf = (e) => (typeof e.text === "function" ? (e.text = e.text()) : e.text);
    page.nextEventLength = () =>
        page.queue.length ? Math.max(page.queue[0].window.length, textOf(page.queue[0]).length) : -1;
    page.takeEvent = () => {
        textOf(page.queue[0]);
        return page.queue.shift();
    };
    // What the game's own tables say, asked of the WebAssembly and kept:
    // page.fact("input_commands") is the JSON of Module._korvane_input_commands()
    // (web/page_facts.cpp), and so on; nothing ({}) until the game has loaded.
    const facts = {};
    page.fact = function (name) {
        const ask = Module["_korvane_" + name];
        if (!facts[name] && ask) facts[name] = JSON.parse(Module.UTF8ToString(ask()));
        return facts[name] || {};
    };
    // The line of one kind of input (button, key, mouse, hidden, shown, seed) with its arguments,
    // in the words of the game's command table, as a function for post.
    page.inputLine = (kind, ...args) => () => [page.fact("input_commands")[kind], ...args].join(" ");

    // ---- The session's recording, as korvane --record writes it -------------------------
    // korvanePage.recording(): everything so far; korvanePage.lastGame(): the session up to
    // the end of its last finished game, which replays that game (korvane-sim FILE exits 0).
    // korvanePage.command(LINE) gives the game a line as the player's input does, for
    // example "seed 42" before a start so that the game starts from that seed.
    const recorded = [];
    let lastGameLines = 0;
    page.record = (line) => { if (!page.watching) recorded.push(line + "\n"); };
    page.gameRecorded = () => { lastGameLines = recorded.length; };
    page.recording = () => recorded.join("");
    page.lastGame = () => recorded.slice(0, lastGameLines).join("");
    page.command = (line) => post("frmKorvane", String(line));
    // korvanePage.watch(RECORDING) plays a recording at the game's own pace, as
    // korvane --replay does, and takes no more input; korvanePage.watchEnded() is called at
    // its end (document.body.dataset.watched is then "1"). korvanePage.watchLive() watches a
    // game as it is played: watchLines(LINES) hands it each batch of its lines as it comes,
    // and watchLines(null) says that nothing more comes.
    function watchEvent(window, text) {
        if (page.over) return;
        page.queue.push({window, text: String(text)});
        page.watching = true;
        if (page.waker) page.waker();
    }
    page.watch = (recording) => { if (!page.watching) watchEvent("watch", recording); };
    page.watchLive = () => { if (!page.watching) watchEvent("live", ""); };
    page.watchLines = (lines) => {
        if (page.watching) watchEvent(lines === null ? "end" : "lines", lines ?? "");
    };
    page.watchEnded = () => { document.body.dataset.watched = "1"; };
    // The viewer's controls of a watched game (watch_bar.js): "pause 1", "speed 2",
    // "seek MICROS" forwards, "follow" (a live game's now). The way back plays the game again
    // from its start in a program made afresh, which hurries to the emulated time MICROS:
    // called from a turn of the page's own, never from inside the game's calls.
    page.watchControl = (text) => { if (page.watching) watchEvent("control", text); };
    page.watchAgain = function (micros) {
        if (!page.watching || page.over) return;
        sleepGeneration++;  // the old program's waits wake nothing
        page.waker = null;
        paced = null;
        if (page.modal) page.closeWindow();
        page.resetMainWindow();
        delete document.body.dataset.watched;
        Module._korvane_watch_again(micros);
    };

    // The game never blocks: when it waits (for its pace, a dialog's answer, a flash, a sound)
    // it asks page.sleep to step it again (Module._korvane_step) after ms milliseconds (below
    // 0: not by time), or with wakeOnEvent as soon as an event is posted, and returns.
    // The step comes from a message rather than from the timer itself, so that the game's
    // next short wait is not stretched by the browser's clamping of nested timers.
    const channel = new MessageChannel();
    const resumes = [];
    channel.port1.onmessage = () => { const resume = resumes.shift(); if (resume) resume(); };
    // A wait of the game's pace ends at the display frame nearest its end instead, where the
    // game runs the frames due and the viewscreen is drawn in the same turn of the browser:
    // the page wakes once per display frame, not once per batch and once more to draw.
    // Being late by up to half a frame costs no pace: the next frames make it up. A timer
    // still ends the wait when no display frame comes in time (a hidden tab, a busy machine).
    let paced = null;  // {due, end}: the wait that the display frames end
    let sleepGeneration = 0;  // a watched game's program made afresh forgets the old waits
    page.sleep = function (ms, wakeOnEvent, wokenUp) {
        const generation = sleepGeneration;
        const wakeUp = () => { if (generation === sleepGeneration) wokenUp(); };
        let done = false;
        let timer = 0;
        let nearEnd = 0;
        const finish = (atOnce) => {
            if (done) return;
            done = true;
            clearTimeout(timer);
            clearTimeout(nearEnd);
            if (page.waker === finish) page.waker = null;
            if (paced && paced.end === finish) paced = null;
            if (atOnce) { wakeUp(); return; }
            resumes.push(wakeUp);
            channel.port2.postMessage(0);
        };
        if (wakeOnEvent) {
            if (page.queue.length) { finish(); return; }
            page.waker = finish;
        }
        if (ms <= 0) {
            if (ms === 0) timer = setTimeout(finish, 0);
            return;
        }
        paced = {due: performance.now() + ms, end: finish};
        // Display frames are asked for only for the last stretch of a long wait.
        const stretch = 1.5 * frameMillis;
        if (ms > stretch) nearEnd = setTimeout(requestFrame, ms - stretch);
        else requestFrame();
        // A display frame that comes late (a busy machine) is not waited for much longer.
        timer = setTimeout(() => finish(), ms + 0.75 * frameMillis);
    };

    // The display frames: the game's paced wait ends, then the viewscreen is drawn.
    let framePending = false;
    let frameMillis = 1000 / 60;
    let lastFrame = 0;
    function requestFrame() {
        if (framePending) return;
        framePending = true;
        requestAnimationFrame(onFrame);
    }
    function onFrame(time) {
        framePending = false;
        if (lastFrame && time - lastFrame < 100) {
            frameMillis += 0.1 * (Math.min(50, Math.max(4, time - lastFrame)) - frameMillis);
        }
        lastFrame = time;
        if (paced && !page.over) {
            if (paced.due - performance.now() < frameMillis / 2) paced.end(true);
            else requestFrame();
        }
        if (page.viewscreenDirty && !page.over) page.drawViewscreen();
    }

    // ---- The viewscreen: the surface's pixels, as they are, to the canvas ---------------
    // In memory every surface pixel is the bytes R, G, B, 255 (the surface keeps each colour
    // with its top byte flipped for this): the canvas's own order, opaque. The canvas takes
    // them straight from the game's memory, with no pass over the pixels in JavaScript.
    const canvas = Object.assign(document.createElement("canvas"), {id: "Picture1", tabIndex: 0});
    const context = canvas.getContext("2d", {alpha: false});
    let surfaceImage = null;
    // The surface's size is the game's (Module._korvane_viewscreen_width and _height).
    page.viewscreen = {width: 0, height: 0};
    page.attachViewscreen = (heap32, index) => {
        const [W, H] = [Module._korvane_viewscreen_width(), Module._korvane_viewscreen_height()];
        page.viewscreen = {width: W, height: H};
        surfaceImage = new ImageData(new Uint8ClampedArray(heap32.buffer, index * 4, W * H * 4), W, H);
    };
    // The surface's pixel under a point of the browser's window.
    page.viewscreenPoint = function (clientX, clientY) {
        const r = canvas.getBoundingClientRect();
        return [Math.floor((clientX - r.left) * page.viewscreen.width / r.width),
                Math.floor((clientY - r.top) * page.viewscreen.height / r.height)];
    };
    page.drawViewscreen = function () {
        page.viewscreenDirty = false;
        if (surfaceImage) context.putImageData(surfaceImage, 0, 0);
    };
    // At most one drawing per display frame, and none while nothing changes.
    page.markViewscreenDirty = function () {
        page.viewscreenDirty = true;
        requestFrame();
    };

    // The viewscreen's own pointer: a dark blue four-way arrow outlined in white, its hot
    // spot at (10, 10). One arm pointing up, turned by quarter turns for the others.
    (function setCursor() {
        const arm = [[-2, -6], [-4, -6], [0, -10], [4, -6], [2, -6], [2, -2]];
        const points = [];
        for (let turn = 0; turn < 4; turn++) {
            for (let [x, y] of arm) {
                for (let t = 0; t < turn; t++) [x, y] = [-y, x];
                points.push(`${x + 10.5},${y + 10.5}`);
            }
        }
        const svg = `<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32">` +
            `<polygon points="${points.join(" ")}" fill="#000080" stroke="#fff" ` +
            `shape-rendering="crispEdges"/></svg>`;
        canvas.style.cursor = `url("data:image/svg+xml,${encodeURIComponent(svg)}") 10 10, move`;
    })();

    // ---- Sounds: the game's WAV images through Web Audio, one at a time -----------------
    const sounds = {};
    let audio = null;
    let playing = null;
    let audioAsleep = false;  // suspended by the page between sounds, not by the browser
    let sleepTimer = 0;
    page.defineSound = (id, bytes) => { sounds[id] = {bytes, buffer: null}; };
    // Browsers keep a page silent until the player has clicked or typed in it. The click
    // that allows the sound plays none itself, so the output goes back to sleep at once: a
    // running output costs the battery as much as the sound does, and with the sound switch
    // off no sound would ever come to send it to sleep.
    function allowAudio() {
        try {
            if (!audio) {
                audio = new AudioContext();
                audio.onstatechange = () => page.audioStates.push(audio.state);
                sleepSoon();
            }
            if (audio.state === "suspended" && !audioAsleep) audio.resume();
        } catch (e) {
            audio = null;
        }
    }
    // The sound output's states as they came ("running", "suspended"), for the tests.
    page.audioStates = [];
    function decodeWav(bytes) {
        const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
        const tag = (at) => String.fromCharCode(...bytes.subarray(at, at + 4));
        if (bytes.length < 12 || tag(0) !== "RIFF" || tag(8) !== "WAVE") return null;
        let format = 0, channels = 0, rate = 0, bits = 0;
        for (let at = 12; at + 8 <= bytes.length;) {
            const size = view.getUint32(at + 4, true);
            const body = at + 8;
            if (tag(at) === "fmt " && body + 16 <= bytes.length) {
                format = view.getUint16(body, true);
                channels = view.getUint16(body + 2, true);
                rate = view.getUint32(body + 4, true);
                bits = view.getUint16(body + 14, true);
            } else if (tag(at) === "data") {
                if (format !== 1 || bits !== 8 || channels < 1 || rate < 3000) return null;
                const frames = Math.floor(Math.min(size, bytes.length - body) / channels);
                if (frames < 1) return null;
                const buffer = audio.createBuffer(1, frames, rate);
                const samples = buffer.getChannelData(0);
                for (let i = 0; i < frames; i++) samples[i] = (bytes[body + i * channels] - 128) / 128;
                return buffer;
            }
            at = body + size + (size & 1);
        }
        return null;
    }
    // Between sounds the audio output sleeps, a little after the last one has ended (its
    // tail has left the device by then), and wakes for the next, which is started while it
    // wakes and so plays from its very first sample.
    function soundEnded(source) {
        if (playing !== source) return;
        playing = null;
        sleepSoon();
    }
    function sleepSoon() {
        clearTimeout(sleepTimer);
        sleepTimer = setTimeout(() => {
            if (playing || !audio || audio.state === "closed") return;
            audioAsleep = true;
            audio.suspend();
        }, 250);
    }
    page.playSound = function (id) {
        clearTimeout(sleepTimer);
        if (playing) {
            try { playing.stop(); } catch (e) { /* already ended */ }
            playing = null;
        }
        const sound = sounds[id];
        const waking = audio && audioAsleep && audio.state === "suspended";
        if (waking) audio.resume();
        audioAsleep = false;
        if (!audio || (audio.state !== "running" && !waking) || !sound) return 0;
        if (!sound.buffer) sound.buffer = decodeWav(sound.bytes);
        if (!sound.buffer) return 0;
        const source = audio.createBufferSource();
        source.buffer = sound.buffer;
        source.connect(audio.destination);
        source.onended = () => soundEnded(source);
        source.start();
        playing = source;
        return sound.buffer.duration * 1000;
    };

    // ---- The windows, from the game's descriptions of them ---------------------------------
    // A window: {caption, size: [width, height], focus, controls}; a control: {id, kind,
    // box: [left, top, width, height], text, low, high}. The main window is built as its
    // controls arrive; a modal window each time it opens. A message box has no size: it is
    // as large as its text.
    const main = byId("frmKorvane");
    const stage = byId("stage");
    const windows = {};
    const pictures = {};
    page.defineWindow = function (name, caption, size, focus) {
        windows[name] = {caption, size, focus, controls: []};
        if (name !== "frmKorvane") return;
        document.title = caption;
        for (const e of [stage, main]) Object.assign(e.style, {width: size[0] + "px", height: size[1] + "px"});
        page.fit();
    };
    page.defineControl = function (name, control) {
        windows[name].controls.push(control);
        if (name === "frmKorvane") addControl(main, name, control);
    };
    page.definePicture = (id, width, height, pixels) => { pictures[id] = {width, height, pixels}; };

    function addControl(client, name, control) {
        const e = makeControl(name, control);
        if (control.kind === "torpedo") client.torpedoBox = e;
        // An indicator sits within the torpedo box before it.
        (control.kind === "indicator" ? client.torpedoBox : client).append(e);
    }

    function makeControl(name, {id, kind, box: [left, top, width, height], text, low, high}) {
        const tags = {button: "button", link: "button", system: "button", text: "input",
                      scroll: "input", icon: "img", indicator: "input"};
        const e = kind === "viewscreen" ? canvas : document.createElement(tags[kind] || "div");
        e.id = id;
        Object.assign(e.style, {left: left + "px", top: top + "px", width: width + "px",
                                height: height + "px"});
        if (kind === "viewscreen") Object.assign(e, {width, height});
        else if (kind === "text") {
            e.className = "text";
            e.readOnly = true;
            // The main window's read-outs are never reached by Tab.
            if (name === "frmKorvane") e.tabIndex = -1;
        } else if (kind === "indicator") {
            // The option is drawn within a one-pixel margin of its box.
            Object.assign(e, {type: "radio", tabIndex: -1});
            Object.assign(e.style, {width: width - 2 + "px", height: height - 2 + "px"});
        } else if (kind === "scroll") {
            Object.assign(e, {type: "range", min: low, max: high, step: 1, value: 0});
            e.addEventListener("input", () => post(name, id + "_Change " + e.valueAsNumber));
        } else if (kind === "icon") { e.src = "icon.png"; e.alt = ""; }
        else if (kind === "picture") {
            // The bitmap is a little wider than its box; the box shows its left part.
            e.style.overflow = "hidden";
            e.append(drawPicture(pictures[id]));
        } else if (["label", "title", "line", "message", "torpedo"].includes(kind)) {
            e.className = kind;
            e.textContent = text;
        } else {
            // "&S" marks the access key, shown underlined.
            const [before, key, after] = text.split(/&(.)/);
            e.append(before);
            if (key) e.append(Object.assign(document.createElement("u"), {textContent: key}), after);
            e.type = "button";
            // No system-information tool to start from a browser.
            if (kind === "system") e.disabled = true;
            else if (kind === "link") {
                e.addEventListener("click", () => window.open(text, "_blank", "noopener"));
            } else {
                e.addEventListener("click", () =>
                    post(name, name === "frmKorvane" ? page.inputLine("button", id) : id + "_Click"));
                if (name === "frmKorvane") {
                    // The main window's buttons never take the focus: it stays on the
                    // viewscreen, so the space bar never presses a button. The play controls
                    // are disabled until a game runs.
                    e.addEventListener("mousedown", (m) => m.preventDefault());
                    e.dataset.caption = text;  // what a reset of the window shows again
                    if (low) Object.assign(e, {className: "play", disabled: true});
                }
            }
        }
        if (e.type === "button" && name !== "frmKorvane") {
            // Every key press on a dialog's button reaches its rules before the button acts
            // (a space on an outcome's OK disarms its click).
            e.addEventListener("keydown", (k) => {
                const code = k.key.length === 1 ? k.key.charCodeAt(0)
                    : k.key === "Enter" ? page.fact("dialog_keys").enter : 0;
                if (code) post(name, id + "_KeyPress " + code);
            });
        }
        return e;
    }

    // Pixels as the viewscreen stores them, 0x00BBGGRR, on a canvas of their own.
    function drawPicture({width, height, pixels}) {
        const bitmap = Object.assign(document.createElement("canvas"), {width, height});
        const g = bitmap.getContext("2d", {alpha: false});
        const picture = g.createImageData(width, height);
        const rgba = new Uint32Array(picture.data.buffer);
        for (let i = 0; i < pixels.length; i++) rgba[i] = pixels[i] | 0xff000000;
        g.putImageData(picture, 0, 0);
        return bitmap;
    }

    page.setText = function (id, text) {
        const element = byId(id);
        if (!element) return;
        if (element.tagName === "INPUT") element.value = text; else element.textContent = text;
    };
    page.setEnabled = function (id, enabled) {
        const e = byId(id);
        if (!e) return;
        const hadFocus = document.activeElement === e;
        e.disabled = !enabled;
        // A button that loses its enabling passes the focus on to the window's default.
        if (hadFocus && !enabled && page.modal) page.focus(windows[page.modal]?.focus || "cmdOK");
    };
    page.setChecked = (id, checked) => { const e = byId(id); if (e) e.checked = checked; };
    page.setPlayControlsEnabled = function (enabled) {
        for (const button of main.querySelectorAll("button.play")) button.disabled = !enabled;
    };
    page.resetMainWindow = function () {
        page.setPlayControlsEnabled(false);
        for (const n of [1, 2, 3]) page.setChecked("Option" + n, false);
        for (const id of ["txtScore", "txtGameTime", "txtHighscore"]) page.setText(id, "");
        for (const button of main.querySelectorAll("button")) button.textContent = button.dataset.caption;
        page.focus("Picture1");
    };
    page.focus = (id) => { const e = byId(id); if (e) e.focus({preventScroll: true}); };

    // Keys act on release, in the main window whatever has the focus. The presses of the
    // game's keys (from its key table, page.defineKey) are kept from the browser, whose own
    // meaning for them (scrolling, Ctrl shortcuts such as Ctrl+S or Ctrl+A) would clash with
    // the game's.
    const gameKeys = new Set();
    page.defineKey = (code) => gameKeys.add(code);
    function keyCodeOf(e) {
        if (e.keyCode) return e.keyCode;
        if (e.key && e.key.length === 1) return e.key.toUpperCase().charCodeAt(0);
        return 0;
    }
    document.addEventListener("keydown", (e) => {
        allowAudio();
        if (page.modal || page.over) return;
        if (gameKeys.has(keyCodeOf(e)) || e.key === "Enter") e.preventDefault();
    }, true);
    document.addEventListener("keyup", (e) => {
        if (page.modal || page.over) return;
        const code = keyCodeOf(e);
        if (gameKeys.has(code) || e.key === "Enter") e.preventDefault();
        if (code) post("frmKorvane", page.inputLine("key", code));
    }, true);

    // Mouse over the viewscreen: a release counts for the buttons pressed on it, also
    // when the pointer has left it meanwhile.
    const buttonBits = {0: 1, 2: 2, 1: 4};
    const pressed = new Set();
    canvas.addEventListener("mousedown", (e) => {
        if (e.button === 1) e.preventDefault();  // no scrolling by the middle button
        if (buttonBits[e.button]) pressed.add(e.button);
        canvas.focus({preventScroll: true});
    });
    canvas.addEventListener("contextmenu", (e) => e.preventDefault());
    window.addEventListener("mouseup", (e) => {
        if (!pressed.delete(e.button) || page.modal) return;
        const [x, y] = page.viewscreenPoint(e.clientX, e.clientY);
        post("frmKorvane", page.inputLine("mouse", buttonBits[e.button], x, y));
    });
    // A hidden tab is the browser's minimised window.
    const showState = () => post("frmKorvane", page.inputLine(document.hidden ? "hidden" : "shown"));
    document.addEventListener("visibilitychange", showState);
    if (document.hidden) showState();
    // A touch counts as the player's own act only when it ends.
    document.addEventListener("pointerdown", allowAudio, true);
    document.addEventListener("pointerup", allowAudio, true);

    // ---- Modal windows ------------------------------------------------------------------
    const overlay = byId("overlay");

    page.openWindow = function (name, message) {
        const layout = windows[name];
        const dialog = document.createElement("div");
        dialog.id = name;
        dialog.className = "dialog";
        const bar = document.createElement("div");
        bar.className = "caption";
        bar.textContent = layout.caption;
        const close = document.createElement("button");
        close.className = "closebox";
        close.type = "button";
        close.tabIndex = -1;
        close.textContent = "x";
        close.title = "Close";
        close.addEventListener("click", () => post(name, "Form_Close"));
        bar.append(close);
        const client = document.createElement("div");
        client.className = "client";
        dialog.append(bar, client);
        if (layout.size[0]) {
            Object.assign(client.style, {width: layout.size[0] + "px", height: layout.size[1] + "px"});
            for (const c of layout.controls) addControl(client, name, c);
        } else {
            // A message box: the text and an OK button, sized to the text.
            dialog.classList.add("msgbox");
            const text = document.createElement("div");
            text.className = "text-line";
            text.id = "Message";
            text.textContent = message;
            client.append(text);
            for (const c of layout.controls) addControl(client, name, c);
        }
        overlay.replaceChildren(dialog);
        overlay.hidden = false;
        page.modal = name;
        // Over the middle of the main window.
        const left = Math.max(0, (main.offsetWidth - dialog.offsetWidth) / 2);
        const top = Math.max(0, (main.offsetHeight - dialog.offsetHeight) / 2);
        Object.assign(dialog.style, {left: left + "px", top: top + "px"});
        page.focus(layout.focus);
    };
    page.closeWindow = function () {
        overlay.replaceChildren();
        overlay.hidden = true;
        page.modal = null;
        page.focus("Picture1");
    };
    page.setScrollValue = (value) => { const bar = byId("HScroll1"); if (bar) bar.value = value; };

    // ---- The page as a whole ------------------------------------------------------------
    // fit.js scales the stage into the browser's visible area (page.fit); touch.js, pad.js and
    // thumbs.js turn taps, gamepads and the controls for thumbs into the same lines as the
    // mouse, keys and buttons.
    page.post = post;

    page.ready = function () {
        page.fit();  // the viewscreen is there now
        document.body.dataset.ready = "1";
        page.focus("Picture1");
    };
    // The program has ended: everything stops at once, and the page offers a new start.
    page.ended = function () {
        page.over = true;
        page.queue.length = 0;
        if (playing) { try { playing.stop(); } catch (e) { /* already ended */ } }
        if (audio) audio.close();
        main.hidden = true;
        overlay.hidden = true;
        byId("ended").hidden = false;
        byId("cmdPlayAgain").focus();
    };
    byId("cmdPlayAgain").addEventListener("click", () => location.reload());

    // A browser without WebAssembly, or the page opened as a file rather than from a web
    // server: say so instead of leaving a dead window.
    function cannotStart() {
        page.ended();
        byId("ended").firstElementChild.textContent =
            "Korvane could not start: it needs WebAssembly, and its folder served by a web " +
            "server (a page opened as a file cannot load it).";
    }

    window.korvanePage = page;
    window.Module = {korvanePage: page, canvas, onAbort: cannotStart};
    // The game loads once the page's other scripts (fit.js, touch.js, pad.js, thumbs.js,
    // hall.js) have added their parts.
    function load() {
        if (typeof WebAssembly !== "object" || location.protocol === "file:") {
            cannotStart();
            return;
        }
        const script = document.createElement("script");
        script.src = "korvane.js";
        script.onerror = cannotStart;
        document.body.append(script);
        // Once loaded, the page's files are kept for playing offline; the worker's scope is
        // the page's own folder, wherever the page is served from.
        if ("serviceWorker" in navigator) {
            navigator.serviceWorker.register("service_worker.js").catch((e) =>
                console.warn("korvane: no offline copy: " + e.message));
        }
    }
    if (document.readyState === "loading") document.addEventListener("DOMContentLoaded", load);
    else load();
})();
