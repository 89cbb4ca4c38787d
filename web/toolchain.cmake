# The web build: WebAssembly with Debian's emscripten, against the Qt for WebAssembly that
# web/build-qt.sh makes and `make web` names in CIRCLES_WEB_QT. Qt's own toolchain file sets up
# its tools (moc, rcc and uic are the build machine's own, from Debian's Qt) and hands the
# compiler on to emscripten's, which web/emscripten-env.sh names (`make web` sources it).
if(NOT DEFINED ENV{EMSCRIPTEN_TOOLCHAIN})
    message(FATAL_ERROR "EMSCRIPTEN_TOOLCHAIN is not set: source web/emscripten-env.sh first, "
        "as 'make web' does")
endif()
set(QT_CHAINLOAD_TOOLCHAIN_FILE $ENV{EMSCRIPTEN_TOOLCHAIN})
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CIRCLES_WEB_QT)
include(${CIRCLES_WEB_QT}/lib/cmake/Qt6/qt.toolchain.cmake)
