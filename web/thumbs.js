// Controls for thumbs, on touch screens only: in the room the window leaves free, below it in
// portrait and at both sides in landscape, never over it. Each is a button for one command,
// at least 44 x 44 CSS pixels, and stands for a button of a pad with the standard layout: it
// acts when released through the pad's own table (pad.js, page.padAct), so a game played by
// thumbs goes through the same commands and the same recording as one played by pad or keys,
// and in a dialog the torpedo button is Enter and the crosshairs' left and right move the
// star count, as a pad's are. Beside them: the game's sound switch, and a switch for a short
// vibration on a hit and on the ship's loss, remembered in local storage. A touch screen
// also gets its dialogs as large as the screen allows, and every target in them reachable by
// a thumb. A device without a touch screen shows none of this, and its page is as before.
"use strict";

(function (page) {
    const kReach = 44;  // the least a thumb can hit, in CSS pixels
    // The button of the standard pad layout that each stands for, by the game's name for it
    // (its number is the game's, page.fact("pad_controls")); the groups are the left and the
    // right hand's.
    const kGroups = [
        {id: "thumbsAim", label: "crosshairs and game", controls: [
            ["crosshairs up", "\u25b2", "dpadUp", "up"], ["crosshairs left", "\u25c0", "dpadLeft", "left"],
            ["crosshairs right", "\u25b6", "dpadRight", "right"], ["crosshairs down", "\u25bc", "dpadDown", "down"],
            ["start/stop", "start/ stop", "start", "start"], ["hint", "hint", "back", "hint"]]},
        {id: "thumbsShip", label: "ship and weapons", controls: [
            ["fire phasers", "phasers", "b", "phasers"], ["photon torpedo", "torpedo", "a", "torpedo"],
            ["shields", "shields", "y", "shields"], ["ship left", "\u25c0 ship", "leftShoulder", "shipleft"],
            ["stop the ship", "stop", "x", "shipstop"], ["ship right", "ship \u25b6", "rightShoulder", "shipright"]]},
    ];
    const touchScreen = matchMedia("(pointer: coarse)");
    const groups = kGroups.map(({id, label, controls}) => {
        const group = Object.assign(document.createElement("div"), {id, className: "thumbs"});
        group.setAttribute("role", "group");
        group.setAttribute("aria-label", label);
        for (const [label, text, padButton, place] of controls) {
            group.append(thumbButton(label, text, place, () => page.padAct(page.fact("pad_controls")[padButton])));
        }
        return group;
    });
    const vibration = thumbButton("vibration", "vibrate", "vibrate", toggleVibration);
    // The game's own sound switch, reachable by a thumb: a click on the window's button.
    groups[1].append(thumbButton("sound", "sound", "sound", () => document.getElementById("cmdSound")?.click()),
                     vibration);
    document.body.append(...groups);

    function thumbButton(label, text, place, act) {
        const b = Object.assign(document.createElement("button"), {type: "button", textContent: text});
        b.setAttribute("aria-label", label);
        b.style.gridArea = place;
        // Shown pressed while the thumb is on it; the command comes with the click, which a
        // browser gives on the release over the button.
        const up = () => b.classList.remove("pressed");
        b.addEventListener("pointerdown", (e) => { e.preventDefault(); b.classList.add("pressed"); });
        for (const kind of ["pointerup", "pointercancel", "pointerleave"]) b.addEventListener(kind, up);
        // The keys keep going to the game: the focus stays where it was.
        b.addEventListener("mousedown", (e) => e.preventDefault());
        b.addEventListener("click", act);
        return b;
    }

    // ---- Vibration: on a hit (the score rises) and on the ship's loss -------------------
    const kVibrationKey = "korvane.vibration";
    let vibrate = localStorage.getItem(kVibrationKey) !== "off";
    function toggleVibration() {
        vibrate = !vibrate;
        try { localStorage.setItem(kVibrationKey, vibrate ? "on" : "off"); } catch (e) { /* private mode */ }
        showVibration();
    }
    function showVibration() {
        vibration.setAttribute("aria-pressed", String(vibrate));
        vibration.hidden = typeof navigator.vibrate !== "function";
    }
    showVibration();
    const pulse = (pattern) => { if (vibrate && page.thumbs && navigator.vibrate) navigator.vibrate(pattern); };
    const setText = page.setText;
    page.setText = function (id, text) {
        const before = id === "txtScore" ? document.getElementById(id)?.value : "";
        setText(id, text);
        if (before && Number(text) > Number(before)) pulse(40);
    };
    // The windows that tell of the ship's loss, as the game names them.
    let lossWindows = null;
    const openWindow = page.openWindow;
    page.openWindow = function (name, message) {
        lossWindows = lossWindows || new Set(Module.UTF8ToString(Module._korvane_loss_windows()).split(" "));
        openWindow(name, message);
        if (lossWindows.has(name)) pulse([120, 60, 240]);
        if (page.thumbs) enlargeDialog();
    };

    // ---- Where they go ---------------------------------------------------------------------
    // fit.js asks for the room they take before it scales the window (page.thumbRoom), then
    // has them placed around the window's box (page.placeThumbs).
    page.thumbs = false;
    page.thumbRoom = function (area) {
        page.thumbs = touchScreen.matches;
        document.body.classList.toggle("touch", page.thumbs);
        const landscape = area.width > area.height;
        if (!page.thumbs) return {below: 0, side: 0};
        const [width, height] = groups.reduce(([w, h], g) => [Math.max(w, g.offsetWidth), Math.max(h, g.offsetHeight)], [0, 0]);
        const margin = 2 * gap();
        return landscape ? {below: 0, side: width + margin} : {below: height + margin, side: 0};
    };
    const gap = () => parseFloat(getComputedStyle(groups[0]).rowGap) || 8;
    page.placeThumbs = function (box, area) {
        if (!page.thumbs) return;
        const landscape = area.width > area.height;
        const [aim, ship] = groups;
        const margin = gap();
        if (landscape) {
            // Each hand at its side of the window, half way down.
            const middle = area.top + area.height / 2;
            place(aim, box.left - margin - aim.offsetWidth, middle - aim.offsetHeight / 2);
            place(ship, box.left + box.width + margin, middle - ship.offsetHeight / 2);
        } else {
            // Both below the window, at the bottom where the thumbs are, each towards its own
            // hand's edge of the screen.
            const bottom = area.top + area.height - margin;
            place(aim, area.left + margin, bottom - aim.offsetHeight);
            place(ship, area.left + area.width - margin - ship.offsetWidth, bottom - ship.offsetHeight);
        }
        if (page.modal) enlargeDialog();  // turned with a dialog open
    };
    const place = (e, left, top) => Object.assign(e.style, {left: left + "px", top: top + "px"});
    touchScreen.addEventListener("change", () => page.fit());
    page.fit();

    // ---- Dialogs for thumbs ----------------------------------------------------------------
    // The open dialog as large as the visible area allows (on a phone, larger than the
    // window it opens over), and every button and the star count's bar with a reach of at
    // least kReach around it, beyond its drawn box where that is smaller.
    function enlargeDialog() {
        const dialog = document.querySelector("#overlay > .dialog");
        if (!dialog) return;
        dialog.style.transform = "";
        const stage = document.getElementById("stage").getBoundingClientRect();
        const stageScale = stage.width / document.getElementById("stage").offsetWidth;
        const v = window.visualViewport || {offsetLeft: 0, offsetTop: 0, width: innerWidth, height: innerHeight};
        const own = Math.min(0.98 * v.width / dialog.offsetWidth, 0.98 * v.height / dialog.offsetHeight);
        const scale = Math.max(own, stageScale);
        // Centred on the visible area, in the stage's own (scaled) pixels.
        const left = (v.offsetLeft + (v.width - dialog.offsetWidth * scale) / 2 - stage.left) / stageScale;
        const top = (v.offsetTop + (v.height - dialog.offsetHeight * scale) / 2 - stage.top) / stageScale;
        Object.assign(dialog.style, {left: left + "px", top: top + "px", transformOrigin: "0 0",
                                     transform: `scale(${scale / stageScale})`});
        // The reach in the dialog's own pixels, with a little to spare for the rounding of
        // its scaled edges to the screen's pixels.
        const least = (kReach + 4) / scale;
        for (const target of dialog.querySelectorAll(".client button, #HScroll1")) {
            const x = Math.max(0, (least - target.offsetWidth) / 2);
            const y = Math.max(0, (least - target.offsetHeight) / 2);
            target.style.setProperty("--reach-x", x + "px");
            target.style.setProperty("--reach-y", y + "px");
            if (target.id === "HScroll1" && y > 0 && !target.classList.contains("reach")) {
                // The bar's box grows by a clear border: it is drawn as before.
                target.style.top = target.offsetTop - y + "px";
                target.style.height = target.offsetHeight + 2 * y + "px";
                target.classList.add("reach");
            }
        }
    }
})(window.korvanePage);
