# Builds a Qt for another platform from Debian's own qt6-base source, once, into a cache outside
# the source tree, and prints the folder it is installed in. Later runs print the cached folder.
# Sourced by windows/build-qt.sh and web/build-qt.sh, which say what differs.
#
# The folder's name carries a key made from everything that decides what is built: the Qt
# source version (the same as the installed qt6-base-dev, whose moc, rcc and uic the build
# uses), the configure options, the toolchain, and the project's patches. A build happens in a
# scratch folder and is installed under a temporary name, which is renamed to the final one
# only when everything has succeeded: a failed or interrupted build leaves nothing that a later
# run would take for a finished Qt.
#
# The caller sets, before calling build_qt:
#   platform    the word the cached folder is named with (win64, wasm)
#   label       what Qt is built for, as the messages say it (Windows, WebAssembly)
#   make_target the make target that installs the tools and adds the deb-src entry (windows, web)
#   tools       the commands the build needs, which `make <target>` installs
#   options     Qt's configure options
#   patches     the patch files applied to the source, in order
#   cmake_args  the CMake arguments after configure's "--"
#   minutes     how long the build takes on 2 cores, for the message
# and defines toolchain_key, which prints what else decides the build (toolchain, compiler).
# Environment: CIRCLES_CACHE (default ~/.cache/circle-intersection), JOBS (default: the
# machine's cores).
# shellcheck shell=bash disable=SC2154  # the caller's variables above

cache=${CIRCLES_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/circle-intersection}
jobs=${JOBS:-$(nproc)}

fail() {
    echo "$(basename "$0"): $*" >&2
    exit 1
}

build_qt() {
    for tool in "${tools[@]}" cmake ninja dpkg-source; do
        command -v "$tool" > /dev/null || fail "$tool is missing: run 'make $make_target', which installs it from Debian"
    done
    version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2> /dev/null) ||
        fail "qt6-base-dev is not installed: its moc, rcc and uic are needed"

    key=$({
        echo "qt6-base $version"
        printf '%s\n' "${options[@]}"
        toolchain_key
        cat /dev/null "${patches[@]}"
    } | sha256sum | cut -c 1-12)
    prefix=$cache/qt-$version-$platform-$key

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
        echo "Waiting for another build of Qt to end" >&2
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

    echo "Building Qt $version for $label into $prefix (about $minutes minutes on 2 cores)" >&2
    (cd "$cache/downloads" && apt-get source -qq --download-only "qt6-base=$version" > /dev/null 2>&1) ||
        fail "no Qt source: 'apt-get source qt6-base=$version' failed (it needs a deb-src entry; 'make $make_target' adds one)"
    dpkg-source -x "$cache/downloads/qt6-base_$version.dsc" "$work/src" > "$work/unpack.log" 2>&1 ||
        { cat "$work/unpack.log" >&2; fail "unpacking the Qt source failed"; }
    for patch in "${patches[@]}"; do
        patch -d "$work/src" -p1 --quiet < "$patch" || fail "$patch does not apply to Qt $version"
    done

    mkdir "$work/build"
    cd "$work/build" || exit
    started=$SECONDS
    "$work/src/configure" -prefix "$prefix" "${options[@]}" -- -G Ninja "${cmake_args[@]}" \
        > configure.log 2>&1 ||
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
