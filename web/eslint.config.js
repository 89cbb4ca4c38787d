// ESLint over the project's JavaScript (make lint runs it from the top folder): ESLint's
// recommended checks, for the page's scripts in a browser and for the tests and benchmarks under
// Node, whose steps in a page (puppeteer's evaluate) use the browser's names too.
"use strict";

const js = require("@eslint/js");
const globals = require("globals");

module.exports = [
  js.configs.recommended,
  {
    files: ["ui/web/loader.js"],
    // emscripten's part of the program, which the loader adds to the page, defines
    // createQtAppInstance.
    languageOptions: {
      sourceType: "script",
      globals: { ...globals.browser, createQtAppInstance: "readonly" },
    },
  },
  {
    // The build writes the hashes of the page's files in at @CIRCLES_PAGE_FILES@
    // (web/worker.cmake), which is read here as an empty list.
    files: ["ui/web/service-worker.js"],
    languageOptions: { sourceType: "script", globals: globals.serviceworker },
    processor: {
      preprocess: (text) => [text.replace(/^@CIRCLES_PAGE_FILES@/m, "")],
      postprocess: (messages) => messages.flat(),
    },
  },
  {
    files: ["tests/**/*.js", "bench/**/*.js", "tools/**/*.js", "web/**/*.js"],
    languageOptions: { sourceType: "commonjs", globals: { ...globals.node, ...globals.browser } },
  },
];
