"use strict";
// Keeps the page's own files, so that the game loads and plays without a network once
// it has loaded. Each file comes from the network while there is one, so that a new
// release is taken at once, and from the kept copy when the network fails. Nothing about
// the player is kept: the game keeps no state.
const CACHE = "korvanda";
const FILES = [
    "./",
    "index.html",
    "korvanda.css",
    "korvanda-page.js",
    "korvanda.js",
    "korvanda.wasm",
    "manifest.webmanifest",
    "favicon.ico",
    "icons/korvanda.svg",
    "icons/korvanda-32.png",
    "icons/korvanda-192.png",
    "icons/korvanda-512.png",
];

self.addEventListener("install", (event) => {
    event.waitUntil(
        caches.open(CACHE).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()),
    );
});

self.addEventListener("activate", (event) => event.waitUntil(self.clients.claim()));

self.addEventListener("fetch", (event) => {
    const request = event.request;
    if (request.method !== "GET" || new URL(request.url).origin !== self.location.origin)
        return;
    event.respondWith(
        fetch(request)
            .then((response) => {
                if (response.ok) {
                    const copy = response.clone();
                    event.waitUntil(caches.open(CACHE).then((cache) => cache.put(request, copy)));
                }
                return response;
            })
            .catch(() =>
                caches
                    .match(request, { ignoreSearch: true })
                    .then((kept) => kept || Response.error()),
            ),
    );
});
