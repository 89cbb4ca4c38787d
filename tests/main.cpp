// The drawing and window tests need a Qt application with the face the reference pictures were
// made with: on the desktop on Qt's offscreen platform, with IPA P Gothic alone; in a browser on
// Qt's platform there, with the face the program carries. Numbers are written as a Japanese
// desktop writes them, while on Linux the C library's locale is one whose decimal point is two
// bytes long (U+066B): the label texts must not depend on it. Without the face or that locale
// the tests do not run.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QApplication>
#include <QDir>
#include <QFontDatabase>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
#ifndef __EMSCRIPTEN__
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {  // else a configured offscreen platform
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
    // (Windows's C library has no such locale to make.)
#if !defined(__EMSCRIPTEN__) && !defined(_WIN32)
    if (std::strlen(std::localeconv()->decimal_point) != 2 ||
        !QFontDatabase::families().contains("IPAPGothic")) {
        std::fputs(
            "IPAPGothic (fonts-ipafont-gothic) or the locale ps_AF.UTF-8 (which the build "
            "makes with localedef, from the locales package) is missing\n",
            stderr);
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
