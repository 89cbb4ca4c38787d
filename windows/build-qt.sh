#!/usr/bin/env bash
# Builds Qt for 64-bit Windows from Debian's own qt6-base source, once, into
# ~/.cache/circle-intersection/, and prints the folder it is installed in (see
# tools/qt-from-debian.sh for the cache and its key).
#
# Needs: the packages `make windows` installs, and a deb-src entry for `apt-get source`.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../tools/qt-from-debian.sh
. "$here/../tools/qt-from-debian.sh"

# The whole script is one function, read to its end before it runs: editing the file during
# a build does not change the build.
main() {
    platform=win64
    label=Windows
    make_target=windows
    minutes=30
    tools=(x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres)
    # Only the modules and plugins the program and its tests use: Core, Gui, Widgets and Test, the
    # windows and offscreen platforms, the Windows styles. Everything Debian's source does not
    # carry (ICU, zstd, the tablet headers) is left out; the third-party libraries Qt needs are
    # built from the copies in its source.
    options=(
        -release -shared -optimize-size
        -xplatform win32-g++
        -qt-host-path /usr
        -nomake examples -nomake tests
        -no-feature-network -no-feature-sql -no-feature-printsupport -no-feature-xml
        -no-feature-concurrent -no-dbus -no-opengl -no-feature-vulkan
        -no-icu -no-feature-zstd -no-libjpeg -no-gif
        -no-feature-tabletevent
        -no-feature-androiddeployqt
        -qt-zlib -qt-libpng -qt-freetype -qt-harfbuzz -qt-pcre -qt-doubleconversion -qt-libmd4c
    )
    # Debian's source builds for Windows as it is.
    patches=()
    cmake_args=(
        -DCMAKE_TOOLCHAIN_FILE="$here/toolchain.cmake"
        -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake"
    )
    build_qt
}

toolchain_key() {
    cat "$here/toolchain.cmake"
    x86_64-w64-mingw32-g++-posix --version | head -n 1
    dpkg-query -W -f='${Version}\n' g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
}

main "$@"
