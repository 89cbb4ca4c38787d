// The page's service worker: it keeps the files of one build of the page, each checked against
// its SHA-256, so that every visit after the first starts from them, with or without a network.
// The build writes FILES and VERSION in (web/worker.cmake): the files' hashes, and a version
// derived from them, which names the cache the build's files are kept in.
//
// A new build on the server changes this script (its hashes), and the browser, which looks for
// a new script at each visit, installs it beside the worker in use: it keeps the new set in a
// cache of its own while the pages open go on with the old one, and waits. At the next
// navigation to the page, once every page the old worker serves has fetched all of its files,
// the old worker hands over: it asks the new one to take over, which deletes the old set, and
// answers the navigation, and any other until then, with a page that loads itself again, from
// the new set. So a page never mixes sets: it is served from one cache from its first file to
// its last, and fetches nothing more once it has them. Taking over as soon as installed would
// hand a page still loading the new set's files; waiting for every page to close, as the browser
// does by itself, would never end in a tab that is only reloaded (the page left is still open
// while the next one is asked for).
"use strict";

const FILES = {
@CIRCLES_PAGE_FILES@};
const VERSION = "@CIRCLES_PAGE_VERSION@";
// Caches belong to the host's origin, and the page may lie in several of its folders.
const SCOPE = self.registration.scope;
const CACHE = `${SCOPE} ${VERSION}`;

// A file's hash as fetch checks it: "sha256-" and the hash in base64.
const integrity = (hex) =>
  `sha256-${btoa(String.fromCharCode(...hex.match(/../g).map((byte) => parseInt(byte, 16))))}`;

// The set is fetched past the browser's HTTP cache, which may hold another build's files, though
// revalidated: a host that sends ETag or Last-Modified answers 304 for the files the first visit
// has just loaded. A file that is not this build's (a set caught mid-upload) fails the install:
// the cache goes, the worker in use (if any) goes on, and the next visit tries again.
self.addEventListener("install", (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(CACHE);
    try {
      await Promise.all(Object.entries(FILES).map(async ([name, hash]) => {
        const response = await fetch(name, { cache: "no-cache", integrity: integrity(hash) });
        if (!response.ok) {
          throw new Error(`${name}: ${response.status}`);
        }
        await cache.put(name, response);
      }));
    } catch (error) {
      await caches.delete(CACHE);
      // Where the browser cannot keep the files, it is asked to forget the worker, quietly (an
      // install that fails reports an error): the page works online as without one, and the
      // next visit asks again. The browser does so once this install has ended.
      if (error.name === "QuotaExceededError") {
        self.registration.unregister();
        return;
      }
      throw error;
    }
  })());
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys().then((names) => Promise.all(names
    .filter((name) => name.startsWith(`${SCOPE} `) && name !== CACHE)
    .map((name) => caches.delete(name)))));
});

// Sent by the worker in use to the one waiting, when it may take over.
self.addEventListener("message", (event) => {
  if (event.data === "take over") {
    event.waitUntil(self.skipWaiting());
  }
});

// The pages this worker has served that have yet to fetch some of their files, by client, with
// those files. In memory: a worker is stopped only when idle, after any page it served has them.
const loading = new Map();
const LOADED = ["loader.js", "circle-intersection.js", "circle-intersection.wasm"];
let handedOver = false;

async function respond(event, name) {
  const { waiting } = self.registration;
  if (event.request.mode === "navigate" && waiting &&
      (handedOver || (await self.clients.matchAll()).every((client) => !loading.has(client.id)))) {
    // It takes over once this worker has answered (the browser waits for the events in hand).
    handedOver = true;
    waiting.postMessage("take over");
    return new Response('<!DOCTYPE html><link rel="icon" href="data:,"><meta http-equiv="refresh" content="0">',
                        { headers: { "Content-Type": "text/html" } });
  }
  if (event.request.mode === "navigate") {
    loading.set(event.resultingClientId, new Set(LOADED));
  } else if (loading.get(event.clientId)?.delete(name) && !loading.get(event.clientId).size) {
    loading.delete(event.clientId);
  }
  // From the network only if the browser has dropped the set since (a cleared storage).
  return (await (await caches.open(CACHE)).match(name)) ?? fetch(event.request);
}

// The page's own files come from the set, the page itself at the folder's address too; anything
// else (the licences) from the network.
self.addEventListener("fetch", (event) => {
  const url = new URL(event.request.url);
  const path = url.origin + url.pathname;
  const name = path.slice(SCOPE.length) || "index.html";
  if (event.request.method === "GET" && path.startsWith(SCOPE) && Object.hasOwn(FILES, name)) {
    event.respondWith(respond(event, name));
  }
});
