# The environment Debian's emscripten needs to build Qt and the program. Sourced by
# web/build-qt.sh and by the Makefile's web targets.
# shellcheck shell=sh

# emcc runs on Debian's Python, whatever python3 comes first in PATH, and its JavaScript tools
# find their modules (acorn) where Debian installs them, which Node does not look in itself.
export EMSDK_PYTHON=/usr/bin/python3
export NODE_PATH=/usr/share/nodejs
export EMSCRIPTEN_TOOLCHAIN=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake

# Qt's WebAssembly build insists on an emscripten SDK folder named by EMSDK, from which it reads
# the compiler's version. Debian has no such folder, so a small one stands in for it: its
# .emscripten names upstream/emscripten (a path Qt takes as relative to the folder), where emcc
# and em++ lead to Debian's.
EMSDK=${CIRCLES_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/circle-intersection}/emsdk
export EMSDK
if [ ! -x "$EMSDK/upstream/emscripten/em++" ]; then
    mkdir -p "$EMSDK/upstream/emscripten"
    echo "EMSCRIPTEN_ROOT = 'upstream/emscripten'" > "$EMSDK/.emscripten"
    ln -sf /usr/bin/emcc "$EMSDK/upstream/emscripten/emcc"
    ln -sf /usr/bin/em++ "$EMSDK/upstream/emscripten/em++"
fi
