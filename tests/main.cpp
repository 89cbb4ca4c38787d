// The drawing and window tests need a Qt application, on Qt's offscreen platform, with the
// fonts the reference pictures were made with. Numbers are written as a Japanese desktop writes
// them, while the C library's locale is one whose decimal point is two bytes long (U+066B),
// where the build could make it: the label texts must not depend on it.
#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) {  // else a configured offscreen platform
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qputenv("LOCPATH", CIRCLES_LOCALES);
    qputenv("LC_ALL", "ps_AF.UTF-8");
    qputenv("FONTCONFIG_FILE", CIRCLES_FONTS);
    // A runtime folder of the tests' own, which Qt would otherwise make in /tmp.
    QDir().mkdir(CIRCLES_OUTPUT "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", CIRCLES_OUTPUT "/runtime");
    const QApplication app(argc, argv);
    if (!QFontDatabase::families().contains("IPAPGothic")) {
        std::fputs("IPAPGothic is missing: install fonts-ipafont-gothic\n", stderr);
        return 1;
    }
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
