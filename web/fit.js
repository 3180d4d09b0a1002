// The main window on any screen: the stage is scaled to fit the browser's visible area,
// portrait or landscape, and centred in it. From 1x up it takes whole multiples, so that
// every game pixel stays a crisp square; below 1x (a phone) any fraction will do. Where a
// game pixel gets less than one device pixel, the viewscreen is shown through a copy drawn
// at the device's own pixels that keeps the brightest pixel of each block, so that the
// one-pixel stars never fall between the screen's pixels.
"use strict";

(function (page) {
    const stage = document.getElementById("stage");
    let copy = null;  // the stars' copy: {canvas, context, image, pixels, column, row, width}

    // The visible area: on a phone the visual viewport, which leaves out the browser's bars.
    function visibleArea() {
        const v = window.visualViewport;
        return v ? {left: v.offsetLeft, top: v.offsetTop, width: v.width, height: v.height}
                 : {left: 0, top: 0, width: innerWidth, height: innerHeight};
    }

    page.fit = function () {
        const [width, height] = [stage.offsetWidth, stage.offsetHeight];
        const area = visibleArea();
        // The controls for thumbs (thumbs.js, touch screens only) take their room first:
        // below the window, or at both its sides.
        const thumbs = page.thumbRoom ? page.thumbRoom(area) : {below: 0, side: 0};
        const room = Math.min((area.width - 2 * thumbs.side) / width, (area.height - thumbs.below) / height);
        // A fraction a little under the room, so that rounding never makes the page scroll.
        const scale = room >= 1 ? Math.floor(room) : Math.floor(room * 1000) / 1000;
        const box = {width: width * scale, height: height * scale};
        box.left = area.left + Math.max(0, (area.width - box.width) / 2);
        box.top = area.top + Math.max(0, (area.height - thumbs.below - box.height) / 2);
        stage.style.transform = `scale(${scale})`;
        stage.style.left = box.left + "px";
        stage.style.top = box.top + "px";
        if (page.placeThumbs) page.placeThumbs(box, area);
        keepStars(scale * (window.devicePixelRatio || 1));
    };
    window.addEventListener("resize", page.fit);
    window.addEventListener("orientationchange", page.fit);
    if (window.visualViewport) window.visualViewport.addEventListener("resize", page.fit);
    page.fit();

    // The screen as the game counts it, in the device's pixels. A ratio below 1 comes only
    // from zooming a page out, which leaves the screen as large as it is.
    page.screenPixels = function () {
        const ratio = Math.max(1, window.devicePixelRatio || 1);
        return [Math.round(screen.width * ratio), Math.round(screen.height * ratio)];
    };

    // ---- The stars' copy of the viewscreen -------------------------------------------------
    let heap = null;
    let base = 0;
    const attach = page.attachViewscreen;
    page.attachViewscreen = (heap32, index) => {
        heap = heap32;
        base = index;
        attach(heap32, index);
    };
    const draw = page.drawViewscreen;
    page.drawViewscreen = () => {
        draw();
        if (copy) drawCopy();
    };

    // ratio: device pixels per game pixel.
    function keepStars(ratio) {
        const viewscreen = document.getElementById("Picture1");
        const {width: W, height: H} = page.viewscreen;
        if (!viewscreen || !W || ratio >= 1) {
            if (copy) copy.canvas.remove();
            copy = null;
            return;
        }
        const width = Math.ceil(W * ratio);
        const height = Math.ceil(H * ratio);
        if (copy && copy.width === width && copy.canvas.height === height) return;
        if (copy) copy.canvas.remove();
        // Over the viewscreen, which still takes the pointer and holds the game's pixels.
        const canvas = Object.assign(document.createElement("canvas"), {width, height});
        canvas.className = "stars-copy";
        for (const side of ["left", "top", "width", "height"]) {
            canvas.style[side] = viewscreen.style[side];
        }
        viewscreen.after(canvas);
        const context = canvas.getContext("2d", {alpha: false});
        const image = context.createImageData(width, height);
        // The copy's column and row (as its first pixel's index) of each game pixel.
        const to = (size) => (at) => Math.min(size - 1, Math.floor(at * ratio));
        const column = Int32Array.from({length: W}, (_, x) => to(width)(x));
        const row = Int32Array.from({length: H}, (_, y) => to(height)(y) * width);
        const pixels = new Uint32Array(image.data.buffer);
        copy = {canvas, context, image, pixels, column, row, width};
        drawCopy();
    }

    const brightness = (p) => (p & 0xff) + ((p >> 8) & 0xff) + ((p >> 16) & 0xff);
    // A surface pixel's low three bytes are R, G, B, the canvas's order: only the alpha is to
    // be set.
    function drawCopy() {
        const {context, image, pixels, column, row} = copy;
        const {width: W, height: H} = page.viewscreen;
        pixels.fill(0xff000000);
        if (heap) {
            for (let y = 0, i = base; y < H; y++) {
                for (let x = 0; x < W; x++, i++) {
                    const p = heap[i] & 0xffffff;
                    if (p === 0) continue;
                    const at = row[y] + column[x];
                    if (brightness(p) > brightness(pixels[at])) pixels[at] = p | 0xff000000;
                }
            }
        }
        context.putImageData(image, 0, 0);
    }
})(window.korvanePage);
