#!/usr/bin/env bash
# Renews the browser version's pictures in docs/: screenshot-web.png (a desktop browser) and,
# with the controls for thumbs, screenshot-phone-portrait.png (390 x 844), -landscape.png
# (844 x 390) and screenshot-tablet.png (820 x 1180), each in headless Chromium: a game at the
# default 150 stars once the cube has come down, the crosshairs on it, the phasers firing and
# a torpedo on its way. The page watches a fixed recording (a seed and the player's lines at
# fixed frames), so every run shows the same game at the same frame: the recording's last
# line asks for a hint, whose message box holds the game still while the picture is taken
# (the box itself is hidden for it). Uses the browser test's puppeteer-core (tests/web; run
# that test once first).
#   web/make_screenshot.sh [DOCS_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
docs=$(realpath "${1:-$root/docs}")
out="$root/build-web-test"
"$root/web/build.sh" "$out" >/dev/null
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
/usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory "$out" >/dev/null 2>&1 &
server=$!  # Debian's own python: no wrapper between this shell and the server
trap 'kill "$server" 2>/dev/null || true' EXIT
sleep 1
NODE_PATH="$root/tests/web/node_modules" node - "http://127.0.0.1:$port/" "$docs" <<'JS'
const puppeteer = require("puppeteer-core");
const path = require("path");
const [url, docs] = process.argv.slice(2);
const touch = {isMobile: true, hasTouch: true};
const shots = [["screenshot-web.png", {width: 733, height: 512}],
               ["screenshot-phone-portrait.png", {width: 390, height: 844, deviceScaleFactor: 2, ...touch}],
               ["screenshot-phone-landscape.png", {width: 844, height: 390, deviceScaleFactor: 2, ...touch}],
               ["screenshot-tablet.png", {width: 820, height: 1180, ...touch}]];
// Shields against the globes, the crosshairs sent to where the cube's middle will be, a
// torpedo, the phasers, and at frame 3956 (beam drawn, torpedo climbing) the hint.
const recording = `seed 7
screensize 1024x768
default-stars
click cmdStart
at 5 keyup 83
at 3500 mouseup 1 110 56
at 3880 keyup 32
at 3955 keyup 17
at 3956 keyup 72
`;
(async () => {
    const browser = await puppeteer.launch({executablePath: "/usr/bin/chromium", headless: true,
        args: ["--no-sandbox"]});
    for (const [file, viewport] of shots) {
        const page = await browser.newPage();
        await page.setViewport(viewport);
        await page.goto(url);
        await page.waitForFunction(() => document.body.dataset.ready === "1");
        await page.evaluate((r) => window.korvanePage.watch(r), recording);
        // The watched game shows each message box for a second: the picture is taken within it.
        await page.waitForSelector(".dialog.msgbox", {timeout: 120000});
        await page.$eval("#overlay", (o) => { o.style.visibility = "hidden"; });
        await page.screenshot({path: path.join(docs, file)});
        const held = await page.$(".dialog.msgbox");
        await page.close();
        if (!held) throw new Error(`the hint closed before ${file} was taken; run it again`);
        console.log(`Wrote ${path.join(docs, file)}`);
    }
    await browser.close();
})().catch((e) => { console.error(e); process.exit(1); });
JS
