// The web page as a visitor meets it, in Debian's headless Chromium on 127.0.0.1, driven by the
// DevTools protocol's own mouse, key and touch events. $CIRCLES_PAGE names the page's folder; a
// start-up picture that differs from tests/ui/web/start-up.png is written to $TEST_OUTPUT, and
// CIRCLES_REMAKE_REFERENCES=1 makes the reference anew.
"use strict";

const assert = require("node:assert");
const fs = require("node:fs");
const path = require("node:path");
const test = require("node:test");
const { address, launch, serve } = require("../../../web/chromium.js");

const FOLDER = path.resolve(process.env.CIRCLES_PAGE ?? "build-web");
const REFERENCE = path.join(__dirname, "start-up.png");
const [WIDTH, HEIGHT] = fs.readFileSync(path.join(__dirname, "../../../ui/layout.h"), "utf8")
  .match(/kClientArea\{\d+, \d+, (\d+), (\d+)\}/).slice(1).map(Number);
const BLUE = "0,0,255", RED = "255,0,0";
const FAILED = "プログラムを読み込めませんでした。ページを読み込み直してください。";
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// A tab on the page, with what it writes on the console and the browser menus that opened (right
// clicks that nothing cancelled), after `setUp` has had the tab before the page loads.
async function open(browser, url, setUp = async () => {}) {
  const page = await browser.newPage();
  page.console = [];
  page.on("console", (message) => page.console.push(message.text()));
  await page.evaluateOnNewDocument(() => {
    window.menus = 0;
    addEventListener("contextmenu", (event) => { window.menus += !event.defaultPrevented; });
  });
  await setUp(page);
  await page.goto(url);
  return page;
}

// The pixels the tab shows of the window (or of a PNG), and the colour at x, y of the drawing
// area, which starts 10 px right of and 18 px below the window's corner, as "r,g,b".
async function window(page, png) {
  png ??= await page.screenshot({ clip: { x: 0, y: 0, width: WIDTH, height: HEIGHT } });
  const rgba = await page.evaluate(async (base64) => {
    const image = await createImageBitmap(await (await fetch(`data:image/png;base64,${base64}`)).blob());
    const context = new OffscreenCanvas(image.width, image.height).getContext("2d");
    context.drawImage(image, 0, 0);
    return Array.from(context.getImageData(0, 0, image.width, image.height).data);
  }, Buffer.from(png).toString("base64"));
  return { png, rgba, at: (x, y) => rgba.slice(4 * ((18 + y) * WIDTH + 10 + x)).slice(0, 3).join() };
}

async function waitFor(what, holds) {
  for (const deadline = Date.now() + 10000; !(await holds()); await sleep(50)) {
    assert.ok(Date.now() < deadline, `no ${what} after 10 s`);
  }
}
const colourAt = (page, x, y, colour) => waitFor(`${colour} at ${x}, ${y}`,
  async () => (await window(page)).at(x, y) === colour);

test("the page", async (t) => {
  const browser = await launch();
  const servers = [];  // each closed at the end, with the connections the browser left open
  const start = async (options) => servers[servers.push(await serve(FOLDER, options)) - 1];
  const server = await start();
  t.after(async () => {
    await browser.close();
    servers.forEach((each) => each.close() && each.closeAllConnections());
  });
  const page = await open(browser, address(server));
  await colourAt(page, 103, 100, BLUE);  // the blue centre's dot, a ring of radius 3

  await t.test("starts as the window does, in Japanese", async () => {
    assert.deepStrictEqual(await page.evaluate(() => [document.title, document.documentElement.lang,
      document.querySelector("link[rel=icon]").href]), ["円の交点算出サンプル", "ja", `${address(server)}circle-intersection.png`]);
    const { png, rgba } = await window(page);
    if (process.env.CIRCLES_REMAKE_REFERENCES) fs.writeFileSync(REFERENCE, png);
    if ((await window(page, fs.readFileSync(REFERENCE))).rgba.join() !== rgba.join()) {
      fs.writeFileSync(path.join(process.env.TEST_OUTPUT ?? ".", "web-start-up-actual.png"), png);
      assert.fail("the start-up picture differs from tests/ui/web/start-up.png");
    }
  });

  // What the page adds to the program's own handling, which the window tests check in a page too:
  // the mouse buttons, the keys and touches reach it, a finger scrolls and zooms nothing, and no
  // right click opens the browser's menu.
  await t.test("moves the centres by mouse, keys and fingers, opening no menu", async () => {
    const cdp = await page.createCDPSession();
    const touch = (type, [x, y] = []) =>
      cdp.send("Input.dispatchTouchEvent", { type, touchPoints: x ? [{ x: 10 + x, y: 18 + y }] : [] });
    const finger = (from, held, to) => async () => {  // held still first, or not
      await touch("touchStart", from).then(() => sleep(held ? 1000 : 0));
      await touch("touchMove", to).then(() => touch("touchEnd"));
    };
    const drag = (button, x, y) => async () => {
      await page.mouse.move(210, 218);
      await page.mouse.down({ button });
      await page.mouse.move(10 + x, 18 + y, { steps: 4 });
      await page.mouse.up({ button });
    };
    const steps = [  // each leaves that colour at (x, y) of the drawing area
      [drag("left", 150, 250), 153, 250, BLUE],
      [drag("right", 330, 80), 333, 80, RED],
      [() => page.keyboard.down("Control").then(() => page.keyboard.press("ArrowUp"))
        .then(() => page.keyboard.up("Control")), 333, 79, RED],
      [finger([40, 40], false, [100, 150]), 103, 150, BLUE],
      [finger([300, 300], true, [250, 60]), 253, 60, RED],
    ];
    for (const [act, x, y, colour] of steps) {
      await act();
      await colourAt(page, x, y, colour);
    }
    await page.mouse.click(424 + 170, 128, { button: "right" });
    await page.mouse.click(200, 200, { button: "right" });
    assert.strictEqual(await page.evaluate(() => window.menus), 0);
    assert.deepStrictEqual(page.console, []);
  });

  await t.test("on a phone held upright shows the whole window, drawn at the screen's density", async () => {
    const phone = await open(browser, address(server), (tab) => tab.setViewport(
      { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true }));
    await waitFor("the window", () => phone.evaluate(() => document.querySelector("canvas") !== null));
    const [shown, drawn] = await phone.$eval("canvas", (canvas) =>
      [canvas.getBoundingClientRect().width * visualViewport.scale, canvas.width]);
    assert.ok(Math.abs(shown - 390) <= 1 && Math.abs(drawn - 3 * shown) <= 3, `${drawn} px drawn on ${shown}`);
  });

  await t.test("says what it is doing, and where the program cannot load or run, why", async () => {
    const lines = [  // each a server, what the tab does before the page loads, and the line
      [server, (tab) => tab.evaluateOnNewDocument(() => { delete globalThis.WebAssembly; }),
       "このブラウザーでは WebAssembly が使えないため、プログラムを動かせません。"],
      [await start({ wasmType: "text/plain" }), undefined, FAILED],
      [await start({ pages: { "/circle-intersection.wasm": null } }), undefined, FAILED],
      [server, async (tab) => {  // while the program downloads, never to arrive
        await tab.setBypassServiceWorker(true);  // as at a first visit, nothing kept yet
        await tab.setRequestInterception(true);
        tab.on("request", (request) => request.url().endsWith(".wasm") || request.continue());
      }, "プログラムを読み込んでいます…"],
    ];
    for (const [where, setUp, line] of lines) {
      const tab = await open(browser, address(where), setUp);
      await waitFor(line, () => tab.$eval("#status", (status, text) => status.textContent.includes(text), line));
    }
  });
});
