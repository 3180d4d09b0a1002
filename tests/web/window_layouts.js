// The page's windows against the descriptions the WebAssembly hands it: a fresh page keeps a
// copy of every window, control and picture as it is defined, then each window is opened and
// its elements compared with them: caption, size, and each control's id, box (as Chromium
// lays it out) and text in the description's order, the absorption picture pixel for pixel.
"use strict";
const {waitFor} = require("./checks");

// Runs in the page before its scripts: keeps what the game defines.
function keepDescriptions() {
    const described = window.describedWindows = {};
    let page;
    Object.defineProperty(window, "korvanePage", {configurable: true, get: () => page, set(p) {
        page = p;
        const {defineWindow, defineControl, definePicture} = p;
        p.defineWindow = (name, caption, size, focus) => {
            described[name] = {caption, size, controls: []};
            defineWindow(name, caption, size, focus);
        };
        p.defineControl = (name, c) => { described[name].controls.push({...c}); defineControl(name, c); };
        p.definePicture = (id, w, h, pixels) => {
            described.picture = Array.from(pixels, (c) => c & 0xffffff);
            definePicture(id, w, h, pixels);
        };
    }});
}

// One window as the page shows it against its description: the differences, one a line.
function compareWindow(name) {
    const want = window.describedWindows[name];
    const main = name === "frmKorvane";
    if (!main) window.korvanePage.openWindow(name, "");
    const client = main ? document.getElementById(name) : document.querySelector(`#${name} .client`);
    // The title element keeps the blanks that document.title trims.
    const caption = document.querySelector(main ? "title" : `#${name} .caption`).firstChild.textContent;
    const wrong = [];
    const head = `"${caption}" ${client.offsetWidth}x${client.offsetHeight}`;
    if (head !== `"${want.caption}" ${want.size.join("x")}`) wrong.push(`window ${head}`);
    const got = [...client.querySelectorAll("[id]")];
    for (let i = 0; i < Math.max(got.length, want.controls.length); i++) {
        const e = got[i], c = want.controls[i] || {id: "(none)", box: [], text: ""};
        if (!e) { wrong.push(`no element for ${c.id}`); continue; }
        const s = getComputedStyle(e);
        const [ml, mr, mt, mb] = [s.marginLeft, s.marginRight, s.marginTop, s.marginBottom].map(parseFloat);
        const box = [e.offsetLeft - ml, e.offsetTop - mt, e.offsetWidth + ml + mr, e.offsetHeight + mt + mb];
        // A read-out's text is the game's; so is the end of the sound switch's caption. The
        // desktop's "&" marks an access key, which the page underlines instead.
        const text = e.tagName === "INPUT" ? "" : e.textContent;
        const wantText = c.kind === "text" ? "" : c.text.replace(/&(.)/, "$1");
        const textOk = c.id === "cmdSound" ? text.startsWith(wantText) : text === wantText;
        if (e.id !== c.id || box.join() !== c.box.join() || !textOk) {
            wrong.push(`${e.id} ${box} "${text}", not ${c.id} ${c.box} "${wantText}"`);
        }
        const canvas = c.kind === "picture" && e.querySelector("canvas");
        if (canvas) {
            const data = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
            const differs = window.describedWindows.picture.findIndex((p, j) =>
                p !== (data[4 * j] | data[4 * j + 1] << 8 | data[4 * j + 2] << 16));
            if (differs >= 0 || data.length !== 4 * window.describedWindows.picture.length) {
                wrong.push(`${c.id} differs from its picture at pixel ${differs}`);
            }
        }
    }
    if (!main) window.korvanePage.closeWindow();
    return wrong;
}

// Checks every window but the message box, which is as large as its text, on a page of its own.
async function checkWindowLayouts(page, check) {
    const fresh = await page.browser().newPage();
    await fresh.setViewport(page.viewport());
    await fresh.evaluateOnNewDocument(keepDescriptions);
    await fresh.goto(page.url());
    await waitFor(fresh, "the game is ready", () => document.body.dataset.ready === "1");
    const names = await fresh.evaluate(() =>
        Object.keys(window.describedWindows).filter((n) => n !== "picture" && window.describedWindows[n].size[0]));
    check(names.includes("frmKorvane") && names.length > 1, `the windows are described (${names})`);
    for (const name of names) {
        const wrong = await fresh.evaluate(compareWindow, name);
        check(wrong.length === 0, `${name} is built as its description says` +
              (wrong.length ? ":\n      " + wrong.join("\n      ") : ""));
    }
    await fresh.close();
}

module.exports = {checkWindowLayouts};
