// The web page as a visitor meets it, on 127.0.0.1, in each engine of tools/browsers.js:
// Chromium, Firefox and WebKit, each driven by its own automation, as trusted mouse, key and
// touch input.
// Run it under tools/xvfb.sh: Firefox and WebKit draw WebGL only with an X display. $CIRCLES_PAGE
// names the page's folder; a start-up picture that differs from tests/ui/web/start-up.png is
// written to $TEST_OUTPUT, CIRCLES_REMAKE_REFERENCES=1 makes the reference anew, and
// $CIRCLES_ENGINE names one engine to test alone.
"use strict";

const assert = require("node:assert");
const fs = require("node:fs");
const path = require("node:path");
const test = require("node:test");
const { ENGINES, address, sleep, waitFor } = require("../../../tools/browsers.js");
const { PAGE, assertReference, serving } = require("../../web/chromium.js");
const { BAR_WIDTH, BLUE_DOT, HEIGHT, WIDTH, onBar, onPicture } = require("./layout.js");

const BLUE = "0,0,255", RED = "255,0,0";
const FAILED = "プログラムを読み込めませんでした。ページを読み込み直してください。";
// What Chromium and Firefox themselves write on the console of a download that fails.
const BROWSERS_OWN = /^(Failed to load resource|Failed to read data from the ReadableStream)/;
const INDEX = fs.readFileSync(path.join(PAGE, "index.html"), "utf8");
const PROGRAM = fs.readFileSync(path.join(PAGE, "circle-intersection.wasm"));
// The program's first bytes, as a server sends them: a quarter, then up to half.
const [QUARTER, HALF] = [4, 2].map((part) => Math.floor(PROGRAM.length / part));
const sending = (response) => response.writeHead(200, { "Content-Type": "application/wasm" })
  .write(PROGRAM.subarray(0, QUARTER));

// The pixels the tab shows of the window (or of a PNG), decoded by the tab and sent back as
// base64 (an array of numbers takes WebDriver BiDi seconds), and the colour at x, y of the
// drawing area as "r,g,b".
async function window(page, png) {
  png ??= await page.screenshot({ clip: { x: 0, y: 0, width: WIDTH, height: HEIGHT } });
  const rgba = Buffer.from(await page.evaluate(async (base64, width, height) => {
    const image = await createImageBitmap(await (await fetch(`data:image/png;base64,${base64}`)).blob());
    const context = new OffscreenCanvas(width, height).getContext("2d");
    context.drawImage(image, 0, 0);
    const data = context.getImageData(0, 0, width, height).data;
    let bytes = "";
    for (let i = 0; i < data.length; i += 8192) bytes += String.fromCharCode(...data.subarray(i, i + 8192));
    return btoa(bytes);
  }, Buffer.from(png).toString("base64"), WIDTH, HEIGHT), "base64");
  const at = (x, y) => {
    const [left, top] = onPicture(x, y);
    return [...rgba.subarray(4 * (top * WIDTH + left)).subarray(0, 3)].join();
  };
  return { png, rgba, at };
}

const colourAt = (page, x, y, colour) => waitFor(`${colour} at ${x}, ${y}`,
  async () => (await window(page)).at(x, y) === colour);

for (const engine of ENGINES.filter(({ name }) => (process.env.CIRCLES_ENGINE ?? name) === name)) {
  test(`the page in ${engine.name}`, async (t) => {
    const browser = await engine.launch();
    t.after(() => browser.close());
    // Servers of the page, each closed at the end; `before` is a script the page runs before its
    // loader, after the engine's own.
    const start = ({ before = "", ...options } = {}) => {
      const script = (engine.preload ?? "") + before;
      const index = INDEX.replace('<script src="loader.js">', `<script>${script}</script>$&`);
      return serving(t, PAGE, { ...options, pages: { ...script && { "/index.html": index }, ...options.pages } });
    };
    const server = await start();
    const page = await browser.open(address(server));
    await colourAt(page, ...BLUE_DOT, BLUE);

    await t.test("starts as the window does, in Japanese", async () => {
      assert.deepStrictEqual(await page.evaluate(() => [document.title, document.documentElement.lang,
        document.querySelector("link[rel=icon]").href]), ["円の交点算出サンプル", "ja", `${address(server)}circle-intersection.png`]);
      const { png, rgba } = await window(page);
      await assertReference(png, "start-up", engine.name, async (reference) =>
        (await window(page, reference)).rgba.equals(rgba));
    });

    // What the page adds to the program's own handling, which the window tests check in a page
    // too: the mouse buttons, the keys and touches reach it, a finger scrolls and zooms nothing,
    // no right click opens the browser's menu, and nothing, a middle click (a paste on Linux)
    // included, writes on the console or on the visitor's clipboard.
    await t.test("moves the centres by mouse, keys and fingers, quietly, opening no menu", async () => {
      await page.evaluate(() => {
        window.menus = window.copies = 0;
        addEventListener("contextmenu", (event) => { window.menus += !event.defaultPrevented; });
        ["copy", "cut"].forEach((type) => addEventListener(type, () => ++window.copies, true));
        for (const name of ["write", "writeText"]) navigator.clipboard[name] = async () => ++window.copies;
      });
      const finger = (from, held, to) => async () => {  // held still first, or not
        await page.touchscreen.touchStart(...onPicture(...from)).then(() => sleep(held ? 1000 : 0));
        await page.touchscreen.touchMove(...onPicture(...to)).then(() => page.touchscreen.touchEnd());
      };
      const drag = (button, x, y) => async () => {
        await page.mouse.move(...onPicture(200, 200));
        await page.mouse.down({ button });
        await page.mouse.move(...onPicture(x, y), { steps: 4 });
        await page.mouse.up({ button });
      };
      const click = ([x, y], button) => () => page.mouse.click(x, y, { button });
      const steps = [  // each leaves that colour at (x, y) of the drawing area, or a new picture
        [drag("left", 150, 250), 153, 250, BLUE],
        [drag("right", 330, 80), 333, 80, RED],
        [() => page.keyboard.down("Control").then(() => page.keyboard.press("ArrowUp"))
          .then(() => page.keyboard.up("Control")), 333, 79, RED],
        ...engine.touch ? [[finger([40, 40], false, [100, 150]), 103, 150, BLUE],
                           [finger([300, 300], true, [250, 60]), 253, 60, RED]] : [],
        [async () => {  // on the blue bar's right trough, and on the picture
          for (const button of ["right", "middle"]) {
            await click(onBar(0, 170), button)().then(click(onPicture(190, 182), button));
          }
        }],
        // The last two pictures also show that the clicks before have been handled.
        [click(onBar(1, BAR_WIDTH - 7), "left")],  // the red bar's right arrow
        [click(onBar(0, 30), "middle")],  // the blue bar's left trough
      ];
      for (const [act, x, y, colour] of steps) {
        const before = colour ?? (await window(page)).rgba;
        await act();
        await (colour ? colourAt(page, x, y, colour)
                      : waitFor("new picture", async () => !(await window(page)).rgba.equals(before)));
      }
      assert.deepStrictEqual(await page.evaluate(() => [window.menus, window.copies]), [0, 0]);
      assert.deepStrictEqual(await page.messages(), []);
    });

    await t.test("shows how far the program has downloaded", async () => {
      let sendMore;
      const tab = await browser.open(address(await start({ pages: { "/circle-intersection.wasm": (response) => {
        sending(response);
        sendMore = () => response.write(PROGRAM.subarray(QUARTER, HALF));
      } } })));
      const barAt = (sent) => waitFor(`the bar at ${sent} bytes`, async () => Math.abs(await tab.evaluate(() =>
        document.querySelector("#status progress").value) - sent / PROGRAM.length) < 1e-9);
      await barAt(QUARTER);
      sendMore();
      await barAt(HALF);
    });

    await t.test("where the program cannot load or run, says why, to the host on the console", async () => {
      const breakOff = (response) => {  // the connection lost after a quarter of the program
        sending(response);
        setTimeout(() => response.destroy(), 500);
      };
      const lines = [  // each what the server sends, whether the browser gives WebGL, the line, and
                       // what the console says of the cause beside it
        [{ before: "delete WebAssembly;" }, true, "このブラウザーでは WebAssembly が使えないため、プログラムを動かせません。"],
        [{}, false, "このブラウザーでは WebGL が使えないため、プログラムを動かせません。"],
        [{ wasmType: "text/plain" }, true, FAILED, "application/wasm"],
        [{ pages: { "/circle-intersection.wasm": null } }, true, FAILED, "circle-intersection.wasm: 404"],
        [{ pages: { "/circle-intersection.wasm": breakOff } }, true, FAILED, ""],
      ];
      const withoutWebGL = await engine.launch({ webgl: false });
      t.after(() => withoutWebGL.close());
      for (const [options, webgl, line, cause] of lines) {
        const tab = await (webgl ? browser : withoutWebGL).open(address(await start(options)));
        await waitFor(line, () => tab.evaluate((text) =>
          document.getElementById("screen").textContent.includes(text), line));
        if (cause !== undefined) {  // the page says it once, and nothing else
          await waitFor(`the cause on the console: ${cause}`, async () =>
            (await tab.messages()).some((message) => message.startsWith(`${line} (`)));
          await sleep(500);
          const [said, ...more] = (await tab.messages()).filter((message) => !BROWSERS_OWN.test(message));
          assert.ok(said.startsWith(line) && said.includes(cause) && more.length === 0, `${said} ${more}`);
        }
      }
    });
  });
}
