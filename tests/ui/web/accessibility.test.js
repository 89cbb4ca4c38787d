// What a screen reader gets of the web page, in Debian's headless Chromium: the accessibility tree
// the DevTools protocol gives (what NVDA, JAWS, VoiceOver and TalkBack read), with the focus, the
// keys and the steps a screen reader gives. $CIRCLES_PAGE names the page's folder.
"use strict";

const assert = require("node:assert");
const test = require("node:test");
const { address, sleep, waitFor } = require("../../../tools/browsers.js");
const { launchServing } = require("../../web/chromium.js");
const { BAR_WIDTH, onBar, onPicture } = require("./layout.js");

const HOW_TO_MOVE = "矢印キーで青い円の中心を、Ctrl キーを押しながら矢印キーで赤い円の中心を 1 ピクセル" +
  "ずつ (Shift キーも押すと 10 ピクセルずつ) 動かせ、タッチ操作では指でなぞると青い円の中心を、長押ししてから" +
  "なぞると赤い円の中心を動かせます。";
const START_UP = "青い円は中心 (100,100)、半径 100。赤い円は中心 (300,300)、半径 50。2 つの円は交わりません。" +
  HOW_TO_MOVE;
// Points on the window's controls as the page shows them.
const PICTURE = onPicture(200, 200), BLUE_BAR = onBar(0, 100), RED_BAR = onBar(1, 100);

// The picture and the bars as the tree has them, in reading order: role, name, description or
// value, and whether each has the focus.
async function controls(page) {
  const nodes = [];
  (function walk(node) {
    nodes.push(node);
    (node.children ?? []).forEach(walk);
  })(await page.accessibility.snapshot());
  return nodes.filter((node) => ["image", "slider"].includes(node.role)).map((node) =>
    ({ role: node.role, name: node.name, said: node.description ?? node.value, focused: !!node.focused,
       range: node.valuemin && [node.valuemin, node.valuemax] }));
}

test("the page for screen readers", async (t) => {
  const { browser, server } = await launchServing(t);
  const page = await browser.open(address(server));
  const cdp = await page.createCDPSession();
  const said = async (index) => (await controls(page))[index]?.said;
  await waitFor("picture's description", async () => (await said(0)) === START_UP);

  await t.test("names the picture and the bars in the window's order, the focus on the picture", async () => {
    assert.deepStrictEqual(await controls(page), [
      { role: "image", name: "円と交点の図", said: START_UP, focused: true, range: undefined },
      { role: "slider", name: "青い点の半径", said: 100, focused: false, range: [1, 200] },
      { role: "slider", name: "赤い点の半径", said: 50, focused: false, range: [1, 200] },
    ]);
  });

  await t.test("lies over the controls, where touch exploration finds them", async () => {
    for (const [[x, y], name] of [[PICTURE, "円と交点の図"], [BLUE_BAR, "青い点の半径"], [RED_BAR, "赤い点の半径"]]) {
      const { backendNodeId } = await cdp.send("DOM.getNodeForLocation", { x, y, ignorePointerEventsNone: true });
      const { node } = await cdp.send("DOM.describeNode", { backendNodeId });
      assert.strictEqual(node.attributes[node.attributes.indexOf("aria-label") + 1], name, `at ${x}, ${y}`);
    }
  });

  await t.test("tells a drag once it rests, once", async () => {
    await page.$eval("[aria-live]", (region) => {
      window.announced = [];
      new MutationObserver(() => window.announced.push(region.textContent))
        .observe(region, { childList: true, characterData: true, subtree: true });
    });
    await page.mouse.move(...PICTURE);
    await page.mouse.down();
    await page.mouse.move(...onPicture(150, 250), { steps: 20 });
    await page.mouse.up();
    await waitFor("new description", async () =>
      (await said(0)) === START_UP.replace("(100,100)", "(150,250)"));
    await sleep(1000);  // past any further announcement
    assert.deepStrictEqual(await page.evaluate(() => window.announced), [await said(0)]);
  });

  await t.test("moves a bar's element with the bar, and the bar by the element's keys and steps", async () => {
    const steps = [  // each leaves the blue bar at that value
      [() => page.mouse.click(...onBar(0, BAR_WIDTH - 6)), 101],  // the bar's right arrow
      [() => page.focus("input[aria-label=青い点の半径]").then(() => page.keyboard.press("PageUp")), 106],
      [() => page.$eval("input[aria-label=青い点の半径]", (bar) => {  // a screen reader's own step
        bar.stepUp();
        bar.dispatchEvent(new Event("input", { bubbles: true }));
      }), 107],
    ];
    for (const [act, value] of steps) {
      await act();
      await waitFor(`blue radius ${value}`, async () =>
        (await said(1)) === value && (await said(0)).includes(`半径 ${value}。`));
    }
    assert.deepStrictEqual((await controls(page)).map((node) => node.focused), [false, true, false]);
  });

  await t.test("moves the focus round picture, blue bar, red bar, as the window does", async () => {
    await page.focus("[role=img]");
    for (const focused of [[false, true, false], [false, false, true], [true, false, false]]) {
      await page.keyboard.press("Tab");
      await waitFor(`focus on ${focused}`, async () =>
        (await controls(page)).map((node) => node.focused).join() === focused.join());
    }
    await page.mouse.click(...BLUE_BAR);  // a click gives the bar's element the focus with the bar's
    await waitFor("focus on the blue bar", async () => (await controls(page))[1].focused);
    assert.deepStrictEqual(await page.messages(), []);
  });
});
