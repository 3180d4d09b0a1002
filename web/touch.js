// The game by touch. A tap on a button is its click (the browser's own); a tap on the
// viewscreen is the left mouse button released there, which sends the crosshairs to it, and
// posts the same line as the mouse (mouseup 1 X Y) so that a recording holds it alike. The
// browser's own meanings of a touch on the game (zooming by a double tap, a long press's
// menu, selecting text) are kept away; the dialogs' bar and buttons work by touch as they are.
"use strict";

(function (page) {
    const stage = document.getElementById("stage");
    stage.addEventListener("contextmenu", (e) => e.preventDefault());

    // A touch that began on the viewscreen counts where it ends, also off the viewscreen (a
    // release outside it after a press inside), as the mouse's does.
    const touches = new Set();
    stage.addEventListener("touchstart", (e) => {
        if (e.target.id !== "Picture1") return;
        // No mouse events made up from the touch, no zoom, no menu.
        e.preventDefault();
        e.target.focus({preventScroll: true});
        for (const t of e.changedTouches) touches.add(t.identifier);
    }, {passive: false});
    stage.addEventListener("touchend", (e) => {
        for (const t of e.changedTouches) {
            if (!touches.delete(t.identifier) || page.modal) continue;
            e.preventDefault();
            const [x, y] = page.viewscreenPoint(t.clientX, t.clientY);
            page.post("frmKorvane", `mouseup 1 ${x} ${y}`);
        }
    }, {passive: false});
    stage.addEventListener("touchcancel", (e) => {
        for (const t of e.changedTouches) touches.delete(t.identifier);
    });
})(window.korvanePage);
