// Debian's Chromium, headless, for the web page's tests and benchmarks: started as it needs to be
// here (no sandbox as root, SwiftShader's WebGL for Qt's compositor, none of its own network
// traffic, which this machine's closed network refuses), driven through the DevTools protocol by
// puppeteer-core; and a static web server on 127.0.0.1 for it to open pages from. It draws frames
// at its own pace, 60 a second, as a browser does: SwiftShader draws them on the processor, and
// more of them would take it from the page. With them, what every page test shares: the page's
// folder ($CIRCLES_PAGE), tabs that record their console, waiting, and the reference pictures.
//
// Run as a program, it runs a test program of the web build in a page, as CTest runs the others,
// and ends with the program's status:
//
//     node tests/web/chromium.js build-wasm/tests/qt_tests.js [ARGUMENT...]
"use strict";

const assert = require("node:assert");
const { execFileSync } = require("node:child_process");
const fs = require("node:fs");
const http = require("node:http");
const path = require("node:path");
const puppeteer = require("puppeteer-core");

// The folder of the page the tests open.
const PAGE = path.resolve(process.env.CIRCLES_PAGE ?? "build-web");
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
           "--no-first-run", ...args],
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

// A server of the folder for the test t, closed when it ends with the connections left open.
async function serving(t, folder, options) {
  const server = await serve(folder, options);
  t.after(() => server.close() && server.closeAllConnections());
  return server;
}

// Chromium and a server of the page's folder for the test t, both closed when it ends.
async function launchServing(t, folder = PAGE) {
  const browser = await launch();
  t.after(() => browser.close());
  return { browser, server: await serving(t, folder) };
}

// Until holds() is true, asked every 50 ms; after 10 s a failure that says what was waited for.
async function waitFor(what, holds) {
  for (const deadline = Date.now() + 10000; !(await holds()); await sleep(50)) {
    assert.ok(Date.now() < deadline, `no ${what} after 10 s`);
  }
}

// Fails unless a picture (a PNG) is tests/ui/web/<name>.png as `same` compares them, byte for
// byte unless given; one that differs is written to $TEST_OUTPUT as web-<name>-<actual>.png.
// CIRCLES_REMAKE_REFERENCES=1 makes the reference anew.
async function assertReference(png, name, actual, same = async (reference) => Buffer.from(png).equals(reference)) {
  const reference = path.join(__dirname, "../ui/web", `${name}.png`);
  if (process.env.CIRCLES_REMAKE_REFERENCES) fs.writeFileSync(reference, png);
  if (!(await same(fs.readFileSync(reference)))) {
    fs.writeFileSync(path.join(process.env.TEST_OUTPUT ?? ".", `web-${name}-${actual}.png`), png);
    assert.fail(`the picture differs from tests/ui/web/${name}.png`);
  }
}

// A test program in a page of its own, its arguments and output as on a terminal.
async function runTestProgram(program, args) {
  const name = path.basename(program, ".js");
  const page = `<!DOCTYPE html><div id="screen" style="width: 1024px; height: 768px"></div>
    <script src="${name}.js"></script>
    <script>createQtAppInstance({ qtContainerElements: [document.getElementById("screen")],
      arguments: ${JSON.stringify(args)}, print: (line) => console.log(line),
      printErr: (line) => console.error(line), quit: (status) => window.exited(status) });
    </script>`;
  const server = await serve(path.dirname(path.resolve(program)), { pages: { "/run.html": page } });
  const browser = await launch();
  try {
    const tab = await browser.newPage();
    await tab.setViewport({ width: 1024, height: 768 });
    tab.on("console", (message) =>
      (message.type() === "error" ? process.stderr : process.stdout).write(`${message.text()}\n`));
    let exit;
    const exited = new Promise((resolve) => { exit = resolve; });
    await tab.exposeFunction("exited", (status) => exit(status));
    tab.on("pageerror", (error) => process.stderr.write(`${error.message}\n`));
    await tab.goto(`${address(server)}run.html`);
    return await exited;
  } finally {
    await browser.close();
    server.close();
  }
}

module.exports = { PAGE, which, sleep, tabs, launch, serve, serving, address, launchServing, waitFor, assertReference };

if (require.main === module) {
  runTestProgram(process.argv[2], process.argv.slice(3)).then((status) => {
    process.exitCode = status;
  }, (error) => {
    console.error(error.message);
    process.exitCode = 1;
  });
}
