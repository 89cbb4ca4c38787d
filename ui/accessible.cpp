#include "ui/accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "ui/form1.h"
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

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (className == QLatin1String(PictureBoxView::staticMetaObject.className())) {
        return new PictureBoxAccessible(static_cast<PictureBoxView*>(object));
    }
    if (className == QLatin1String(Form1::staticMetaObject.className())) {
        return new QAccessibleWidget(static_cast<Form1*>(object), QAccessible::Window);
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
