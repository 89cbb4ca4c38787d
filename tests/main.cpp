// The drawing and window tests need a Qt application, on Qt's offscreen platform. Numbers are
// written as a Japanese desktop writes them, while the C library's locale is one whose decimal
// point is two bytes long (U+066B), where the build could make it: the label texts must not
// depend on it.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LOCPATH", CIRCLES_LOCALES);
    qputenv("LC_ALL", "ps_AF.UTF-8");
    const QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
