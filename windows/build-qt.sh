#!/usr/bin/env bash
# Builds Qt for 64-bit Windows from Debian's own qt6-base source, once, into a cache outside the
# source tree, and prints the folder it is installed in. Later runs print the cached folder.
#
# The folder's name carries a key made from everything that decides what is built: the Qt
# source version (the same as the installed qt6-base-dev, whose moc, rcc and uic the build
# uses), the project's patches, the configure options, the toolchain file and the compiler. A
# build happens in a scratch folder and is installed under a temporary name, which is renamed
# to the final one only when everything has succeeded: a failed or interrupted build leaves
# nothing that a later run would take for a finished Qt.
#
# Needs: the packages `make windows` installs, and a deb-src entry for `apt-get source`.
# Environment: CIRCLES_CACHE (default ~/.cache/circle-intersection), JOBS (default 2).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
cache=${CIRCLES_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/circle-intersection}
jobs=${JOBS:-2}

fail() {
    echo "build-qt.sh: $*" >&2
    exit 1
}

# The whole script is one function, read to its end before it runs: editing the file during
# a build does not change the build.
main() {
    for tool in x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres cmake ninja dpkg-source; do
        command -v "$tool" > /dev/null || fail "$tool is missing: run 'make windows', which installs it from Debian"
    done
    version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2> /dev/null) ||
        fail "qt6-base-dev is not installed: its moc, rcc and uic are needed"

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
    shopt -s nullglob
    patches=("$here"/qt-patches/*.patch)

    key=$({
        echo "qt6-base $version"
        printf '%s\n' "${options[@]}"
        cat "$here/toolchain.cmake"
        x86_64-w64-mingw32-g++-posix --version | head -n 1
        dpkg-query -W -f='${Version}\n' g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
        cat /dev/null "${patches[@]}"
    } | sha256sum | cut -c 1-12)
    prefix=$cache/qt-$version-win64-$key

    if [ -d "$prefix" ]; then
        echo "$prefix"
        exit 0
    fi

    mkdir -p "$cache"
    # One build at a time; whatever scratch or half-installed folders the lock holder finds were
    # left by a run that was killed. The build's commands inherit the lock, so that a run
    # killed halfway holds it until the last of its compilers has ended too.
    exec 9> "$cache/.lock"
    if ! flock -n 9; then
        echo "Waiting for another build of Qt for Windows to end" >&2
        flock 9
    fi
    if [ -d "$prefix" ]; then
        echo "$prefix"
        exit 0
    fi
    rm -rf "$cache"/build-* "$cache"/*.partial

    work=$cache/build-$key
    partial=$prefix.partial
    trap 'rm -rf "$work" "$partial"' EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM HUP
    mkdir -p "$work" "$cache/downloads"

    echo "Building Qt $version for Windows into $prefix (about half an hour on 2 cores)" >&2
    (cd "$cache/downloads" && apt-get source -qq --download-only "qt6-base=$version" > /dev/null 2>&1) ||
        fail "no Qt source: 'apt-get source qt6-base=$version' failed (it needs a deb-src entry; 'make windows' adds one)"
    dpkg-source -x "$cache/downloads/qt6-base_$version.dsc" "$work/src" > "$work/unpack.log" 2>&1 ||
        { cat "$work/unpack.log" >&2; fail "unpacking the Qt source failed"; }
    for patch in "${patches[@]}"; do
        patch -d "$work/src" -p1 --quiet < "$patch"
    done

    mkdir "$work/build"
    cd "$work/build"
    started=$SECONDS
    "$work/src/configure" -prefix "$prefix" "${options[@]}" -- \
        -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$here/toolchain.cmake" \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake > configure.log 2>&1 ||
        { tail -n 30 configure.log >&2; fail "configuring Qt failed"; }
    cmake --build . --parallel "$jobs" > build.log 2>&1 ||
        { tail -n 30 build.log >&2; fail "building Qt failed"; }
    cmake --install . --prefix "$partial" > install.log 2>&1 ||
        { tail -n 30 install.log >&2; fail "installing Qt failed"; }

    # What the program's package says about the Qt it ships: where it came from and its licences.
    mkdir -p "$partial/share/circle-intersection"
    echo "$version" > "$partial/share/circle-intersection/debian-source-version"
    cp "$work/src/debian/copyright" "$partial/share/circle-intersection/qt-copyright.txt"
    cp "$work/src/LICENSES/LGPL-3.0-only.txt" "$work/src/LICENSES/GPL-3.0-only.txt" \
        "$partial/share/circle-intersection/"

    mv -T "$partial" "$prefix"
    echo "Qt built in $((SECONDS - started)) s" >&2
    echo "$prefix"
}

main "$@"
