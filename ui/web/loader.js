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
  // Whether the service worker serves this visit from the files it has kept (service-worker.js).
  const kept = Boolean(navigator.serviceWorker?.controller);

  function fail(text) {
    screen.append(status);
    bar.hidden = true;
    line.textContent = text;
  }
  const NO_WEBGL = "このブラウザーでは WebGL が使えないため、プログラムを動かせません。";

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

  // The program as the browser compiles it while it downloads. A server that sends no program,
  // or not as application/wasm, fails. A download is read twice, by the compiler and by the bar,
  // which counts its bytes against the program's size (the download's own length counts
  // compressed bytes). Kept files are compiled from the kept response itself, which is there at
  // once, and beside which the browser may keep the code it compiles for the next visit.
  function compile(response) {
    if (!response.ok) {
      throw new Error(`circle-intersection.wasm: ${response.status} ${response.statusText}`);
    }
    if (kept) {
      return WebAssembly.compileStreaming(response);
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
  // A visit the service worker serves from its kept files skips the probe, which takes the
  // page's thread for a while (20 ms in headless Chromium, and several times that while the
  // browser compiles the program): the files were kept once the program had drawn its window.
  // Should the browser no longer give WebGL (switched off since, say), Qt's first frame fails,
  // and the line says why all the same.
  const loaded = Promise.all([
    fetch("circle-intersection.wasm").then(compile),
    loadScript("circle-intersection.js"),
  ]);
  if (kept) {
    let drawing = true;
    addEventListener("error", (event) => {
      drawing &&= canDraw();
      if (!drawing) {
        event.preventDefault();
        screen.replaceChildren();
        fail(NO_WEBGL);
      }
    });
  } else if (!canDraw()) {
    loaded.catch(() => {});
    fail(NO_WEBGL);
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
