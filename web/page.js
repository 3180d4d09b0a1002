// The page around the game: it turns the player's clicks, keys and mouse releases into
// queued events for the game's yield, builds the modal windows when the game opens them,
// draws the viewscreen once per display frame from the game's surface, and plays the
// sounds. The rules of play are all in the WebAssembly; nothing here decides any of them.
"use strict";

(function () {
    const W = 642;
    const H = 482;
    const byId = (id) => document.getElementById(id);
    const page = {texts: {}, queue: [], waker: null, modal: null, over: false,
                  viewscreenDirty: false};

    // ---- The event queue and the game's waits ---------------------------------------
    function post(window, handler, a, b, c) {
        if (page.over) return;
        page.queue.push({window, handler, a: a | 0, b: b | 0, c: c | 0});
        if (page.waker) page.waker();
    }
    page.takeEvent = () => page.queue.shift();

    // The game resumes from a message rather than from the timer itself, so that its next
    // short wait is not stretched by the browser's clamping of nested timers.
    const channel = new MessageChannel();
    const resumes = [];
    channel.port1.onmessage = () => { const resume = resumes.shift(); if (resume) resume(); };
    // A wait of the game's pace ends at the display frame nearest its end instead, where the
    // game runs the frames due and the viewscreen is drawn in the same turn of the browser:
    // the page wakes once per display frame, not once per batch and once more to draw.
    // Being late by up to half a frame costs no pace: the next frames make it up. A timer
    // still ends the wait when no display frame comes in time (a hidden tab, a busy machine).
    let paced = null;  // {due, end}: the wait that the display frames end
    page.sleep = function (ms, wakeOnEvent, wakeUp) {
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

    // ---- The viewscreen: 0x00BBGGRR surface pixels to the canvas's RGBA ----------------
    // In memory the surface's pixels are the bytes R, G, B, 0: the canvas's own order but
    // for the alpha. The opaque canvas takes them as they are, straight from the game's
    // memory, and one fill behind them makes every pixel opaque: no pass over the pixels
    // in JavaScript. A canvas that would not keep the colours that way gets a copy with the
    // alpha set, pixel by pixel, instead.
    const canvas = byId("Picture1");
    const context = canvas.getContext("2d", {alpha: false});
    context.fillStyle = "#000";
    let heap = null;
    let base = 0;
    let surfaceImage = null;
    let copiedImage = null;
    function drawOpaque(image, width = W, height = H) {
        context.putImageData(image, 0, 0);
        context.globalCompositeOperation = "destination-over";
        context.fillRect(0, 0, width, height);
        context.globalCompositeOperation = "source-over";
    }
    // Tried on the viewscreen's own canvas, which a browser may keep otherwise than a
    // small one (on the graphics card, say); its pixel is black again afterwards.
    function takesBytesAsTheyAre() {
        drawOpaque(new ImageData(new Uint8ClampedArray([255, 128, 1, 0]), 1, 1), 1, 1);
        const kept = context.getImageData(0, 0, 1, 1).data.join() === "255,128,1,255";
        context.fillRect(0, 0, 1, 1);
        return kept;
    }
    page.attachViewscreen = (heap32, index) => {
        heap = heap32;
        base = index;
        if (takesBytesAsTheyAre()) {
            surfaceImage = new ImageData(new Uint8ClampedArray(heap.buffer, base * 4, W * H * 4), W, H);
        } else {
            copiedImage = context.createImageData(W, H);
        }
    };
    page.drawViewscreen = function () {
        page.viewscreenDirty = false;
        if (surfaceImage) {
            drawOpaque(surfaceImage);
        } else if (copiedImage) {
            const rgba = new Uint32Array(copiedImage.data.buffer);
            const pixels = heap.subarray(base, base + W * H);
            for (let i = 0; i < pixels.length; i++) rgba[i] = pixels[i] | 0xff000000;
            context.putImageData(copiedImage, 0, 0);
        }
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
    // Browsers keep a page silent until the player has clicked or typed in it.
    function allowAudio() {
        try {
            if (!audio) audio = new AudioContext();
            if (audio.state === "suspended" && !audioAsleep) audio.resume();
        } catch (e) {
            audio = null;
        }
    }
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
        sleepTimer = setTimeout(() => {
            if (playing || !audio || audio.state !== "running") return;
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

    // ---- The main window's controls ----------------------------------------------------
    const main = byId("frmKorvane");
    // The command buttons, from the game's table as it starts: the play controls are
    // disabled until a game runs.
    page.defineButton = function (id, caption, [left, top, width, height], playControl) {
        const button = document.createElement("button");
        button.id = id;
        button.textContent = caption;
        button.dataset.caption = caption;  // what a reset of the window shows again
        button.style.cssText = `left:${left}px;top:${top}px;width:${width}px;height:${height}px`;
        if (playControl) {
            button.className = "play";
            button.disabled = true;
        }
        // The buttons never take the focus: it stays on the viewscreen, so the space bar
        // never presses a button.
        button.addEventListener("mousedown", (e) => e.preventDefault());
        button.addEventListener("click", () => post("frmKorvane", button.id + "_Click"));
        main.appendChild(button);
    };
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

    // Keys act on release, in the main window whatever has the focus. Their presses are
    // kept from the browser, whose own meaning for them (scrolling, Ctrl shortcuts such as
    // Ctrl+S or Ctrl+A) would clash with the game's.
    const gameKeys = new Set([17, 32, 37, 38, 39, 40, 65, 67, 72, 81, 83, 88, 90]);
    function keyCodeOf(e) {
        if (e.keyCode) return e.keyCode;
        if (e.key && e.key.length === 1) return e.key.toUpperCase().charCodeAt(0);
        return 0;
    }
    const shiftBits = (e) => (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0);
    document.addEventListener("keydown", (e) => {
        allowAudio();
        if (page.modal || page.over) return;
        if (gameKeys.has(keyCodeOf(e)) || e.key === "Enter") e.preventDefault();
    }, true);
    document.addEventListener("keyup", (e) => {
        if (page.modal || page.over) return;
        const code = keyCodeOf(e);
        if (gameKeys.has(code) || e.key === "Enter") e.preventDefault();
        if (code) post("frmKorvane", "Form_KeyUp", code, shiftBits(e));
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
        const r = canvas.getBoundingClientRect();
        const x = Math.floor((e.clientX - r.left) * W / r.width);
        const y = Math.floor((e.clientY - r.top) * H / r.height);
        post("frmKorvane", "Picture1_MouseUp", buttonBits[e.button], x, y);
    });
    document.addEventListener("pointerdown", allowAudio, true);

    // ---- Modal windows ------------------------------------------------------------------
    // Control: [id, kind, left, top, width, height, text]; a text starting with "k" is
    // a shared text that the game hands over (page.texts).
    const storyControls = [
        ["picIcon", "icon", 32, 8, 36, 36],
        ["lblTitle", "title", 104, 8, 387, 24, "kTitleLine"],
        ["lblVersion", "label", 96, 40, 259, 15, "kVersionDesign"],
        ["lblDescription", "label", 24, 64, 467, 54, "kStory"],
        ["Label2", "label", 24, 128, 281, 57, "kKeyboardHelp"],
        ["Label10", "label", 328, 128, 169, 57, "kMouseHelp"],
        ["Line1", "line", 312, 128, 1, 49],
        ["Label11", "label", 40, 186, 401, 17,
         "Change the number of stars if the game runs too slowly or too fast on your computer."],
        ["cmdOK", "button", 440, 200, 57, 33, "OK"],
        ["Label1", "label", 64, 216, 137, 17, "Number of Stars:"],
        ["Text1", "text", 168, 208, 33, 19],
        ["Command1", "button", 232, 208, 25, 17, "-"],
        ["Label8", "label", 272, 208, 81, 17, "Restore Default"],
        ["HScroll1", "scroll", 24, 232, 409, 17],
        ["Label4", "label", 40, 256, 25, 9, "^"],
        ["Label6", "label", 152, 256, 25, 9, "^"],
        ["Label5", "label", 416, 256, 25, 9, "^"],
        ["Label3", "label", 0, 272, 97, 17, "really old slow PC"],
        ["Label7", "label", 144, 272, 73, 17, "default"],
        ["Label9", "label", 304, 272, 121, 17, "future really really fast PC"],
    ];
    const outcome = (w, h, msg, ok, extra = []) =>
        ({size: [w, h], focus: "cmdClose",
          controls: [["Label1", "message", ...msg], ["cmdClose", "button", ...ok, 49, 33, "OK"],
                     ...extra]});
    const windows = {
        frmStart: {size: [508, 291], focus: "cmdOK", controls: storyControls},
        frmVessikWin: outcome(397, 202, [16, 8, 281, 65], [232, 160],
                              [["picVessikWin", "picture", 8, 72, 385, 81]]),
        frmShipBoom: outcome(308, 194, [16, 8, 281, 129], [224, 144]),
        frmVessikZap: outcome(308, 136, [16, 8, 281, 129], [224, 96]),
        frmAntiZap: outcome(308, 112, [8, 8, 297, 129], [232, 72]),
        frmUWin: outcome(342, 243, [16, 8, 281, 113], [24, 144], [
            ["Label2", "label", 112, 128, 137, 17, "Current score needed to win:"],
            ["txtCurrentScore", "text", 264, 128, 49, 19],
            ["cmdChangeWinscore", "button", 136, 144, 97, 49,
             "Make the game harder to win next go-around"],
            ["Label3", "label", 104, 208, 161, 17, "Next game score needed to win:"],
            ["txtNextscore", "text", 264, 200, 49, 19],
        ]),
        frmAbout: {size: [520, 370], focus: "cmdOK", controls: [
            ["picIcon", "icon", 16, 16, 36, 36],
            ["lblTitle2", "title", 72, 16, 432, 24, "kTitleLine"],
            ["lblVersion", "label", 72, 40, 259, 15, "kVersionDesign"],
            ["lblDescription", "label", 72, 62, 432, 56, "kStory"],
            ["Label1", "label", 72, 122, 432, 38, "kScreenNote"],
            ["Label2", "label", 16, 170, 281, 57, "kKeyboardHelp"],
            ["Label10", "label", 320, 170, 184, 57, "kMouseHelp"],
            ["Label3", "label", 16, 238, 488, 17, "kThanks"],
            ["Label4", "label", 16, 258, 488, 17, "kAuthor"],
            ["lblDisclaimer", "label", 16, 286, 372, 30, "kDisclaimer"],
            ["Command1", "link", 16, 330, 220, 25, "kHomePage"],
            ["cmdOK", "button", 408, 286, 97, 25, "OK"],
            // No system-information tool to start from a browser.
            ["cmdSysInfo", "disabled", 408, 320, 97, 25, "kSysInfoCaption"],
        ]},
    };
    const overlay = byId("overlay");
    const textOf = (t) => (t && /^k[A-Z]/.test(t) ? page.texts[t] || "" : t || "");

    function makeControl(name, [id, kind, left, top, width, height, text], message) {
        const tags = {button: "button", link: "button", disabled: "button", text: "input",
                      scroll: "input", icon: "img"};
        const e = document.createElement(tags[kind] || "div");
        e.id = id;
        Object.assign(e.style, {left: left + "px", top: top + "px", width: width + "px",
                                height: height + "px"});
        if (kind === "text") { e.className = "text"; e.readOnly = true; }
        else if (kind === "scroll") {
            Object.assign(e, {type: "range", min: 0, max: 500, step: 1, value: 0});
            e.addEventListener("input", () => post(name, "HScroll1_Change", e.valueAsNumber));
        } else if (kind === "icon") { e.src = "icon.png"; e.alt = ""; }
        else if (kind === "picture") {
            // The bitmap is a little wider than its box; the box shows its left part.
            const bitmap = document.createElement("canvas");
            drawVessikPicture(bitmap);
            e.style.overflow = "hidden";
            e.append(bitmap);
        }
        else if (kind === "message") { e.className = "message"; e.textContent = message; }
        else if (kind === "label" || kind === "title" || kind === "line") {
            e.className = kind === "label" ? "label" : kind;
            e.textContent = textOf(text);
        } else {
            // "&S" marks the access key, shown underlined.
            const [before, key, after] = textOf(text).split(/&(.)/);
            e.append(before);
            if (key) e.append(Object.assign(document.createElement("u"), {textContent: key}), after);
            e.type = "button";
            if (kind === "disabled") e.disabled = true;
            else if (kind === "link") {
                e.addEventListener("click", () => window.open(textOf(text), "_blank", "noopener"));
            } else e.addEventListener("click", () => post(name, id + "_Click"));
        }
        if (id === "cmdClose") {
            // Every key press on OK reaches the dialog's rules before the button acts.
            e.addEventListener("keydown", (k) => {
                const code = k.key.length === 1 ? k.key.charCodeAt(0) : k.key === "Enter" ? 13 : 0;
                if (code) post(name, "cmdClose_KeyPress", code);
            });
        }
        return e;
    }

    page.openWindow = function (name, caption, message) {
        const dialog = document.createElement("div");
        dialog.id = name;
        dialog.className = "dialog";
        const bar = document.createElement("div");
        bar.className = "caption";
        bar.textContent = caption;
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
        const layout = windows[name];
        if (layout) {
            Object.assign(client.style, {width: layout.size[0] + "px", height: layout.size[1] + "px"});
            for (const c of layout.controls) client.append(makeControl(name, c, message));
        } else {
            // A message box: the text and an OK button, sized to the text.
            dialog.classList.add("msgbox");
            const text = document.createElement("div");
            text.className = "text-line";
            text.id = "Message";
            text.textContent = message;
            client.append(text, makeControl(name, ["cmdOK", "button", 0, 0, 75, 23, "OK"]));
        }
        overlay.replaceChildren(dialog);
        overlay.hidden = false;
        page.modal = name;
        // Over the middle of the main window.
        const left = Math.max(0, (733 - dialog.offsetWidth) / 2);
        const top = Math.max(0, (512 - dialog.offsetHeight) / 2);
        Object.assign(dialog.style, {left: left + "px", top: top + "px"});
        page.focus(layout ? layout.focus : "cmdOK");
    };
    page.closeWindow = function () {
        overlay.replaceChildren();
        overlay.hidden = true;
        page.modal = null;
        page.focus("Picture1");
    };
    page.setScrollValue = (value) => { const bar = byId("HScroll1"); if (bar) bar.value = value; };

    // The absorption dialog's picture: two rows of green glyphs of the Vessik script on
    // black, in its two greens.
    function drawVessikPicture(target) {
        target.width = 392;
        target.height = 81;
        const g = target.getContext("2d");
        g.fillStyle = "#000";
        g.fillRect(0, 0, 392, 81);
        let seed = 0x5645;
        const rand = (n) => { seed = (Math.imul(seed, 1103515245) + 12345) >>> 0; return (seed >>> 16) % n; };
        for (const top of [8, 45]) {
            for (let glyph = 0; glyph < 24; glyph++) {
                const x0 = 5 + glyph * 16;
                const strokes = [];
                const spine = rand(3);
                strokes.push([spine, rand(2), spine, 4 - rand(2)]);
                for (let i = 2 + rand(3); i > 0; i--) {
                    const x = rand(3), y = rand(4);
                    const step = [[1, 0], [0, 1], [1, 1], [-1, 1]][rand(4)];
                    const tx = x + step[0], ty = y + step[1];
                    if (tx >= 0 && tx < 3 && ty < 5) strokes.push([x, y, tx, ty]);
                }
                for (const [color, d] of [["rgb(0,109,0)", 1], ["rgb(0,146,0)", 0]]) {
                    g.fillStyle = color;
                    for (const [ax, ay, bx, by] of strokes) {
                        const n = Math.max(Math.abs(bx - ax) * 6, Math.abs(by - ay) * 7);
                        for (let s = 0; s <= n; s++) {
                            const px = x0 + ax * 6 + Math.round((bx - ax) * 6 * s / n);
                            const py = top + ay * 7 + Math.round((by - ay) * 7 * s / n);
                            g.fillRect(px + d, py + d, 2, 2);
                        }
                    }
                }
            }
        }
    }

    // ---- The page as a whole ------------------------------------------------------------
    const stage = byId("stage");
    function fit() {
        // A whole multiple when there is room, so that every game pixel stays square.
        const scale = Math.max(1, Math.floor(Math.min(innerWidth / 733, innerHeight / 512)));
        stage.style.transform = `scale(${scale})`;
        stage.style.left = Math.max(0, (innerWidth - 733 * scale) / 2) + "px";
        stage.style.top = Math.max(0, (innerHeight - 512 * scale) / 2) + "px";
    }
    window.addEventListener("resize", fit);
    fit();

    page.ready = function () {
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
    if (typeof WebAssembly !== "object" || location.protocol === "file:") {
        cannotStart();
    } else {
        const script = document.createElement("script");
        script.src = "korvane.js";
        script.onerror = cannotStart;
        document.body.append(script);
    }
})();
