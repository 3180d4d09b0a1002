// The browser build against the floor page (floor_page.html) in Debian's headless Chromium,
// for korvane-bench --battery: the CPU of all of Chromium's processes while each page plays
// (the floor before and after the game, averaged), and the game's pace, from its clock's
// ticks (500 frames apart).
//   node browser_battery.js WEBDIR SECONDS
// Prints one line: floor_cpu=... game_cpu=... game_fps=... (CPU as a share of one core).
"use strict";
const fs = require("fs");
const http = require("http");
const path = require("path");

const [webDir, secondsArg] = process.argv.slice(2);
const seconds = Number(secondsArg || 10);
const root = path.resolve(__dirname, "../..");
let puppeteer;
try {
    puppeteer = require(path.join(root, "tests/web/node_modules/puppeteer-core"));
} catch (e) {
    console.log("problem=puppeteer-core is missing: run 'npm install' in tests/web");
    process.exit(0);
}
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// The game's folder, and the floor page beside it; only on the loopback interface.
function serve() {
    const types = {".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm",
                   ".css": "text/css", ".png": "image/png"};
    const server = http.createServer((request, response) => {
        const name = decodeURIComponent(new URL(request.url, "http://x").pathname);
        const file = name === "/floor.html" ? path.join(__dirname, "floor_page.html")
                                            : path.join(webDir, path.normalize(name === "/" ? "/index.html" : name));
        fs.readFile(file, (error, data) => {
            if (error) { response.writeHead(404); response.end(); return; }
            response.writeHead(200, {"Content-Type": types[path.extname(file)] || "application/octet-stream"});
            response.end(data);
        });
    });
    return new Promise((resolve) => server.listen(0, "127.0.0.1", () => resolve(server)));
}

// CPU seconds (the scheduler's nanoseconds) of every thread of a process and its descendants.
function descendants(pid) {
    const children = {};
    for (const entry of fs.readdirSync("/proc")) {
        if (!/^\d+$/.test(entry)) continue;
        try {
            const stat = fs.readFileSync(`/proc/${entry}/stat`, "utf8");
            const ppid = Number(stat.slice(stat.lastIndexOf(")") + 2).split(" ")[1]);
            (children[ppid] = children[ppid] || []).push(Number(entry));
        } catch (e) { /* gone meanwhile */ }
    }
    const all = [pid];
    for (let i = 0; i < all.length; i++) all.push(...(children[all[i]] || []));
    return all;
}
function snapshot(pid) {
    const threads = {};
    for (const p of descendants(pid)) {
        let tasks = [];
        try { tasks = fs.readdirSync(`/proc/${p}/task`); } catch (e) { continue; }
        for (const t of tasks) {
            try {
                threads[t] = Number(fs.readFileSync(`/proc/${p}/task/${t}/schedstat`, "utf8").split(" ")[0]) / 1e9;
            } catch (e) { /* gone meanwhile */ }
        }
    }
    return threads;
}
async function cpuShare(pid) {
    const before = snapshot(pid);
    const start = process.hrtime.bigint();
    await sleep(seconds * 1000);
    const after = snapshot(pid);
    const real = Number(process.hrtime.bigint() - start) / 1e9;
    let used = 0;
    for (const [t, cpu] of Object.entries(after)) used += cpu - (before[t] || 0);
    return used / real;
}

// Frames per second from the game clock's ticks, timed in the page; 0 when the game ends
// (an attack the bench does not answer) before they have all come.
async function pace(page) {
    const ticks = 2;
    const elapsed = await page.evaluate((ticks) => new Promise((resolve) => {
        const clock = document.getElementById("txtGameTime");
        let last = clock.value, first = 0, seen = -1;
        const timer = setInterval(() => {
            if (document.getElementById("cmdPhaser").disabled) resolve(0);
            if (clock.value === last) return;
            last = clock.value;
            if (++seen === 0) first = performance.now();
            if (seen === ticks) { clearInterval(timer); resolve(performance.now() - first); }
        }, 2);
    }), ticks);
    return elapsed > 0 ? (ticks * 500) / (elapsed / 1000) : 0;
}

(async () => {
    const server = await serve();
    const base = `http://127.0.0.1:${server.address().port}/`;
    const browser = await puppeteer.launch({
        executablePath: process.env.CHROMIUM || "/usr/bin/chromium", headless: true,
        args: ["--no-sandbox", "--window-size=800,600"], defaultViewport: {width: 760, height: 540}});
    const pid = browser.process().pid;
    const result = {};
    try {
        // The floor before and after the game: a machine whose load drifts meanwhile
        // moves both alike.
        const floor = async () => {
            const page = await browser.newPage();
            await page.goto(base + "floor.html");
            await sleep(1000);
            const share = await cpuShare(pid);
            await page.close();
            return share;
        };
        const floorBefore = await floor();

        const page = await browser.newPage();
        await page.goto(base);
        await page.waitForFunction(() => document.body.dataset.ready === "1", {timeout: 30000});
        await page.click("#cmdStart");
        await page.waitForSelector("#frmStart #cmdOK", {timeout: 10000});
        await page.click("#cmdOK");
        await page.waitForFunction(() => document.getElementById("txtGameTime").value === "0",
                                   {timeout: 10000});
        await sleep(1000);
        // The pace first: the longer a game runs unattended, the likelier an attack ends it.
        result.game_fps = await pace(page);
        result.game_cpu = await cpuShare(pid);
        if (await page.$eval("#cmdPhaser", (b) => b.disabled)) result.ended = "during_the_measure";
        await page.close();
        result.floor_cpu = (floorBefore + await floor()) / 2;
    } catch (e) {
        result.problem = String(e.message || e).split("\n")[0].replace(/\s+/g, "_");
    }
    await browser.close();
    server.close();
    console.log(Object.entries(result).map(([k, v]) => `${k}=${typeof v === "number" ? v.toFixed(4) : v}`).join(" "));
})();
