// The three browser engines the page's tests and benchmarks drive, each from Debian, and a static
// web server on 127.0.0.1 for them to open pages from: Chromium, headless, driven through the
// DevTools protocol by puppeteer-core and started as it needs to be here (no sandbox as root,
// SwiftShader's WebGL for Qt's compositor, none of its own network traffic, which this machine's
// closed network refuses, and none of the pages of its own address bar's pop-ups, which it would
// otherwise load in a process of their own at each new tab, taking the processor from the page
// while it starts); Firefox ESR, which puppeteer-core drives over WebDriver BiDi; and
// WebKitGTK's MiniBrowser, which its WebKitWebDriver drives over WebDriver. Firefox and WebKit
// draw WebGL only with an X display: run them under tools/xvfb.sh. Chromium draws frames at its
// own pace, 60 a second, as a browser does: SwiftShader draws them on the processor, and more of
// them would take it from the page.
//
// Each engine's `launch({ webgl })` gives a browser whose `open(url, setUp)` loads a tab with one
// interface, the part of puppeteer's Page the tests use: evaluate, screenshot (the viewport),
// mouse, keyboard and, where the engine takes fingers, touchscreen; `messages()` gives what the
// tab wrote on the console. `webgl: false` switches WebGL off. What each automation cannot do:
// - WebKitWebDriver gives no console log, and MiniBrowser writes the console on its stdout only
//   when no automation drives it. A script of the engine's (`preload`), which the page must run
//   before its own, records what the page's scripts write on the console and the errors and
//   rejections nothing caught; the browser's own messages (a file not found, say) escape it.
// - WebKitWebDriver's mouse releases a right or middle button as the left one, leaving the
//   button held for the page: the mouse there is real X input (xdotool) into MiniBrowser.
// - Touch in WebKitGTK: its WebDriver delivers touch actions as mouse events, and Xvfb has no
//   touch device.
// - A phone's screen (a viewport scaled down to a device width, at a device's density): only
//   Chromium's DevTools protocol emulates one, so tests/ui/web/phone.test.js runs in Chromium;
//   desktop Firefox and WebKitGTK ignore the page's viewport.
"use strict";

const assert = require("node:assert");
const { execFileSync, spawn } = require("node:child_process");
const fs = require("node:fs");
const http = require("node:http");
const net = require("node:net");
const path = require("node:path");
const puppeteer = require("puppeteer-core");

const TYPES = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm",
                ".png": "image/png", ".webmanifest": "application/manifest+json" };

// The path of a program on PATH, as the shell finds it (make web installs the browsers).
const which = (name) =>
  execFileSync("sh", ["-c", 'command -v "$1"', "sh", name], { encoding: "utf8" }).trim();

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// A puppeteer browser whose `open(url, setUp, context)` opens a tab in the browser context given
// or else one of its own (an empty cache), runs setUp(tab), loads the page and gathers its console
// messages and the errors nothing caught: `messages()`.
function tabs(browser) {
  browser.open = async (url, setUp = async () => {}, context = undefined) => {
    const page = await (context ?? await browser.createBrowserContext()).newPage();
    const messages = [];
    page.on("console", (message) => messages.push(message.text()));
    page.on("pageerror", (error) => messages.push(error.message));
    page.messages = async () => messages;
    await setUp(page);
    await page.goto(url);
    return page;
  };
  return browser;
}

// `args` adds switches of its own.
async function launch(args = []) {
  return tabs(await puppeteer.launch({
    executablePath: which("chromium"),
    headless: true,
    args: ["--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
           "--disable-background-networking", "--disable-component-update", "--disable-sync",
           "--no-first-run", "--disable-features=WebUIOmniboxPopup,WebUIOmniboxAimPopup", ...args],
  }));
}

// Serves the files of a folder, each with its type; `pages` puts files of its own at paths (null
// for none there, or a function that answers the request itself), `wasmType` sends the program
// with another type (a server that does not know it), `isolated` isolates the page from other
// sites, which gives its clock microseconds, and `port` serves at that port (one a stopped
// server had: the same site) rather than a free one.
function serve(folder, { pages = {}, wasmType = TYPES[".wasm"], isolated = false, port = 0 } = {}) {
  const server = http.createServer((request, response) => {
    const name = new URL(request.url, "http://localhost").pathname.replace(/\/$/, "/index.html");
    const file = path.join(folder, path.normalize(name));
    const extension = path.extname(name);
    const body = name in pages ? pages[name] :
                 file.startsWith(folder) && fs.existsSync(file) ? fs.readFileSync(file) : null;
    if (typeof body === "function") return body(response);
    if (body === null) return response.writeHead(404).end();
    response.writeHead(200, {
      "Content-Type": extension === ".wasm" ? wasmType : TYPES[extension],
      "Cache-Control": "no-store",
      ...(isolated && { "Cross-Origin-Opener-Policy": "same-origin",
                        "Cross-Origin-Embedder-Policy": "require-corp" }),
    });
    response.end(body);
  });
  return new Promise((listening) => server.listen(port, "127.0.0.1", () => listening(server)));
}

const address = (server) => `http://127.0.0.1:${server.address().port}/`;

// Until holds() is true, asked every 50 ms; after 10 s a failure that says what was waited for.
async function waitFor(what, holds) {
  for (const deadline = Date.now() + 10000; !(await holds()); await sleep(50)) {
    assert.ok(Date.now() < deadline, `no ${what} after 10 s`);
  }
}

// Without an X display Firefox has no WebGL.
async function firefox({ webgl = true } = {}) {
  const env = { ...process.env };
  if (!webgl) delete env.DISPLAY;
  const executablePath = which("firefox-esr");
  return tabs(await puppeteer.launch({ browser: "firefox", executablePath, headless: true, env }));
}

const KEYS = { Control: "\uE009", ArrowUp: "\uE013" };
const BUTTONS = { left: 1, middle: 2, right: 3 };

const freePort = () => new Promise((found) => {
  const server = net.createServer().listen(0, "127.0.0.1", () => {
    const { port } = server.address();
    server.close(() => found(port));
  });
});

// MiniBrowser, one tab (a new page replaces the last), driven by plain WebDriver requests.
async function webkit({ webgl = true } = {}) {
  const port = await freePort();
  const driver = spawn("WebKitWebDriver", [`--port=${port}`], { stdio: "ignore" });
  process.on("exit", () => driver.kill());
  const request = async (method, path, body) => {
    const response = await fetch(`http://127.0.0.1:${port}${path}`,
                                 { method, body: body && JSON.stringify(body) });
    const { value } = await response.json();
    if (!response.ok) throw new Error(`WebDriver ${path}: ${value.message}`);
    return value;
  };
  await waitFor("WebKitWebDriver", () => request("GET", "/status").catch(() => null));
  const args = ["--automation", `--enable-webgl=${webgl}`];
  const binary = `/usr/lib/${execFileSync("dpkg-architecture", ["-qDEB_HOST_MULTIARCH"]).toString().trim()}` +
                 "/webkit2gtk-4.1/MiniBrowser";  // as libwebkit2gtk-4.1-0 installs it
  const { sessionId } = await request("POST", "/session", { capabilities: { alwaysMatch: {
    browserName: "MiniBrowser", "webkitgtk:browserOptions": { binary, args } } } });
  const session = (method, path, body) => request(method, `/session/${sessionId}${path}`, body);
  const keys = (actions) => session("POST", "/actions", { actions: [{ type: "key", id: "keys", actions }] });
  const xdotool = (...args) => execFileSync("xdotool", args.map(String));

  const tab = {
    messages: () => tab.evaluate(() => window.consoleLines),
    async evaluate(fn, ...args) {
      return session("POST", "/execute/async", { args, script: `const done = arguments[arguments.length - 1];
        Promise.resolve((${fn})(...Array.from(arguments).slice(0, -1))).then(done);` });
    },
    screenshot: async () => Buffer.from(await session("GET", "/screenshot"), "base64"),
    // Real X input: the pointer goes where the viewport's point is on the screen.
    mouse: {
      position: [0, 0],
      async move(x, y, { steps = 1 } = {}) {
        const [fromX, fromY] = this.position;
        for (let step = 1; step <= steps; ++step) {
          xdotool("mousemove", Math.round(tab.left + fromX + (x - fromX) * step / steps),
                  Math.round(tab.top + fromY + (y - fromY) * step / steps));
        }
        this.position = [x, y];
      },
      down: async ({ button = "left" } = {}) => xdotool("mousedown", BUTTONS[button]),
      up: async ({ button = "left" } = {}) => xdotool("mouseup", BUTTONS[button]),
      click: (x, y, options) => tab.mouse.move(x, y).then(() => tab.mouse.down(options)).then(() => tab.mouse.up(options)),
    },
    keyboard: {
      down: (key) => keys([{ type: "keyDown", value: KEYS[key] }]),
      up: (key) => keys([{ type: "keyUp", value: KEYS[key] }]),
      press: (key) => keys([{ type: "keyDown", value: KEYS[key] }, { type: "keyUp", value: KEYS[key] }]),
    },
  };
  return {
    async open(url) {
      await session("POST", "/url", { url });
      // Where the viewport lies on the X screen: MiniBrowser's window, at the screen's corner,
      // holds its tool bar above the page.
      [tab.left, tab.top] = await tab.evaluate(() => [screenX + outerWidth - innerWidth,
                                                     screenY + outerHeight - innerHeight]);
      return tab;
    },
    async close() {
      await session("DELETE", "");
      driver.kill();
    },
  };
}

const ENGINES = [
  { name: "Chromium", launch: ({ webgl = true } = {}) => launch(webgl ? [] : ["--disable-3d-apis"]),
    touch: true },
  { name: "Firefox", launch: firefox, touch: true },
  { name: "WebKit", launch: webkit, preload: `window.consoleLines = [];
      for (const type of ["debug", "log", "info", "warn", "error"]) {
        const write = console[type];
        console[type] = (...args) => {
          consoleLines.push(args.join(" "));
          write.apply(console, args);
        };
      }
      addEventListener("error", (event) => consoleLines.push(event.message));
      addEventListener("unhandledrejection", (event) => consoleLines.push(String(event.reason)));` },
];

module.exports = { sleep, waitFor, launch, serve, address, ENGINES };
