// The page's windows against the desktop's, as tests/app/windows.expected pins them: every
// named control's box (as Chromium lays it out), its text, each window's caption and size,
// and the absorption dialog's picture by the hash of the pixels the page shows.
"use strict";
const fs = require("fs");
const path = require("path");

// {name: {head: "CAPTION WxH", controls: [[name, "X,Y WxH", text]]}} in the file's order.
function readExpected() {
    const windows = {};
    let current = null;
    const file = path.join(__dirname, "..", "app", "windows.expected");
    for (const line of fs.readFileSync(file, "utf8").split("\n")) {
        let m = /^(\S+) "(.*)" (\d+x\d+)$/.exec(line);
        if (m) windows[m[1]] = current = {head: `"${m[2]}" ${m[3]}`, controls: []};
        m = /^ {2}(\S+) (-?\d+,-?\d+ \d+x\d+) "(.*)"$/.exec(line);
        // The desktop's "&" marks an access key; the page underlines the letter instead.
        if (m) current.controls.push([m[1], m[2], m[3].replace(/&(.)/, "$1")]);
    }
    return windows;
}

// The same description of a window in the page: its controls are the elements with an id.
function describe(name) {
    const main = name === "frmKorvane";
    const client = main ? document.getElementById(name) : document.querySelector(`#${name} .client`);
    // The title element keeps the blanks that document.title trims.
    const caption = document.querySelector(main ? "title" : `#${name} .caption`).firstChild.textContent;
    const hash = (canvas) => {
        const data = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
        let h = 2166136261;
        for (let i = 0; i < data.length; i++) if (i % 4 !== 3) h = Math.imul(h ^ data[i], 16777619) >>> 0;
        return "pixels " + h.toString(16).padStart(8, "0");
    };
    const controls = [...client.querySelectorAll("[id]")].map((e) => {
        const s = getComputedStyle(e);
        const [ml, mr, mt, mb] = [s.marginLeft, s.marginRight, s.marginTop, s.marginBottom].map(parseFloat);
        const box = `${e.offsetLeft - ml},${e.offsetTop - mt} ${e.offsetWidth + ml + mr}x${e.offsetHeight + mt + mb}`;
        let text = e.textContent;
        if (e.tagName === "INPUT") text = e.type === "text" ? e.value : "";
        const picture = e.querySelector("canvas");
        if (picture) text = hash(picture);
        return [e.id, box, text, e.tagName === "INPUT" && e.type === "text"];
    });
    return {head: `"${caption}" ${client.offsetWidth}x${client.offsetHeight}`, controls};
}

async function checkWindowLayouts(page, check) {
    const expected = readExpected();
    for (const [name, want] of Object.entries(expected)) {
        const main = name === "frmKorvane";
        const got = await page.evaluate((n, isMain, describeSource) => {
            const describeWindow = eval(`(${describeSource})`);
            if (!isMain) window.korvanePage.openWindow(n, "");
            const d = describeWindow(n);
            if (!isMain) window.korvanePage.closeWindow();
            return d;
        }, name, main, describe.toString());
        const wrong = [];
        if (got.head !== want.head) wrong.push(`window ${got.head}, not ${want.head}`);
        const n = Math.max(got.controls.length, want.controls.length);
        for (let i = 0; i < n; i++) {
            const [id, box, text, readout] = got.controls[i] || ["(none)", "", ""];
            const [wantId, wantBox, wantText] = want.controls[i] || ["(none)", "", ""];
            // A dialog opened here has no game behind it to fill its read-outs.
            const textOk = text === wantText || (!main && readout && text === "");
            if (id !== wantId || box !== wantBox || !textOk) {
                wrong.push(`${id} ${box} "${text}", not ${wantId} ${wantBox} "${wantText}"`);
            }
        }
        check(wrong.length === 0, `${name} is laid out as on the desktop` +
              (wrong.length ? ":\n      " + wrong.join("\n      ") : ""));
    }
}

module.exports = {checkWindowLayouts};
