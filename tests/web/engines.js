// The three browser engines the page's tests and benchmarks drive, each from Debian: Chromium
// (tests/web/chromium.js), Firefox ESR, which puppeteer-core drives over WebDriver BiDi, and
// WebKitGTK's MiniBrowser, which its WebKitWebDriver drives over WebDriver. Firefox and WebKit
// draw WebGL only with an X display: run them under tools/xvfb.sh.
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

const { execFileSync, spawn } = require("node:child_process");
const net = require("node:net");
const puppeteer = require("puppeteer-core");
const chromium = require("./chromium.js");

// Without an X display Firefox has no WebGL.
async function firefox({ webgl = true } = {}) {
  const env = { ...process.env };
  if (!webgl) delete env.DISPLAY;
  const executablePath = chromium.which("firefox-esr");
  return chromium.tabs(await puppeteer.launch({ browser: "firefox", executablePath, headless: true, env }));
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
  await chromium.waitFor("WebKitWebDriver", () => request("GET", "/status").catch(() => null));
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
  { name: "Chromium", launch: ({ webgl = true } = {}) => chromium.launch(webgl ? [] : ["--disable-3d-apis"]),
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

module.exports = { ENGINES };
