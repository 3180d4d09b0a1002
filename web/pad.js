// Gamepads through the browser's Gamepad API, pads with the standard layout. The table of
// what each control does is the game's own (input/gamepad.h, handed over by the WebAssembly
// as page.definePad / page.definePadControl), the one the desktop reads its pads with. Like
// a key, a control acts when it is released: in the main window the page posts the line of
// the key or button it stands for ("keyup 32", "click cmdStart"), so a recording holds a
// pad's game as any other; in a dialog A is Enter on the focused button (else OK) and left
// and right move the star count's bar as the arrow keys do. The pads are read once a display
// frame, and only while one is connected; plugging one in or pulling it out never stops a
// game.
"use strict";

(function (page) {
    // {pressAt, releaseAt, buttons, stick: [[left, right], [up, down]], count, lines, keys}
    let pad = null;
    page.definePad = (table) => {
        const count = Math.max(table.buttons, ...table.stick.flat()) + 1;
        pad = {...table, count, lines: [], keys: []};
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

    // Which controls of each pad (by its index) are down. An analog control is down from
    // pressAt and up again below releaseAt, so a stick held near the mark does not chatter.
    const down = new Map();
    function setControl(held, control, value) {
        if (!held[control] && value >= pad.pressAt) {
            held[control] = 1;
        } else if (held[control] && value < pad.releaseAt) {
            held[control] = 0;
            act(control);
        }
    }

    let polling = false;
    function startPolling() {
        if (polling || !pad) return;
        polling = true;
        requestAnimationFrame(poll);
    }
    function poll() {
        polling = false;
        const pads = connectedPads();
        if (!pads.length) return;
        for (const p of pads) {
            if (!down.has(p.index)) down.set(p.index, new Uint8Array(pad.count));
            const held = down.get(p.index);
            for (let b = 0; b < pad.buttons && b < p.buttons.length; b++) {
                const button = p.buttons[b];
                setControl(held, b, Math.max(button.value || 0, button.pressed ? 1 : 0));
            }
            pad.stick.forEach(([low, high], axis) => {
                const value = p.axes[axis] || 0;
                setControl(held, low, -value);
                setControl(held, high, value);
            });
        }
        startPolling();
    }
    window.addEventListener("gamepadconnected", startPolling);
    // A pad gone: its controls are forgotten without a release.
    window.addEventListener("gamepaddisconnected", (e) => {
        if (e.gamepad) down.delete(e.gamepad.index);
        else down.clear();
    });

    function act(control) {
        if (page.over) return;
        if (page.modal) {
            actInDialog(control);
            return;
        }
        const line = pad.lines[control];
        const button = /^click (\S+)$/.exec(line || "");
        if (!line || (button && document.getElementById(button[1])?.disabled)) return;
        page.post("frmKorvane", line);
    }

    const kEnter = 13;
    const kLeft = 37;
    const kRight = 39;
    function actInDialog(control) {
        const key = pad.keys[control];
        const dialog = document.getElementById(page.modal);
        if (!dialog) return;
        if (key === kEnter) {
            // Enter as the keyboard gives it: its press reaches the focused button's own key
            // handling (an outcome dialog's rules), then the button is pressed.
            const focused = document.activeElement;
            const target = dialog.contains(focused) && focused.tagName === "BUTTON" ? focused
                : dialog.querySelector("#cmdOK, #cmdClose");
            if (!target || target.disabled) return;
            target.dispatchEvent(new KeyboardEvent("keydown", {key: "Enter", bubbles: true}));
            if (page.modal && document.contains(target)) target.click();
        } else if (key === kLeft || key === kRight) {
            const bar = dialog.querySelector("#HScroll1");
            if (!bar || bar.disabled) return;
            const before = bar.value;
            if (key === kLeft) bar.stepDown(); else bar.stepUp();
            if (bar.value !== before) bar.dispatchEvent(new Event("input", {bubbles: true}));
        }
    }
})(window.korvanePage);
