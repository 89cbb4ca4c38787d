#include "ui/pagefit.h"

#include <algorithm>

#ifdef Q_OS_WASM
#include <emscripten/bind.h>
#include <emscripten/val.h>
#endif

namespace circles {

PageFit FitToScreen(QSize screen) {
    const layout::Arrangement& own = layout::kWindow;
    if (screen.width() >= own.window.width() && screen.height() >= own.window.height()) {
        return {&own, 1.0};
    }
    const layout::Arrangement& shaped =
        screen.height() > screen.width() ? layout::kUpright : layout::kSideways;
    return {&shaped, std::min(double(screen.width()) / shaped.window.width(),
                              double(screen.height()) / shaped.window.height())};
}

#ifdef Q_OS_WASM

namespace {

using emscripten::val;

Form1* fitted = nullptr;

// The screen's size in CSS pixels, its longer side across when it is held sideways: some
// browsers (Safari) give the screen's size as held upright, whichever way it is held.
QSize ScreenSize() {
    const val window = val::global("window");
    const int a = window["screen"]["width"].as<int>();
    const int b = window["screen"]["height"].as<int>();
    const bool upright =
        window.call<val>("matchMedia", val("(orientation: portrait)"))["matches"].as<bool>();
    return upright ? QSize(std::min(a, b), std::max(a, b)) : QSize(std::max(a, b), std::min(a, b));
}

void Fit() {
    const QSize screen = ScreenSize();
    const PageFit fit = FitToScreen(screen);
    fitted->Arrange(*fit.arrangement);
    // The window's place on the page takes the window's size; the page is as wide as the screen
    // at the zoom, which the browser then takes for its own.
    const val container = val::module_property("qtContainerElements")[0];
    const QSize size = fit.arrangement->window;
    container["style"].set("width", val(std::to_string(size.width()) + "px"));
    container["style"].set("height", val(std::to_string(size.height()) + "px"));
    const std::string width = fit.arrangement == &layout::kWindow
                                  ? std::string("device-width")
                                  : std::to_string(int(screen.width() / fit.zoom));
    val::global("document")
        .call<val>("querySelector", val("meta[name=viewport]"))
        .call<void>("setAttribute", val("content"), val("width=" + width));
}

void ScreenChanged(val /*event*/) {
    Fit();
}

EMSCRIPTEN_BINDINGS(circles_page_fit) {
    emscripten::function("circlesScreenChanged", &ScreenChanged);
}

}  // namespace

void FitWindowToPage(Form1& form) {
    fitted = &form;
    Fit();
    val::global("window").call<void>("addEventListener", val("resize"),
                                     val::module_property("circlesScreenChanged"));
}

#else

void FitWindowToPage(Form1& /*form*/) {}

#endif

}  // namespace circles
