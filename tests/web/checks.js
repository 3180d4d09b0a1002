// What the browser tests share: each check printed on a line of its own ("ok   ..." or
// "FAIL ..."), a wait on the page that fails as a check rather than hanging, and the exit
// code from the checks.
"use strict";
const failures = [];
const check = (ok, what) => { if (!ok) failures.push(what); console.log((ok ? "ok   " : "FAIL ") + what); };
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
async function waitFor(page, what, fn, timeout = 15000, ...args) {
    try { await page.waitForFunction(fn, {timeout}, ...args); return true; }
    catch (e) { check(false, what + " (timed out)"); return false; }
}
// Ends the test: 1 when any check failed.
const finish = () => process.exit(failures.length ? 1 : 0);
module.exports = {check, sleep, waitFor, finish};
