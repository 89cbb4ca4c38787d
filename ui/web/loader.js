// Loads the program into the page: its WebAssembly, compiled while it downloads, with a bar that
// shows how far the download has got; then emscripten's part of the program, which starts it in
// the window's place. Where the browser cannot run it, one Japanese line says so instead.
"use strict";

(() => {
  const screen = document.getElementById("screen");
  const status = document.getElementById("status");
  const bar = status.querySelector("progress");
  const line = status.querySelector("span");
  const report = document.getElementById("report");

  function fail(text) {
    screen.append(status);
    bar.hidden = true;
    line.textContent = text;
  }

  // Where the program cannot be loaded or started, the visitor is asked to load the page again,
  // and whoever hosts it is told why on the console, once: an abort also rejects the start it
  // ends, and only the first cause is the one to mend.
  let failedAlready = false;
  function failed(cause) {
    if (failedAlready) {
      return;
    }
    failedAlready = true;
    const text = "プログラムを読み込めませんでした。ページを読み込み直してください。";
    console.error(`${text} (${cause})`);
    fail(text);
  }

  // The program writes on stderr only its reports of run-time errors: they go to the console,
  // as on a desktop they go to the terminal, and the last one to the page.
  function reportError(text) {
    console.error(text);
    report.textContent = text;
    report.hidden = false;
  }

  // The program as the browser has compiled it. The download is read twice, by the compiler and
  // by the bar, which counts its bytes against the program's size (the download's own length
  // counts compressed bytes). A server that sends no program, or not as application/wasm, fails.
  async function compileProgram() {
    const response = await fetch("circle-intersection.wasm");
    if (!response.ok) {
      throw new Error(`circle-intersection.wasm: ${response.status} ${response.statusText}`);
    }
    const [counted, compiled] = response.body.tee();
    const total = Number(screen.dataset.programBytes);
    const reader = counted.getReader();
    // A download that breaks off fails the compiler's copy too, which says why.
    (async () => {
      for (let received = 0, chunk; !(chunk = await reader.read()).done;) {
        bar.value = (received += chunk.value.length) / total;
      }
    })().catch(() => {});
    return WebAssembly.compileStreaming(new Response(compiled, { headers: response.headers }));
  }

  function loadScript(source) {
    return new Promise((loaded, failedToLoad) => {
      const script = document.createElement("script");
      script.src = source;
      script.onload = loaded;
      script.onerror = () => failedToLoad(new Error(`${source} could not be loaded`));
      document.head.append(script);
    });
  }

  // Whether the browser gives the page WebGL 1, which Qt draws the window with; the context made
  // to find out is let go at once. A browser with WebGL switched off, or a graphics card it does
  // not trust, gives none.
  function canDraw() {
    const gl = document.createElement("canvas").getContext("webgl");
    const extension = gl && gl.getExtension("WEBGL_lose_context");
    if (extension) {
      extension.loseContext();
    }
    return gl !== null;
  }

  // Once the program runs, its files are kept for the next visits (service-worker.js), which then
  // start from them, with or without a network. Where the browser cannot keep them (no service
  // workers, file://, a private window, a full disk) the page goes on as it is, saying nothing.
  function keepFiles() {
    navigator.serviceWorker?.register("service-worker.js").catch(() => {});
  }

  if (typeof WebAssembly !== "object" || typeof WebAssembly.compileStreaming !== "function") {
    fail("このブラウザーでは WebAssembly が使えないため、プログラムを動かせません。");
    return;
  }
  // The probe takes the page's thread for a while (0.1 s in headless Chromium): it comes once the
  // program is on its way, downloaded and compiled meanwhile by the browser's other threads.
  const loaded = Promise.all([compileProgram(), loadScript("circle-intersection.js")]);
  if (!canDraw()) {
    loaded.catch(() => {});
    fail("このブラウザーでは WebGL が使えないため、プログラムを動かせません。");
    return;
  }
  loaded
    .then(([program]) => {
      status.remove();
      return createQtAppInstance({
        qtContainerElements: [screen],
        instantiateWasm(imports, instantiated) {
          WebAssembly.instantiate(program, imports).then(
            (instance) => instantiated(instance, program), failed);
          return {};
        },
        print() {},
        printErr: reportError,
        onAbort: failed,
        // The program ends only where it cannot show its window; it has said why on stderr.
        quit() {},
      });
    })
    .then(keepFiles)
    .catch(failed);
})();
