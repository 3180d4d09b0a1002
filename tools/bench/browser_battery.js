// The browser build against the floor page (floor_page.html) in Debian's Chromium, for
// korvane-bench --battery --web: what a player's battery pays, counted as a player's machine
// counts it.
// - Chromium runs with its window on a display (a private Xvfb where there is one), not
//   headless: headless Chromium draws no window, so the compositing and presenting of every
//   frame, where most of a page's cost beyond its own script lies, went uncounted.
// - All of Chromium's processes are counted, each as a whole (/proc/PID/stat), so that the
//   time of threads that ended meanwhile counts too; wake-ups are the voluntary context
//   switches of all their threads.
// - Floor and game take turns: RUNS games with the sound on and RUNS with the game's sound
//   switch off, one of each in turn, between 2 x RUNS + 1 floors, each game against the
//   floors on either side of it; the medians of the runs are the answers. A single pair was at the mercy of whatever else the machine did
//   in those seconds.
// The game's pace comes from its clock's ticks (500 frames apart) in the first run.
//   node browser_battery.js WEBDIR SECONDS [RUNS]
// Prints one line of key=value pairs (CPU as a share of one core): floor_cpu, game_cpu and
// ratio (medians), floor_wakeups and game_wakeups (per second), game_fps, runs (each run's
// ratio), the same as quiet_* for the games played with the game's sound switch off,
// floor_by_type and game_by_type (CPU by Chromium's process type, % of a core),
// above_floor (the threads whose CPU is most above the floors', in points of a core, as
// TYPE/THREAD, "main" for a process's main thread), display (xvfb, or headless where there
// is no Xvfb).
//   node browser_battery.js WEBDIR SECONDS --profile
// Instead, where the time goes: Chromium's own trace of SECONDS of each page, the busiest
// threads and their longest-running kinds of task.
"use strict";
const {spawn} = require("child_process");
const fs = require("fs");
const http = require("http");
const path = require("path");

const [webDir, secondsArg, third] = process.argv.slice(2);
// The floor page's canvas is the viewscreen's size, as korvane-bench gives it.
const floorPath = "floor.html?size=" + (process.env.KORVANE_VIEWSCREEN || "");
const seconds = Number(secondsArg || 10);
const profile = third === "--profile";
const runs = profile ? 1 : Math.max(1, Number(third || 5));
const root = path.resolve(__dirname, "../..");
let puppeteer;
try {
    puppeteer = require(path.join(root, "tests/web/node_modules/puppeteer-core"));
} catch (e) {
    console.log("problem=puppeteer-core is missing: run 'npm install' in tests/web");
    process.exit(0);
}
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

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

// A display of our own: Xvfb picks a free number and tells it; null where there is no Xvfb.
function startDisplay() {
    return new Promise((resolve) => {
        let xvfb;
        try {
            xvfb = spawn("Xvfb", ["-displayfd", "3", "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                         {stdio: ["ignore", "ignore", "ignore", "pipe"]});
        } catch (e) {
            resolve(null);
            return;
        }
        let number = "";
        const timer = setTimeout(() => { xvfb.kill(); resolve(null); }, 10000);
        xvfb.on("error", () => { clearTimeout(timer); resolve(null); });
        xvfb.stdio[3].on("data", (d) => {
            number += d;
            if (!number.includes("\n")) return;
            clearTimeout(timer);
            resolve({name: ":" + number.trim(), stop: () => xvfb.kill()});
        });
    });
}

// ---- What Chromium's processes use, from /proc -------------------------------------------
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
const kTicks = 100;  // the kernel's clock ticks a second (CLK_TCK on Linux)
const cpuOf = (stat) => {
    const fields = stat.slice(stat.lastIndexOf(")") + 2).split(" ");
    return (Number(fields[11]) + Number(fields[12])) / kTicks;
};
// {pid: {cpu, wakeups, type, threads}}: a process's CPU seconds, its threads' dead and alive
// (utime + stime), its live threads' voluntary context switches, and their CPU seconds by
// name ({"TYPE/NAME": seconds}).
function snapshot(pid) {
    const processes = {};
    for (const p of descendants(pid)) {
        try {
            const stat = fs.readFileSync(`/proc/${p}/stat`, "utf8");
            const cmdline = fs.readFileSync(`/proc/${p}/cmdline`, "utf8");
            const type = (/--type=([a-z-]+)/.exec(cmdline) || [0, "browser"])[1];
            let wakeups = 0;
            const threads = {};
            for (const t of fs.readdirSync(`/proc/${p}/task`)) {
                try {
                    const status = fs.readFileSync(`/proc/${p}/task/${t}/status`, "utf8");
                    wakeups += Number((/^voluntary_ctxt_switches:\s*(\d+)/m.exec(status) || [0, 0])[1]);
                    const name = `${type}/${t === String(p) ? "main" : /^Name:\s*(.*)$/m.exec(status)[1]}`;
                    threads[name] = (threads[name] || 0) + cpuOf(fs.readFileSync(`/proc/${p}/task/${t}/stat`, "utf8"));
                } catch (e) { /* gone meanwhile */ }
            }
            processes[p] = {cpu: cpuOf(stat), wakeups, type, threads};
        } catch (e) { /* gone meanwhile */ }
    }
    return processes;
}
async function measure(pid) {
    const before = snapshot(pid);
    const start = process.hrtime.bigint();
    await sleep(seconds * 1000);
    const after = snapshot(pid);
    const real = Number(process.hrtime.bigint() - start) / 1e9;
    const used = {cpu: 0, wakeups: 0, byType: {}, byThread: {}};
    for (const [p, now] of Object.entries(after)) {
        const then = before[p] || {cpu: 0, wakeups: 0, threads: {}};
        used.cpu += (now.cpu - then.cpu) / real;
        used.wakeups += (now.wakeups - then.wakeups) / real;
        used.byType[now.type] = (used.byType[now.type] || 0) + (now.cpu - then.cpu) / real;
        for (const [name, cpu] of Object.entries(now.threads)) {
            used.byThread[name] = (used.byThread[name] || 0) + (cpu - (then.threads[name] || 0)) / real;
        }
    }
    return used;
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

async function startGame(page, base, soundOff) {
    await page.goto(base);
    await page.waitForFunction(() => document.body.dataset.ready === "1", {timeout: 30000});
    if (soundOff) {
        await page.click("#cmdSound");
        await page.waitForFunction(() => /OFF/.test(document.getElementById("cmdSound").textContent), {timeout: 10000});
    }
    await page.click("#cmdStart");
    await page.waitForSelector("#frmStart #cmdOK", {timeout: 10000});
    await page.click("#cmdOK");
    await page.waitForFunction(() => document.getElementById("txtGameTime").value === "0", {timeout: 10000});
    await sleep(1000);
}

// ---- Where the time goes: Chromium's trace of one page ------------------------------------
// Each thread's busy time (its outermost tasks) and the names of the tasks under them that
// took longest, as shares of one core.
async function traceOf(page, what) {
    const file = path.join(require("os").tmpdir(), `korvane-trace-${process.pid}.json`);
    await page.tracing.start({path: file, categories: ["toplevel", "disabled-by-default-devtools.timeline", "blink", "cc", "viz", "gpu", "v8"]});
    await sleep(seconds * 1000);
    await page.tracing.stop();
    const events = JSON.parse(fs.readFileSync(file, "utf8")).traceEvents;
    fs.unlinkSync(file);
    const names = {};
    for (const e of events) if (e.ph === "M" && e.name === "thread_name") names[`${e.pid}:${e.tid}`] = e.args.name;
    const busy = {};
    const tasks = {};
    for (const e of events) {
        if (e.ph !== "X" || !e.dur) continue;
        const thread = names[`${e.pid}:${e.tid}`] || `thread ${e.tid}`;
        const time = (e.tdur || e.dur) / 1e6 / seconds;
        if (e.cat === "toplevel") busy[thread] = (busy[thread] || 0) + time;
        else tasks[`${thread} / ${e.name}`] = (tasks[`${thread} / ${e.name}`] || 0) + time;
    }
    const top = (table, n) => Object.entries(table).sort((a, b) => b[1] - a[1]).slice(0, n)
        .map(([k, v]) => `    ${(100 * v).toFixed(1).padStart(5)}%  ${k}`).join("\n");
    console.log(`${what}: threads' busy time\n${top(busy, 8)}\n${what}: tasks\n${top(tasks, 14)}`);
}

(async () => {
    const display = await startDisplay();
    const server = await serve();
    const base = `http://127.0.0.1:${server.address().port}/`;
    const browser = await puppeteer.launch({
        executablePath: process.env.CHROMIUM || "/usr/bin/chromium", headless: !display,
        env: display ? {...process.env, DISPLAY: display.name} : process.env,
        ignoreDefaultArgs: ["--enable-automation"],
        args: ["--no-sandbox", "--window-size=1280,800", "--window-position=0,0", "--no-first-run"],
        defaultViewport: null});
    const pid = browser.process().pid;
    const result = {};
    try {
        // One tab at a time, in the window's own first tab, as a player has it.
        const [tab] = await browser.pages();
        const floor = async () => {
            await tab.goto(base + floorPath);
            await sleep(1000);
            return measure(pid);
        };
        if (profile) {
            await tab.goto(base + floorPath);
            await sleep(1000);
            await traceOf(tab, "floor page");
            await startGame(tab, base);
            await traceOf(tab, "game page");
        } else {
            // Each game with the sound on, then one with the game's sound switch off: what the
            // page costs beside what Chromium's own sound machinery does (the audio output, the
            // tab's "playing audio" indicator).
            const floors = [await floor()];
            const games = [];
            const quiet = [];
            for (let run = 0; run < runs; run++) {
                for (const soundOff of [false, true]) {
                    await startGame(tab, base, soundOff);
                    // The pace first: the longer a game runs unattended, the likelier an attack ends it.
                    if (run === 0 && !soundOff) result.game_fps = await pace(tab);
                    (soundOff ? quiet : games).push(await measure(pid));
                    if (await tab.$eval("#cmdPhaser", (b) => b.disabled)) result.ended = "during_the_measure";
                    floors.push(await floor());
                }
            }
            // The games with the sound on sit between floors 2i and 2i + 1, those without between
            // 2i + 1 and 2i + 2.
            const around = (i, offset) => [floors[2 * i + offset], floors[2 * i + offset + 1]];
            const ratios = (list, offset) => list.map((g, i) => {
                const [a, b] = around(i, offset);
                return g.cpu / ((a.cpu + b.cpu) / 2);
            });
            const soundRatios = ratios(games, 0);
            const quietRatios = ratios(quiet, 1);
            result.ratio = median(soundRatios);
            result.quiet_ratio = median(quietRatios);
            result.floor_cpu = median(floors.map((f) => f.cpu));
            result.game_cpu = median(games.map((g) => g.cpu));
            result.quiet_cpu = median(quiet.map((g) => g.cpu));
            result.floor_wakeups = median(floors.map((f) => f.wakeups));
            result.game_wakeups = median(games.map((g) => g.wakeups));
            result.quiet_wakeups = median(quiet.map((g) => g.wakeups));
            result.runs = soundRatios.map((r) => r.toFixed(2)).join(",");
            result.quiet_runs = quietRatios.map((r) => r.toFixed(2)).join(",");
            const byType = (m) => Object.entries(m.byType).filter(([, c]) => c >= 0.0005)
                .map(([t, c]) => `${t}:${(100 * c).toFixed(1)}`).join(",");
            result.floor_by_type = byType(floors[floors.length >> 1]);
            result.game_by_type = byType(games[games.length >> 1]);
            result.quiet_by_type = byType(quiet[quiet.length >> 1]);
            // Each thread's CPU in the games with sound less the floors', medians of the runs.
            const names = new Set(games.concat(floors).flatMap((m) => Object.keys(m.byThread)));
            const above = [...names].map((name) => [name, median(games.map((g, i) =>
                (g.byThread[name] || 0) - around(i, 0).reduce((sum, f) => sum + (f.byThread[name] || 0), 0) / 2))]);
            result.above_floor = above.sort((a, b) => b[1] - a[1]).slice(0, 6)
                .map(([name, c]) => `${name.replace(/\s+/g, "_")}:${(100 * c).toFixed(1)}`).join(",");
            result.display = display ? "xvfb" : "headless";
        }
    } catch (e) {
        result.problem = String(e.message || e).split("\n")[0].replace(/\s+/g, "_");
    }
    await browser.close();
    server.close();
    if (display) display.stop();
    if (!profile || result.problem) {
        console.log(Object.entries(result).map(([k, v]) => `${k}=${typeof v === "number" ? v.toFixed(4) : v}`).join(" "));
    }
})();
