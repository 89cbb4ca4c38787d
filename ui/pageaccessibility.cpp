#include "ui/pageaccessibility.h"

#ifdef Q_OS_WASM

#include <memory>
#include <vector>

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QTimer>

namespace circles {

namespace {

using emscripten::val;

// How long the picture has to stay unchanged before its new description is announced: a drag
// that pauses is announced, each of its moves is not.
constexpr int kRestMilliseconds = 500;

// The keys with which a slider element would change its own value; the program's bar answers
// them instead.
bool IsSliderKey(const std::string& key) {
    for (const char* sliderKey :
         {"ArrowLeft", "ArrowRight", "ArrowUp", "ArrowDown", "PageUp", "PageDown", "Home", "End"}) {
        if (key == sliderKey) {
            return true;
        }
    }
    return false;
}

val Text(const QString& text) {
    return val(text.toStdString());
}

// The page's side of the mirror: an element for each focusable control of the window, a hidden
// text that describes the picture, and a polite live region, in a layer over Qt's canvas that
// is invisible and lets the mouse and fingers through to it.
class PageMirror : public QObject {
public:
    PageMirror(QWidget& window, EventHost& host);

    void Start() const;
    void FromProgram(QAccessibleEvent* event);
    void FromPage(const val& event);

private:
    struct Mirror {
        QWidget* control;
        QAccessibleInterface* accessible;
        val element;
        bool slider;
    };

    bool eventFilter(QObject* watched, QEvent* event) override;
    val MakeElement(const Mirror& mirror, int index);
    void Place(const Mirror& mirror) const;
    void Listen(const val& element, std::initializer_list<const char*> types) const;
    void FocusMirrorOf(const QObject* control) const;
    void FollowFocus(const QObject* control) const;
    void ShowDescription();
    void ForwardKey(const val& event, const Mirror& mirror) const;

    QWidget& window_;
    EventHost& host_;
    val document_ = val::global("document");
    val canvas_ = val::undefined();
    val layer_ = val::undefined();
    val description_ = val::undefined();
    val announcement_ = val::undefined();
    std::vector<Mirror> mirrors_;
    QAccessibleInterface* picture_ = nullptr;
    QTimer rest_;
};

std::unique_ptr<PageMirror> page;

void ProgramEvent(QAccessibleEvent* event) {
    page->FromProgram(event);
}

void PageEvent(val event) {
    page->FromPage(event);
}

EMSCRIPTEN_BINDINGS(circles_page_accessibility) {
    emscripten::function("circlesPageEvent", &PageEvent);
}

PageMirror::PageMirror(QWidget& window, EventHost& host) : window_(window), host_(host) {
    const val container = val::module_property("qtContainerElements")[0];
    canvas_ = container.call<val>("querySelector", val("canvas"));
    // The canvas says nothing a screen reader could use: the elements below speak for it. A
    // click gives the keyboard focus to the focused control's element instead of the canvas.
    Listen(canvas_, {"mousedown"});
    if (val::global("window")
            .call<val>("getComputedStyle", container)["position"]
            .as<std::string>() == "static") {
        container["style"].set("position", "relative");
    }
    layer_ = document_.call<val>("createElement", val("div"));
    layer_.call<void>("setAttribute", val("style"),
                      val("position: absolute; left: 0; top: 0; opacity: 0; "
                          "pointer-events: none"));
    container.call<void>("append", layer_);

    description_ = document_.call<val>("createElement", val("div"));
    description_.set("id", "circles-picture-description");
    description_.set("hidden", true);
    announcement_ = document_.call<val>("createElement", val("div"));
    announcement_.call<void>("setAttribute", val("aria-live"), val("polite"));
    layer_.call<void>("append", description_);

    // The controls in the window's order, which is its tab order: the picture, then the bars.
    const QAccessibleInterface* windowAccessible = QAccessible::queryAccessibleInterface(&window);
    for (int i = 0; i < windowAccessible->childCount(); ++i) {
        QAccessibleInterface* child = windowAccessible->child(i);
        auto* control = qobject_cast<QWidget*>(child->object());
        if (control == nullptr || !child->state().focusable) {
            continue;
        }
        Mirror mirror{control, child, val::undefined(), child->valueInterface() != nullptr};
        mirror.element = MakeElement(mirror, static_cast<int>(mirrors_.size()));
        layer_.call<void>("append", mirror.element);
        control->installEventFilter(this);
        if (!mirror.slider) {
            picture_ = child;
        }
        mirrors_.push_back(mirror);
    }
    layer_.call<void>("append", announcement_);
    window.installEventFilter(this);
    for (const Mirror& mirror : mirrors_) {
        Place(mirror);
    }

    rest_.setSingleShot(true);
    rest_.setInterval(kRestMilliseconds);
    connect(&rest_, &QTimer::timeout, this, [this] {
        ShowDescription();
        announcement_.set("textContent", description_["textContent"]);
    });
    ShowDescription();
}

// The focus starts where the window's is, on the picture, before the canvas is hidden: a hidden
// element must not hold the focus.
void PageMirror::Start() const {
    FollowFocus(window_.focusWidget());
    canvas_.call<void>("setAttribute", val("aria-hidden"), val("true"));
}

val PageMirror::MakeElement(const Mirror& mirror, int index) {
    QAccessibleInterface* accessible = mirror.accessible;
    val element = val::undefined();
    if (mirror.slider) {
        const QAccessibleValueInterface* value = accessible->valueInterface();
        element = document_.call<val>("createElement", val("input"));
        element.set("type", "range");
        element.set("min", value->minimumValue().toInt());
        element.set("max", value->maximumValue().toInt());
        element.set("step", value->minimumStepSize().toInt());
        element.set("value", value->currentValue().toInt());
        Listen(element, {"focus", "keydown", "keyup", "input"});
    } else {
        element = document_.call<val>("createElement", val("div"));
        element.call<void>("setAttribute", val("role"), val("img"));
        element.set("tabIndex", 0);
        element.call<void>("setAttribute", val("aria-describedby"), description_["id"]);
        Listen(element, {"focus", "keydown", "keyup"});
    }
    element.call<void>("setAttribute", val("aria-label"),
                       Text(accessible->text(QAccessible::Name)));
    // Exactly the control's box: a slider's own margin would move it off the bar.
    element.call<void>("setAttribute", val("style"),
                       val("position: absolute; margin: 0; box-sizing: border-box"));
    element.set("circlesMirror", index);
    return element;
}

void PageMirror::Listen(const val& element, std::initializer_list<const char*> types) const {
    for (const char* type : types) {
        element.call<void>("addEventListener", val(type), val::module_property("circlesPageEvent"));
    }
}

// Each element lies where its control is drawn, in the page's pixels, so that exploring the
// screen by touch finds it there.
void PageMirror::Place(const Mirror& mirror) const {
    const QRect box = mirror.accessible->rect().translated(-window_.screen()->geometry().topLeft());
    val style = mirror.element["style"];
    style.set("left", Text(QStringLiteral("%1px").arg(box.x())));
    style.set("top", Text(QStringLiteral("%1px").arg(box.y())));
    style.set("width", Text(QStringLiteral("%1px").arg(box.width())));
    style.set("height", Text(QStringLiteral("%1px").arg(box.height())));
}

bool PageMirror::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
        for (const Mirror& mirror : mirrors_) {
            if (watched == &window_ || watched == mirror.control) {
                Place(mirror);
            }
        }
    }
    return false;
}

// Asked for while the picture rests: the description is worded only then, not at every move.
void PageMirror::ShowDescription() {
    description_.set("textContent", Text(picture_->text(QAccessible::Description)));
}

void PageMirror::FocusMirrorOf(const QObject* control) const {
    for (const Mirror& mirror : mirrors_) {
        if (mirror.control == control) {
            val options = val::object();
            options.set("preventScroll", true);
            mirror.element.call<void>("focus", options);
        }
    }
}

// The focus follows the program's where it is on the window's elements (or on none of the
// page's), never taking it from elsewhere on the page.
void PageMirror::FollowFocus(const QObject* control) const {
    const val focused = document_["activeElement"];
    if (focused.isNull() || focused == document_["body"] || focused == canvas_ ||
        layer_.call<bool>("contains", focused)) {
        FocusMirrorOf(control);
    }
}

void PageMirror::FromProgram(QAccessibleEvent* event) {
    switch (event->type()) {
        case QAccessible::DescriptionChanged:
            rest_.start();
            break;
        case QAccessible::ValueChanged:
            for (Mirror& mirror : mirrors_) {
                if (mirror.control == event->object() && mirror.slider) {
                    mirror.element.set("value",
                                       mirror.accessible->valueInterface()->currentValue().toInt());
                }
            }
            break;
        case QAccessible::Focus:
            FollowFocus(event->object());
            break;
        default:
            break;
    }
}

void PageMirror::FromPage(const val& event) {
    const std::string type = event["type"].as<std::string>();
    val target = event["currentTarget"];
    if (target == canvas_) {
        event.call<void>("preventDefault");
        FocusMirrorOf(window_.focusWidget());
        return;
    }
    const int index = target["circlesMirror"].as<int>();
    if (index < 0 || index >= static_cast<int>(mirrors_.size())) {
        return;
    }
    const Mirror& mirror = mirrors_[static_cast<std::size_t>(index)];
    host_.Deliver([&] {
        if (type == "focus") {
            mirror.control->setFocus(Qt::OtherFocusReason);
        } else if (type == "input") {
            // A screen reader's own step (VoiceOver's swipe, say), which the bar clamps to its
            // range like any value; the element then shows the bar's.
            mirror.accessible->valueInterface()->setCurrentValue(target["valueAsNumber"].as<int>());
            target.set("value", mirror.accessible->valueInterface()->currentValue().toInt());
        } else {
            ForwardKey(event, mirror);
        }
    });
}

// A key pressed on an element is the program's: a copy goes to the canvas, where Qt takes its
// keys, and the browser does what it would with the key only where the program did not take
// it. A slider's own keys are always the program's bar's.
void PageMirror::ForwardKey(const val& event, const Mirror& mirror) const {
    val init = val::object();
    for (const char* property :
         {"key", "code", "location", "repeat", "ctrlKey", "shiftKey", "altKey", "metaKey"}) {
        init.set(property, event[property]);
    }
    init.set("bubbles", true);
    init.set("cancelable", true);
    const val copy = val::global("KeyboardEvent").new_(event["type"], init);
    const bool taken = !canvas_.call<bool>("dispatchEvent", copy);
    if (taken || (mirror.slider && IsSliderKey(event["key"].as<std::string>()))) {
        event.call<void>("preventDefault");
    }
}

}  // namespace

void MirrorAccessibleTreeToPage(QWidget& window, EventHost& host) {
    // Qt's browser platform has no bridge of its own, so its accessibility stays inactive and
    // sends no event until it is switched on.
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    page = std::make_unique<PageMirror>(window, host);
    page->Start();
    QAccessible::installUpdateHandler(&ProgramEvent);
}

}  // namespace circles

#else

namespace circles {

void MirrorAccessibleTreeToPage(QWidget& /*window*/, EventHost& /*host*/) {}

}  // namespace circles

#endif
