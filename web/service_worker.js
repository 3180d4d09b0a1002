// Keeps Korvane playable offline once the page has been loaded: the page's files are kept in
// a cache of this version, taken fresh from the server whenever it answers (so a new build
// shows at once) and from the cache when it does not. Every address is relative to this
// file, so the page works from whatever folder it is served (/, /play/, ...).
"use strict";

const kCache = "korvane-@PROJECT_VERSION@";
// The folder itself, then every file the build put in it (web/CMakeLists.txt writes the list).
const kFiles = ["./", ..."@KORVANE_OFFLINE_FILES@".split(" ")];

self.addEventListener("install", (event) => {
    event.waitUntil(caches.open(kCache).then((cache) => cache.addAll(kFiles))
        .then(() => self.skipWaiting()));
});

// Caches of other versions go; this worker serves the open pages at once.
self.addEventListener("activate", (event) => {
    event.waitUntil(caches.keys()
        .then((names) => Promise.all(names.filter((n) => n.startsWith("korvane-") && n !== kCache)
            .map((n) => caches.delete(n))))
        .then(() => self.clients.claim()));
});

// Only the page's own files: whatever else is served beside them is left to the network.
const kAddresses = new Set(kFiles.map((f) => new URL(f, self.location).href));
self.addEventListener("fetch", (event) => {
    const request = event.request;
    const url = new URL(request.url);
    url.search = "";
    if (request.method !== "GET" || !kAddresses.has(url.href)) return;
    event.respondWith(fetch(request).then((response) => {
        if (response.ok) {
            const copy = response.clone();
            event.waitUntil(caches.open(kCache).then((cache) => cache.put(request, copy)));
        }
        return response;
    }).catch(() => caches.match(request, {ignoreSearch: true}).then((kept) =>
        kept || Response.error())));
});
