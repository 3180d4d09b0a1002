#!/usr/bin/env bash
# Renews docs/screenshot-web.png: the browser version in headless Chromium, a game at the
# default 150 stars once the cube has come down, the crosshairs on it and the phasers
# firing. Uses the browser test's puppeteer-core (tests/web; run that test once first).
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
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
(async () => {
    const browser = await puppeteer.launch({executablePath: "/usr/bin/chromium", headless: true,
        args: ["--no-sandbox"], defaultViewport: {width: 733, height: 512}});
    const page = await browser.newPage();
    await page.goto(url);
    await page.waitForFunction(() => document.body.dataset.ready === "1");
    await page.click("#cmdStart");
    await page.waitForSelector("#frmStart #cmdOK");
    await page.click("#cmdOK");
    await page.waitForFunction(() => document.getElementById("txtGameTime").value === "0");
    await page.keyboard.press("s");  // shields against the globes while the cube comes down
    await page.waitForFunction(() => +document.getElementById("txtGameTime").value >= 7,
                               {timeout: 60000});
    // The cube's middle: the centre of the teal and grey pixels in the upper half.
    const [cx, cy] = await page.$eval("#Picture1", (c) => {
        const d = c.getContext("2d").getImageData(0, 0, 642, 241).data;
        let sx = 0, sy = 0, n = 0;
        for (let i = 0; i < d.length; i += 4) {
            const teal = d[i] === 0 && d[i + 1] === 77 && d[i + 2] === 68;
            const grey = d[i] === 128 && d[i + 1] === 128 && d[i + 2] === 128;
            if (teal || grey) { sx += (i / 4) % 642; sy += Math.floor(i / 4 / 642); n++; }
        }
        return n ? [sx / n, sy / n] : [321, 100];
    });
    const box = await (await page.$("#Picture1")).boundingBox();
    await page.mouse.click(box.x + cx, box.y + cy);
    await sleep(2500);
    await page.keyboard.press("Space");
    await sleep(300);
    await page.keyboard.press("Control");
    await page.screenshot({path: shot});
    await browser.close();
})().catch((e) => { console.error(e); process.exit(1); });
JS
echo "Wrote $shot"
