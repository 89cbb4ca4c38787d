// The web page's benchmarks on 127.0.0.1, in each engine of tools/browsers.js, Chromium,
// Firefox and WebKit side by side (make bench-web, which runs it under tools/xvfb.sh for the
// last two):
// - the bytes a first visit transfers, raw, gzip -9 and Brotli (the page's precompressed copies;
//   goal: at most 3 MB compressed in all);
// - navigation to the first complete picture, median of 9 first visits, each with an empty
//   cache (goal: at most 1.0 s), and, in Chromium, of the 9 visits after them, each in a new tab
//   once the first has kept the page's files (goal: at most 0.35 s);
// - a mouse move with the left button to the picture updated on the page, p99 over 1,000 moves:
//   the page's work for it, the handling of the move (Qt's and the program's, the redraw
//   included) and the frame in which Qt puts the new picture on the page (goal: at most 4 ms, a
//   240 Hz display's frame); beside it the move's handling alone against BM_MouseMoveEvent's p99,
//   the desktop program's, measured in the same run; and, for what a visitor sees, the time from
//   the move's event to the end of that frame, which includes the browser's wait for its next
//   frame (60 a second) and the delivery of the event by the engine's automation (in WebKit,
//   real X input).
//
// Usage: tools/xvfb.sh node bench/web_bench.js build-web build/circle-intersection-bench
// ($CIRCLES_ENGINE names one engine to measure alone)
"use strict";

const { execFileSync } = require("node:child_process");
const fs = require("node:fs");
const path = require("node:path");
const { ENGINES, address, launch, serve } = require("../tools/browsers.js");
const { BLUE_DOT, onPicture } = require("../tests/ui/web/layout.js");

const [folder, desktopBench] = process.argv.slice(2);
// The service worker then fetches the files it keeps again, revalidated: a host that sends ETag
// or Last-Modified answers each with a 304.
const FIRST_VISIT = ["index.html", "loader.js", "circle-intersection.js", "circle-intersection.wasm",
                     "circle-intersection.png", "manifest.webmanifest", "circle-intersection-512.png",
                     "service-worker.js"];
const MOVES = 1000;
// Where the page shows the blue centre's dot at start-up.
const DOT = onPicture(...BLUE_DOT);

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const p99 = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length * 0.99)];
const megabytes = (bytes) => `${(bytes / 1e6).toFixed(2)} MB`;

// In the page, before it loads, on the time line of the navigation (performance.now()):
// `firstPicture` is the end of the first frame whose picture shows the blue centre's dot at the
// page's point `dot` (Qt composites the whole window in one frame, so that frame holds all of
// it). For each pointer move (Qt takes pointer events, not mouse events) `moves` records its
// event's time, when its handling began and ended (before and after every listener, Qt's
// included), and when the next frame in which Qt drew began and ended.
function timeFrames(dot) {
  window.moves = [];
  let move = null;
  addEventListener("pointermove", (event) => {
    move = { event: event.timeStamp, start: performance.now() };
  }, true);
  // The end, once the program runs: a listener added after Qt's comes after it.
  window.timeHandling = () => addEventListener("pointermove", () => { move.handled = performance.now(); });
  const frame = requestAnimationFrame;
  window.requestAnimationFrame = (draw) => frame((time) => {
    const begun = performance.now();
    draw(time);
    const end = performance.now();
    if (move) {
      window.moves.push({ ...move, frame: end - begun, shown: end });
      move = null;
    }
    const canvas = document.querySelector("canvas");
    const gl = canvas && (canvas.getContext("webgl2") || canvas.getContext("webgl"));
    if (gl && window.firstPicture === undefined) {
      const ratio = canvas.width / canvas.clientWidth, pixel = new Uint8Array(4);
      const [x, y] = dot.map((at) => Math.round(at * ratio));
      gl.readPixels(x, canvas.height - 1 - y, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
      if (pixel[0] === 0 && pixel[1] === 0 && pixel[2] === 255) window.firstPicture = end;
    }
  });
}

// An engine's figures, in ms: the first picture's median, minimum and maximum over 9 first
// visits, and the p99s of a move.
async function measure(engine, folder) {
  const index = fs.readFileSync(path.join(folder, "index.html"), "utf8");
  const script = `${engine.preload ?? ""}(${timeFrames})(${JSON.stringify(DOT)});`;
  const server = await serve(path.resolve(folder), { isolated: true, pages: {
    "/index.html": index.replace('<script src="loader.js">', `<script>${script}</script>$&`) } });
  const browser = await engine.launch();
  const firstPictures = [];
  let page;
  for (let visit = 0; visit < 9; ++visit) {
    page = await browser.open(address(server));  // an empty cache
    const waited = await page.evaluate(() => new Promise((shown) => {
      const wait = () => (window.firstPicture === undefined ? setTimeout(wait, 10) : shown(true));
      setTimeout(() => shown(false), 30000);
      wait();
    }));
    if (!waited) throw new Error(`${engine.name}: no picture after 30 s`);
    firstPictures.push(await page.evaluate(() => window.firstPicture));
  }

  // The left button held on the picture, the pointer goes to and fro between a place where the
  // circles cross and one where they do not, as BM_MouseMoveEvent's events do; each move waits
  // for the frame that shows it.
  await page.evaluate(() => window.timeHandling());
  await page.mouse.move(...onPicture(200, 200));
  await page.mouse.down();
  for (let i = 0; i < MOVES; ++i) {
    await page.mouse.move(...(i % 2 ? onPicture(120, 110) : onPicture(200, 250)));
    await page.evaluate((count) => new Promise((shown) => {
      const wait = () => (window.moves.length > count ? shown() : requestAnimationFrame(wait));
      wait();
    }), i);
  }
  await page.mouse.up();
  const moves = await page.evaluate(() => window.moves);
  await browser.close();
  server.close();
  return {
    name: engine.name,
    firstPicture: [median(firstPictures), Math.min(...firstPictures), Math.max(...firstPictures)],
    work: p99(moves.map((move) => move.handled - move.start + move.frame)),
    handled: p99(moves.map((move) => move.handled - move.start)),
    seen: p99(moves.map((move) => move.shown - move.event)),
  };
}

// The first and the repeat visit in Chromium, ms: for each of 9 visitors (a browser context of
// its own, an empty cache) the first picture of a first visit, then, once the service worker
// has kept the page's files, of a visit in a new tab.
async function repeatVisits(folder) {
  const server = await serve(path.resolve(folder), { isolated: true });
  const browser = await launch();
  const pictures = { first: [], repeat: [] };
  for (let visit = 0; visit < 9; ++visit) {
    const context = await browser.createBrowserContext();
    for (const times of [pictures.first, pictures.repeat]) {
      const page = await context.newPage();
      await page.evaluateOnNewDocument(timeFrames, DOT);
      await page.goto(address(server));
      await page.waitForFunction(() => window.firstPicture !== undefined, { timeout: 30000 });
      times.push(await page.evaluate(() => window.firstPicture));
      await page.waitForFunction(async () =>
        (await navigator.serviceWorker.getRegistration())?.active?.state === "activated");
      await page.close();
    }
  }
  await browser.close();
  server.close();
  for (const [visit, times, goal] of [["first", pictures.first, 1000], ["repeat", pictures.repeat, 350]]) {
    console.log(`Chromium, navigation to the first complete picture, ${visit} visit: median ` +
                `${median(times).toFixed(0)} ms of 9 (${Math.min(...times).toFixed(0)} to ` +
                `${Math.max(...times).toFixed(0)}; goal: at most ${goal})`);
  }
}

async function main() {
  const size = (file) => (fs.existsSync(file) ? fs.statSync(file).size : undefined);
  const bytes = { raw: 0, gzip: 0, brotli: 0 };
  for (const name of FIRST_VISIT) {
    const file = path.join(folder, name);
    bytes.raw += size(file);
    bytes.gzip += size(`${file}.gz`) ?? size(file);
    bytes.brotli += size(`${file}.br`) ?? size(file);
  }
  console.log(`A first visit transfers ${megabytes(bytes.raw)} raw, ${megabytes(bytes.gzip)} ` +
              `with gzip -9, ${megabytes(bytes.brotli)} with Brotli (goal: at most 3 MB)`);

  const figures = [];
  for (const engine of ENGINES.filter(({ name }) => (process.env.CIRCLES_ENGINE ?? name) === name)) {
    figures.push(await measure(engine, folder));
  }

  const desktop = JSON.parse(execFileSync(desktopBench, ["--benchmark_filter=BM_MouseMoveEvent$",
    "--benchmark_format=json"], { env: { ...process.env, QT_QPA_PLATFORM: "offscreen",
                                  XDG_RUNTIME_DIR: fs.mkdtempSync("/tmp/circles-bench-") } }));
  const desktopP99 = desktop.benchmarks[0].p99_us / 1000;
  const row = (name, cell) =>
    console.log(name.padEnd(66) + figures.map((each) => cell(each).padStart(12)).join(""));
  const ms = (value) => `${value.toFixed(2)} ms`;
  row("", ({ name }) => name);
  row("Navigation to the first complete picture, median of 9",
      ({ firstPicture: [middle] }) => `${middle.toFixed(0)} ms`);
  row("  fastest to slowest", ({ firstPicture: [, least, most] }) => `${least.toFixed(0)}-${most.toFixed(0)}`);
  row(`A mouse move to the picture updated, p99 of ${MOVES}: the page's work`, ({ work }) => ms(work));
  row("  its handling alone", ({ handled }) => ms(handled));
  row(`  that against the desktop program's (${(desktopP99 * 1000).toFixed(1)} us)`,
      ({ handled }) => `${(handled / desktopP99).toFixed(1)} x`);
  row("  from its event to the end of the frame that shows it", ({ seen }) => ms(seen));
  console.log("Goals: the first picture in at most 1000 ms, the page's work for a move at most 4 ms");
  if ((process.env.CIRCLES_ENGINE ?? "Chromium") === "Chromium") {
    await repeatVisits(folder);
  }
}

main().catch((error) => {
  console.error(error);
  process.exitCode = 1;
});
