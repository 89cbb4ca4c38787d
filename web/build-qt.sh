#!/usr/bin/env bash
# Builds Qt for WebAssembly from Debian's own qt6-base source with Debian's emscripten, once,
# into ~/.cache/circle-intersection/, and prints the folder it is installed in (see
# tools/qt-from-debian.sh for the cache and its key).
#
# Needs: the packages `make web` installs, and a deb-src entry for `apt-get source`.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../tools/qt-from-debian.sh
. "$here/../tools/qt-from-debian.sh"
# shellcheck source=emscripten-env.sh
. "$here/emscripten-env.sh"

# The whole script is one function, read to its end before it runs: editing the file during
# a build does not change the build.
main() {
    platform=wasm
    label=WebAssembly
    make_target=web
    minutes=12
    tools=(emcc em++ wasm-opt node)
    # Static and single-threaded, as a page can run it without special server headers. Only what
    # the program and its tests use: Core, Gui, Widgets and Test with the Fusion style. Every
    # widget, dialog, text and image format the program never shows is left out, as every byte
    # of the library that the program links is loaded by every visit of the page.
    options=(
        -platform wasm-emscripten -static -no-feature-thread -release -optimize-size
        -qt-host-path /usr
        -nomake examples -nomake tests
        -no-feature-network -no-feature-sql -no-feature-printsupport -no-feature-xml
        -no-feature-concurrent -no-dbus
        -no-icu -no-feature-zstd -no-libjpeg -no-gif
        -qt-zlib -qt-libpng -qt-freetype -qt-harfbuzz -qt-pcre -qt-doubleconversion -qt-libmd4c
        -no-feature-style-stylesheet -no-feature-style-windows
        -no-feature-mimetype-database -no-feature-commandlineparser
        -no-feature-jalalicalendar -no-feature-islamiccivilcalendar -no-feature-hijricalendar
        -no-feature-textodfwriter -no-feature-textmarkdownreader -no-feature-textmarkdownwriter
        -no-feature-pdf -no-feature-picture -no-feature-movie -no-feature-ico
        -no-feature-imageformat_bmp -no-feature-imageformat_ppm -no-feature-imageformat_xbm
        -no-feature-undocommand -no-feature-undostack -no-feature-undogroup
        -no-feature-standarditemmodel
        -no-feature-sessionmanager -no-feature-systemtrayicon -no-feature-whatsthis
        -no-feature-itemviews -no-feature-graphicsview -no-feature-textedit -no-feature-textbrowser
        -no-feature-syntaxhighlighter -no-feature-mainwindow -no-feature-mdiarea
        -no-feature-dockwidget -no-feature-toolbar -no-feature-toolbox -no-feature-statusbar
        -no-feature-menubar -no-feature-splitter -no-feature-tabwidget
        -no-feature-tabbar -no-feature-combobox -no-feature-fontcombobox -no-feature-spinbox
        -no-feature-datetimeedit -no-feature-calendarwidget -no-feature-keysequenceedit
        -no-feature-lcdnumber -no-feature-dial -no-feature-splashscreen -no-feature-sizegrip
        -no-feature-rubberband -no-feature-commandlinkbutton
        -no-feature-colordialog -no-feature-filedialog -no-feature-fontdialog
        -no-feature-inputdialog -no-feature-errormessage -no-feature-wizard
        -no-feature-progressdialog
    )
    shopt -s nullglob
    patches=("$here"/qt-patches/*.patch)
    cmake_args=(
        -DCMAKE_TOOLCHAIN_FILE="$EMSCRIPTEN_TOOLCHAIN"
        -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake"
    )
    build_qt
}

# emscripten's compiler and linker: the LLVM packages (clang-N, lld-N) Debian's emscripten
# depends on.
toolchain_key() {
    local llvm
    mapfile -t llvm < <(dpkg-query -W -f='${Depends}' emscripten | tr ',' '\n' |
        sed -n 's/^ *\(clang-[0-9]\+\|lld-[0-9]\+\)\( .*\)\?$/\1/p')
    emcc --version | head -n 1
    dpkg-query -W -f='${Package} ${Version}\n' emscripten binaryen "${llvm[@]}"
}

main "$@"
