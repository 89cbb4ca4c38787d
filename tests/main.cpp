// The drawing and window tests need a Qt application with the face the reference pictures were
// made with: on the desktop on Qt's offscreen platform, with IPA P Gothic alone; in a browser on
// Qt's platform there, with the face the program carries. Numbers are written as a Japanese
// desktop writes them, while on the desktop the C library's locale is one whose decimal point is
// two bytes long (U+066B): the label texts must not depend on it. Where the C library has such
// locales and the build could not make this one, the tests do not run.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
#ifndef __EMSCRIPTEN__
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) {  // else a configured offscreen platform
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qputenv("LOCPATH", CIRCLES_LOCALES);
    qputenv("LC_ALL", "ps_AF.UTF-8");
    qputenv("FONTCONFIG_FILE", CIRCLES_FONTS);
    // A runtime folder of the tests' own, which Qt would otherwise make in /tmp.
    QDir().mkdir(CIRCLES_OUTPUT "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", CIRCLES_OUTPUT "/runtime");
#endif
    const QApplication app(argc, argv);  // which takes the C library's locale from LC_ALL
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
    if (std::strlen(std::localeconv()->decimal_point) != 2) {
        std::fputs(
            "The locale ps_AF.UTF-8 is missing (localedef, from the locales package, makes "
            "it when the tests are configured)\n",
            stderr);
        return 1;
    }
#endif
#ifndef __EMSCRIPTEN__
    if (!QFontDatabase::families().contains("IPAPGothic")) {
        std::fputs("IPAPGothic is missing: install fonts-ipafont-gothic\n", stderr);
        return 1;
    }
#endif
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
#ifdef __EMSCRIPTEN__
    // A page's program lives on when main returns, its output unflushed, and Qt's platform there
    // fails to take itself down: the tests end here.
    std::fflush(stdout);
    std::_Exit(status);
#endif
    return status;
}
