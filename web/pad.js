// Gamepads through the browser's Gamepad API, pads with the standard layout. The table of
// what each control does is the game's own (input/gamepad.h, handed over by the WebAssembly
// as page.definePad / page.definePadControl), the one the desktop reads its pads with, and so
// is the rule of when a control counts as released: the page only reads the pads and hands
// each value to the game's PadState (Module._korvane_pad_button and _korvane_pad_stick), which
// answers with the control released. Like a key, a control acts when it is released: in the
// main window the page gives the line of the key or button it stands for ("keyup 32", a click
// on cmdStart), so a recording holds a pad's game as any other; in a dialog A is Enter on the
// focused button (else OK) and left and right move the star count's bar as the arrow keys do.
// The pads are read once a display frame, only while one is connected and the page is in
// view; plugging one in or pulling it out never stops a game. The on-screen controls
// (thumbs.js) act through page.padAct as this pad's controls.
// A page that listens for pads, or reads them once, makes the browser poll its devices 250
// times a second for as long as it listens, a cost a battery pays through every game. So
// the page listens outside a game (before a start, in any window, after the end), where a
// pad's player presses its Start, and in a game only once a pad has been seen: a game
// started with the mouse or keys costs no polling, and a pad taken up in the middle of it
// is taken at its first press after that game.
"use strict";

(function (page) {
    // {buttons, stick: [[left, right], [up, down]], lines, keys}
    let pad = null;
    page.definePad = (table) => {
        pad = {buttons: table.buttons, stick: table.stick, lines: [], keys: []};
        startPolling();  // a pad already connected before the game loaded
    };
    page.definePadControl = (control, line, dialogKey) => {
        pad.lines[control] = line;
        pad.keys[control] = dialogKey;
    };

    function connectedPads() {
        try {
            const all = navigator.getGamepads ? Array.from(navigator.getGamepads()) : [];
            return all.filter((p) => p && p.connected && p.mapping === "standard");
        } catch (e) {
            return [];  // a page the browser keeps from its pads
        }
    }

    const released = (control) => { if (control >= 0) page.padAct(control); };
    let seen = false;   // a pad has been connected since the page loaded
    let inGame = false;  // the game's play controls are enabled
    const wanted = () => !document.hidden && (seen || !inGame || !!page.modal);
    let polling = false;
    function startPolling() {
        if (polling || !pad || !wanted()) return;
        polling = true;
        requestAnimationFrame(poll);
    }
    function poll() {
        polling = false;
        if (!wanted()) return;
        const pads = connectedPads();
        if (!pads.length) return;
        seen = true;
        for (const p of pads) {
            for (let b = 0; b < pad.buttons && b < p.buttons.length; b++) {
                const button = p.buttons[b];
                released(Module._korvane_pad_button(p.index, b, Math.max(button.value || 0, button.pressed ? 1 : 0)));
            }
            for (let axis = 0; axis < pad.stick.length; axis++) {
                released(Module._korvane_pad_stick(p.index, axis, p.axes[axis] || 0));
            }
        }
        startPolling();
    }
    // A pad gone: its controls are forgotten without a release.
    const forget = (e) => Module._korvane_pad_forget(e.gamepad ? e.gamepad.index : 0);
    function listen() {
        const method = wanted() ? "addEventListener" : "removeEventListener";
        window[method]("gamepadconnected", connected);
        window[method]("gamepaddisconnected", forget);
        startPolling();
    }
    function connected() {
        seen = true;
        listen();
    }
    document.addEventListener("visibilitychange", listen);
    const enablePlay = page.setPlayControlsEnabled;
    page.setPlayControlsEnabled = (enabled) => {
        enablePlay(enabled);
        inGame = enabled;
        listen();
    };
    for (const name of ["openWindow", "closeWindow"]) {
        const act = page[name];
        page[name] = (...args) => {
            act(...args);
            listen();
        };
    }
    listen();

    page.padAct = function (control) {
        if (page.over || !pad) return;
        if (page.modal) {
            actInDialog(control);
            return;
        }
        const line = pad.lines[control];
        if (!line) return;
        // A button is clicked as the player clicks it (a disabled one does nothing), so that
        // whatever else watches the button (the hall's start) sees it too.
        const click = page.inputLine("button", "")();
        if (line.startsWith(click)) document.getElementById(line.slice(click.length))?.click();
        else page.post("frmKorvane", line);
    };

    function actInDialog(control) {
        const key = pad.keys[control];
        const dialog = document.getElementById(page.modal);
        if (!dialog) return;
        // The keys as the game's tables code them.
        const keys = page.fact("dialog_keys");
        if (key === keys.enter) {
            // Enter as the keyboard gives it: its press reaches the focused button's own key
            // handling (an outcome dialog's rules), then the button is pressed.
            const focused = document.activeElement;
            const target = dialog.contains(focused) && focused.tagName === "BUTTON" ? focused
                : dialog.querySelector("#cmdOK, #cmdClose");
            if (!target || target.disabled) return;
            target.dispatchEvent(new KeyboardEvent("keydown", {key: "Enter", bubbles: true}));
            if (page.modal && document.contains(target)) target.click();
        } else if (key === keys.left || key === keys.right) {
            const bar = dialog.querySelector("#HScroll1");
            if (!bar || bar.disabled) return;
            const before = bar.value;
            if (key === keys.left) bar.stepDown(); else bar.stepUp();
            if (bar.value !== before) bar.dispatchEvent(new Event("input", {bubbles: true}));
        }
    }
})(window.korvanePage);
