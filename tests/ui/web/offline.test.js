// The page installed on a home screen and visited without a network, in Debian's headless
// Chromium: its manifest and icons, Chromium's installability check, a reload with the server
// stopped, and a new build put on the server, first caught mid-upload, then whole. The page lies
// in a folder below the site's root, as on any host. $CIRCLES_PAGE names the page's folder.
"use strict";

const assert = require("node:assert");
const { execFileSync } = require("node:child_process");
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const test = require("node:test");
const { address, launch, serve, waitFor } = require("../../../tools/browsers.js");
const { PAGE } = require("../../web/chromium.js");

const START_UP = fs.readFileSync(path.join(__dirname, "start-up.png"));
const CLIP = { x: 0, y: 0, width: START_UP.readUInt32BE(16), height: START_UP.readUInt32BE(20) };
const AT = "/a/page/";
const SITES = [];  // removed at the end

// A copy of the page at AT in a site of its own; `change` edits the copy's files, named relative
// to the page, and the service worker is written again for them, as the build writes it.
function site(change = {}) {
  const root = SITES[SITES.push(fs.mkdtempSync(path.join(os.tmpdir(), "circles-site-"))) - 1];
  fs.cpSync(PAGE, path.join(root, AT), { recursive: true });
  for (const [name, edit] of Object.entries(change)) {
    const file = path.join(root, AT, name);
    fs.writeFileSync(file, edit(fs.readFileSync(file, "utf8")));
  }
  execFileSync("cmake", [`-DPAGE=${path.join(root, AT)}`, "-P",
                         path.join(__dirname, "../../../web/worker.cmake")]);
  return root;
}

// Waits for the start-up picture, pixel for pixel the one the page tests compare with.
const startsUp = (tab) => waitFor(`start-up picture at ${tab.url()}`, async () =>
  START_UP.equals(await tab.screenshot({ clip: CLIP })));

// The page loaded again (past the page that loads itself again, when a new build takes over),
// up to its start-up picture.
async function visit(tab) {
  await tab.reload();
  await tab.waitForSelector("canvas");
  await startsUp(tab);
}

// Asks the browser to look for a new service worker, as each visit does, and says whether one
// is then waiting, installed.
const updated = (tab) => tab.evaluate(async () => {
  const registration = await navigator.serviceWorker.getRegistration();
  await registration.update();
  const worker = registration.installing;
  await new Promise((ended) => (worker ? worker.addEventListener("statechange", ended) : ended()));
  return registration.waiting !== null;
});

// Which files of the changed build a visit ran: none, or all three.
const marks = (tab) => tab.evaluate(() => window.build?.sort() ?? []);
const NEW = ["index.html", "loader.js", "program"];
const mark = (name) => (text) => `${text}\n;(window.build ??= []).push(${JSON.stringify(name)});\n`;

test("the page kept for visits without a network", async (t) => {
  const browser = await launch();
  let server = await serve(site());
  const url = `${address(server)}${AT.slice(1)}`;
  const restart = async (root, options) => {
    await new Promise((closed) => server ? server.close(closed).closeAllConnections() : closed());
    server = root && await serve(root, { ...options, port: new URL(url).port });
  };
  t.after(async () => {
    await browser.close().then(() => restart());
    SITES.forEach((root) => fs.rmSync(root, { recursive: true }));
  });
  const tab = await browser.open(url, undefined, browser.defaultBrowserContext());  // installable, unlike the others
  await startsUp(tab);

  await t.test("installs on a home screen, named in Japanese, with its icons", async () => {
    const cdp = await tab.createCDPSession();
    assert.deepStrictEqual((await cdp.send("Page.getInstallabilityErrors")).installabilityErrors, []);
    const { manifest, icons } = await tab.evaluate(async () => {
      const { href } = document.querySelector("link[rel=manifest]");
      const manifest = await (await fetch(href)).json();
      manifest.folder = [manifest.start_url, manifest.scope].map((folder) => new URL(folder, href).href);
      const touch = document.querySelector("link[rel=apple-touch-icon]").href;
      const icons = [...manifest.icons, { src: touch, sizes: "180x180", purpose: "apple" }];
      for (const icon of icons) {
        const header = new DataView(await (await fetch(icon.src)).arrayBuffer());
        icon.drawn = `${header.getUint32(16)}x${header.getUint32(20)}`;
      }
      return { manifest, icons };
    });
    for (const icon of icons) {
      assert.strictEqual(icon.drawn, icon.sizes, icon.src);
    }
    assert.deepStrictEqual(icons.map((icon) => `${icon.purpose} ${icon.sizes}`).sort(),
                           ["any 192x192", "any 512x512", "apple 180x180", "maskable 512x512"]);
    assert.strictEqual((await cdp.send("Page.getAppId")).appId, url);  // start_url, as Chromium reads it
    assert.deepStrictEqual([manifest.name, [...manifest.short_name].length <= 6, manifest.lang,
                            manifest.display, manifest.folder],
                           ["円の交点算出サンプル", true, "ja", "standalone", [url, url]]);
  });

  // A browser without service workers, and a disk too full for the files.
  await t.test("where its files cannot be kept, works as it did, saying nothing", async () => {
    const cases = [  // each what the tab does before the page loads, and whether a worker comes
      [(page) => page.evaluateOnNewDocument(() => { delete Navigator.prototype.serviceWorker; }), false],
      [async (page) => (await page.createCDPSession()).send("Storage.overrideQuotaForOrigin",
                                                             { origin: new URL(url).origin, quotaSize: 1e6 }), true],
    ];
    for (const [setUp, installs] of cases) {
      const errors = [];  // the worker's
      let gone;
      const page = await browser.open(url, async (tab) => {
        const cdp = await tab.createCDPSession();
        cdp.on("ServiceWorker.workerErrorReported", ({ errorMessage }) => errors.push(errorMessage.errorMessage));
        gone = new Promise((ended) => cdp.on("ServiceWorker.workerVersionUpdated",
          ({ versions }) => versions.some((version) => version.status === "redundant") && ended()));
        await cdp.send("ServiceWorker.enable");
        await setUp(tab);
      });
      await startsUp(page);
      await (installs && gone);  // the worker tried and forgotten
      assert.deepStrictEqual([await page.messages(), errors, await page.$("#status")], [[], [], null]);
    }
  });

  await t.test("after one visit starts without the server, from the kept files", async () => {
    await tab.waitForFunction(async () =>
      (await navigator.serviceWorker.getRegistration())?.active?.state === "activated");
    await restart();
    await tab.setCacheEnabled(false);
    await visit(tab);
    assert.deepStrictEqual(await tab.messages(), []);
  });

  // A visit from the kept files skips the check for WebGL that a first visit makes.
  await t.test("says why, and nothing on the console, where WebGL has gone since", async () => {
    const page = await browser.open(url, (tab) => tab.evaluateOnNewDocument(() => {
      const make = HTMLCanvasElement.prototype.getContext;
      HTMLCanvasElement.prototype.getContext = function (kind, ...rest) {
        return kind.startsWith("webgl") ? null : make.call(this, kind, ...rest);
      };
    }), tab.browserContext());
    await page.waitForFunction(() => document.getElementById("screen").textContent
      .includes("このブラウザーでは WebGL が使えないため、プログラムを動かせません。"));
    assert.deepStrictEqual([await page.messages(), await page.$("canvas")], [[], null]);
    await page.close();
  });

  await t.test("takes a new build whole at the next visit, never one caught mid-upload", async () => {
    const next = site({
      "index.html": (page) => page.replace("<script src", '<script>window.build = ["index.html"];</script>$&'),
      "loader.js": mark("loader.js"), "circle-intersection.js": mark("program"),
    });
    await restart(next, { pages: { [`${AT}circle-intersection.js`]:
                                   fs.readFileSync(path.join(PAGE, "circle-intersection.js")) } });
    for (const when of ["mid-upload", "mid-upload again"]) {
      await visit(tab);
      assert.deepStrictEqual([when, await marks(tab), await updated(tab)], [when, [], false]);
    }
    await restart(next);
    await visit(tab);
    assert.deepStrictEqual([await marks(tab), await updated(tab)], [[], true]);
    await visit(tab);
    const worker = fs.readFileSync(path.join(next, AT, "service-worker.js"), "utf8");
    const version = /VERSION = "(\w+)"/.exec(worker)[1];
    assert.deepStrictEqual([await marks(tab), await tab.evaluate(() => caches.keys())],
                           [NEW, [`${url} ${version}`]]);  // the old set deleted
    assert.deepStrictEqual(await tab.messages(), []);
  });
});
