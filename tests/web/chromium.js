// What the web page's tests share, beside the browsers of tools/browsers.js: the page's folder
// ($CIRCLES_PAGE), servers and browsers closed when a test ends, and the reference pictures.
//
// Run as a program, it runs a test program of the web build in a page of Debian's headless
// Chromium, as CTest runs the others, and ends with the program's status:
//
//     node tests/web/chromium.js build-wasm/tests/qt_tests.js [ARGUMENT...]
"use strict";

const assert = require("node:assert");
const fs = require("node:fs");
const path = require("node:path");
const { address, launch, serve } = require("../../tools/browsers.js");

// The folder of the page the tests open.
const PAGE = path.resolve(process.env.CIRCLES_PAGE ?? "build-web");

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

module.exports = { PAGE, serving, launchServing, assertReference };

if (require.main === module) {
  runTestProgram(process.argv[2], process.argv.slice(3)).then((status) => {
    process.exitCode = status;
  }, (error) => {
    console.error(error.message);
    process.exitCode = 1;
  });
}
