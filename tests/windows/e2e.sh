#!/bin/sh
# The end-to-end tests (tests/e2e) of the Windows program at the path given, those that the
# pytest -k expression given selects, under Wine in Xvfb, against the Windows reference picture.
#
# Usage: tests/windows/e2e.sh PROGRAM EXPRESSION   (make test-windows runs it, with the tests'
# FONTCONFIG_FILE set)
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$root/build-windows
program=$1
export WINEPREFIX="$build/wine" WINEDEBUG=-all

# The tests start the program by a path of their own, as they start the Linux one, with a clean
# environment: the script names the Wine prefix itself.
printf '#!/bin/sh\nWINEPREFIX="%s" WINEDEBUG=-all exec wine "%s" "$@"\n' "$WINEPREFIX" "$program" \
    > "$build/e2e-program"
chmod +x "$build/e2e-program"
# Wine's session must start with the display: the one that earlier steps started without it is
# waited for first, and this one ended afterwards.
wineserver -w
CIRCLE_INTERSECTION=$build/e2e-program \
CIRCLE_INTERSECTION_REFERENCE=$root/tests/e2e/start-up-windows.png \
TEST_OUTPUT=$build/tests \
    timeout 300 "$root/tools/xvfb.sh" /usr/bin/python3 -m pytest -q -p no:cacheprovider \
    --basetemp="$build/tests/e2e" "$root/tests/e2e" -k "$2"
status=$?
wineserver -k 2> /dev/null
exit $status
