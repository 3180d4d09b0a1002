#!/usr/bin/env bash
# Renews docs/screenshot-web.png: the browser version in headless Chromium, a game at the
# default 150 stars once the cube has come down, the crosshairs on it, the phasers firing and
# a torpedo on its way. The page watches a fixed recording (a seed and the player's lines at
# fixed frames), so every run shows the same game at the same frame: the recording's last
# line asks for a hint, whose message box holds the game still while the picture is taken
# (the box itself is hidden for it). Uses the browser test's puppeteer-core (tests/web; run
# that test once first).
#   web/make_screenshot.sh [OUT.png]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
shot=$(realpath "${1:-$root/docs/screenshot-web.png}")
out="$root/build-web-test"
"$root/web/build.sh" "$out" >/dev/null
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
/usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory "$out" >/dev/null 2>&1 &
server=$!  # Debian's own python: no wrapper between this shell and the server
trap 'kill "$server" 2>/dev/null || true' EXIT
sleep 1
NODE_PATH="$root/tests/web/node_modules" node - "http://127.0.0.1:$port/" "$shot" <<'JS'
const puppeteer = require("puppeteer-core");
const [url, shot] = process.argv.slice(2);
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
        args: ["--no-sandbox"], defaultViewport: {width: 733, height: 512}});
    const page = await browser.newPage();
    await page.goto(url);
    await page.waitForFunction(() => document.body.dataset.ready === "1");
    await page.evaluate((r) => window.korvanePage.watch(r), recording);
    // The watched game shows each message box for a second: the picture is taken within it.
    await page.waitForSelector(".dialog.msgbox", {timeout: 120000});
    await page.$eval("#overlay", (o) => { o.style.visibility = "hidden"; });
    await page.screenshot({path: shot});
    const held = await page.$(".dialog.msgbox");
    await browser.close();
    if (!held) throw new Error("the hint closed before the picture was taken; run it again");
})().catch((e) => { console.error(e); process.exit(1); });
JS
echo "Wrote $shot"
