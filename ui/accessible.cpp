#include "ui/accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "ui/pictureboxview.h"

namespace circles {

namespace {

class PictureBoxAccessible : public QAccessibleWidget {
public:
    explicit PictureBoxAccessible(PictureBoxView* box)
        : QAccessibleWidget(box, QAccessible::Graphic) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Description) {
            return static_cast<const PictureBoxView*>(widget())->describe();
        }
        return QAccessibleWidget::text(kind);
    }
};

// Asked for every class of an object's ancestry, most derived first, until one answers; only
// the program's own classes are answered here, and Qt's own widgets keep their own interfaces.
QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (!className.startsWith(QLatin1String("circles::"))) {
        return nullptr;
    }
    if (auto* box = qobject_cast<PictureBoxView*>(object)) {
        return new PictureBoxAccessible(box);
    }
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget != nullptr && widget->isWindow()) {
        return new QAccessibleWidget(widget, QAccessible::Window);
    }
    return nullptr;
}

}  // namespace

void InstallAccessibleInterfaces() {
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    (void)installed;
}

}  // namespace circles
