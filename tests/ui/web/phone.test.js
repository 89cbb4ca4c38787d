// The web page on a phone held upright and sideways, in Debian's headless Chromium emulating one
// (3 device pixels a CSS pixel, touch), driven by the DevTools protocol's touch events. Each
// arrangement's first picture is compared with tests/ui/web/<upright|sideways>.png; one that
// differs is written to $TEST_OUTPUT, and CIRCLES_REMAKE_REFERENCES=1 makes them anew. The
// controls are found by the elements that stand for them for screen readers, which lie over them.
"use strict";

const assert = require("node:assert");
const test = require("node:test");
const { address, sleep, waitFor } = require("../../../tools/browsers.js");
const { assertReference, launchServing } = require("../../web/chromium.js");
const { BORDER } = require("./layout.js");

const PHONES = { upright: [390, 844], sideways: [844, 390] };

const held = (tab, [width, height]) =>
  tab.setViewport({ width, height, deviceScaleFactor: 3, isMobile: true, hasTouch: true });

// Where the window and its controls are, in the page's CSS pixels (where touches land), with the
// page's zoom: the window, the picture and each bar as [left, top, right, bottom]; and what the
// picture's description and the blue bar's value are.
const shown = (tab) => tab.evaluate(() => {
  const box = (element) => ["left", "top", "right", "bottom"].map((side) => element.getBoundingClientRect()[side]);
  const bars = [...document.querySelectorAll("input[type=range]")];
  return { window: box(document.getElementById("screen")), picture: box(document.querySelector("[role=img]")),
           bars: bars.map(box), zoom: visualViewport.scale,
           blue: bars[0].value,
           said: document.getElementById("circles-picture-description").textContent };
});

test("the page on a phone", async (t) => {
  const { browser, server } = await launchServing(t);
  const tabs = {};
  for (const [way, [width, height]] of Object.entries(PHONES)) {
    await t.test(`held ${way}, shows the whole window, its bars a finger's size`, async () => {
      const tab = tabs[way] = await browser.open(address(server), (page) => held(page, [width, height]));
      await waitFor("the window", async () => (await tab.$("[role=img]")) !== null);
      await sleep(500);  // the page's zoom settles in the frame after the window's first
      await assertReference(await tab.screenshot(), way, "actual");
      // The window whole on the screen and drawn at the screen's density are the picture's part.
      const { picture, bars, zoom } = await shown(tab);
      const onScreen = ([left, top, right, bottom]) => [right - left, bottom - top].map((size) => size * zoom);
      if (way === "upright") assert.ok(onScreen(picture)[0] >= 0.9 * width, `picture ${picture} at ${zoom}`);
      for (const bar of bars) {
        assert.ok(onScreen(bar)[1] >= 24, `bar ${bar} at ${zoom}`);
      }
      // A tap on the blue bar's right arrow near its top edge, then near its bottom edge.
      const cdp = await tab.createCDPSession();
      const [, top, right, bottom] = bars[0];
      for (const [y, value] of [[top + 2, "101"], [bottom - 2, "102"]]) {
        await cdp.send("Input.dispatchTouchEvent", { type: "touchStart", touchPoints: [{ x: right - 3, y }] });
        await cdp.send("Input.dispatchTouchEvent", { type: "touchEnd", touchPoints: [] });
        await waitFor(`the blue radius ${value}`, async () => (await shown(tab)).blue === value);
      }
    });
  }

  await t.test("moves the blue centre by finger, and keeps the scene when the phone turns", async () => {
    const tab = tabs.upright;
    await tab.bringToFront();  // a tab behind another takes no input
    const cdp = await tab.createCDPSession();
    const { picture } = await shown(tab);
    const at = ([x, y]) => [{ x: picture[0] + BORDER + x, y: picture[1] + BORDER + y }];  // inside its border
    for (const [type, point] of [["touchStart", [40, 40]], ["touchMove", [100, 150]], ["touchMove", [150, 250]]]) {
      await cdp.send("Input.dispatchTouchEvent", { type, touchPoints: at(point) });
    }
    await cdp.send("Input.dispatchTouchEvent", { type: "touchEnd", touchPoints: [] });
    const moved = /^青い円は中心 \(150,250\)、半径 102。/;
    await waitFor("the blue centre at (150, 250)", async () => moved.test((await shown(tab)).said));
    const upright = await shown(tab);
    await held(tab, PHONES.sideways);
    await waitFor("the bars beside the picture", async () =>
      (({ bars, picture }) => bars[0][0] > picture[2])(await shown(tab)));
    const sideways = await shown(tab);
    assert.strictEqual(sideways.said, upright.said);
    assert.ok(sideways.window[3] * sideways.zoom <= PHONES.sideways[1] + 0.5, `window ${sideways.window}`);
    assert.deepStrictEqual([...await tabs.upright.messages(), ...await tabs.sideways.messages()], []);
  });
});
