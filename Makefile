# The commands a newcomer needs: `make run` opens the program, `make test` runs the whole suite.
# Both first install whatever Debian packages are missing, then build the release preset into build/.
# A bare `make` only builds build/: it installs nothing, and names what is missing instead.

PROGRAM := build/circle-intersection
BENCH   := build/circle-intersection-bench

# The Debian packages each target needs, each list adding to an earlier one. A target first
# runs deps-NAME, which installs what is missing of PACKAGES_NAME, so that `make test` brings
# only what the build and the tests use, and the other targets add their own tools when first
# run. `make deps` installs what `make test` needs.

# pkg-config finds libxcb, whose header the program takes an X11 event's layout from; the
# widget tests, built with the program, move its window as a window system does, through Qt's
# platform interface (qt6-base-private-dev). Configuring makes the tests' locale with localedef,
# from the locales' sources (locales). The benchmarks are built with the program.
PACKAGES_build         := cmake make g++ pkg-config qt6-base-dev libxcb1-dev libgtest-dev \
                          qt6-base-private-dev locales libbenchmark-dev
# The program runs on X11 with Qt Gui's own plugin, and on Wayland with qt6-wayland's.
PACKAGES_run           := $(PACKAGES_build) fonts-ipafont-gothic qt6-wayland
# The tests drive the real window in Xvfb.
PACKAGES_test          := $(PACKAGES_run) \
                          xvfb xauth xdotool python3-xlib python3-pil python3-numpy python3-pytest
PACKAGES_bench         := $(PACKAGES_test)
# cpack's dependency list (dpkg-shlibdeps, and file to find the programs), then the checks.
PACKAGES_package       := $(PACKAGES_build) dpkg-dev file
PACKAGES_package-check := $(PACKAGES_test) $(PACKAGES_package) lintian desktop-file-utils appstream
# lint: the C++ checkers, shellcheck and flake8 (the JavaScript linter comes from npm).
PACKAGES_lint          := $(PACKAGES_build) clang clang-tidy clang-format cppcheck shellcheck flake8
# The Windows build: the MinGW-w64 cross-compilers, ninja and dpkg-source for Qt's build,
# GoogleTest's source, NSIS for the installer, Wine to run the tests, unzip to unpack the zip.
PACKAGES_windows       := $(PACKAGES_test) g++-mingw-w64-x86-64-posix ninja-build dpkg-dev \
                          googletest nsis wine wine64 unzip

# The web page: Debian's emscripten, ninja and dpkg-source for Qt's build, GoogleTest's source,
# fontTools to cut the face down, brotli for the precompressed copies, and the three browser
# engines of the tests: Chromium, Firefox ESR, and WebKitGTK's MiniBrowser with its WebDriver.
PACKAGES_web           := $(PACKAGES_test) emscripten ninja-build dpkg-dev googletest \
                          python3-fonttools brotli chromium firefox-esr webkit2gtk-driver

# Debian's own interpreter, which sees the python3-* packages above.
PYTHON := /usr/bin/python3
# A private X server for the tools that show the window.
XVFB := tools/xvfb.sh

SUDO := $(if $(filter 0,$(shell id -u)),,sudo)

# As many compilers (and clang-tidy runs, cppcheck threads) at once as the machine has cores.
NPROC := $(shell nproc)
export CMAKE_BUILD_PARALLEL_LEVEL ?= $(NPROC)

.PHONY: all deps npm build dev run test bench clean screenshot

all: build

deps: deps-test

# One installation at a time, as apt allows: under `make -j` two targets' lists may be due at
# once, and the second sees what the first installed. A bare `make` (or `make all`) installs
# nothing: it names what is missing and stops.
DEPS_LOCK := $(or $(XDG_RUNTIME_DIR),/tmp)/circle-intersection-deps.lock
INSTALL := $(filter-out all,$(MAKECMDGOALS))

deps-%:
	@exec 9> $(DEPS_LOCK) && flock 9 && \
	missing=$$(for p in $(sort $(PACKAGES_$*)); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  $(if $(INSTALL),,echo "Missing from Debian:" $$missing "('make build' installs them)" >&2; exit 1;) \
	  echo "Installing from Debian:" $$missing; \
	  $(SUDO) apt-get update -q && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q --no-install-recommends $$missing; \
	fi

# npm, for the tools that web/package-lock.json pins: Debian's, unless an npm is on PATH already
# (one that came with a Node.js from elsewhere, which Debian's npm would conflict with).
PACKAGES_npm := npm
npm:
	@command -v npm > /dev/null || $(MAKE) --no-print-directory deps-npm

# The tools from npm (puppeteer-core for the web tests, ESLint for lint), at the versions
# web/package-lock.json pins.
WEB_NODE_MODULES := web/node_modules/.package-lock.json
$(WEB_NODE_MODULES): web/package-lock.json | npm
	npm ci --prefix web --no-audit --no-fund

build: deps-build
	cmake --preset release
	cmake --build --preset release

# The debug build with warnings as errors, into build-dev/.
dev: deps-build
	cmake --preset dev
	cmake --build --preset dev

run: deps-run build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): 'make screenshot' writes a PNG of the window instead."; \
	else \
	  $(PROGRAM); \
	fi

test: deps-test build
	ctest --preset release

# The benchmark programs are built into build/ with the program.
bench: deps-bench build
	$(BENCH) --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
	  --benchmark_report_aggregates_only=true \
	  --benchmark_out=build/bench.json --benchmark_out_format=json
	$(PYTHON) bench/report.py build/bench.json
	$(XVFB) $(PYTHON) tools/startup_bench.py $(PROGRAM) build/circle-intersection-bare

# A PNG of the window as it first appears, made under Xvfb: needs no display. The same picture
# is the end-to-end tests' reference: make screenshot SCREENSHOT=tests/e2e/start-up.png
SCREENSHOT ?= build/screenshot.png
screenshot: deps-test build
	$(XVFB) $(PYTHON) tools/screenshot.py $(PROGRAM) $(SCREENSHOT)

# The Debian package, made by CPack from the install rules that `cmake --install` follows, and
# its checks: lintian with no error and no warning, then, on the package extracted into a
# temporary folder, the desktop entry, the AppStream metainfo (validate-tree also checks that
# its launchable is there) and the program starting under Xvfb.

.PHONY: package package-check

# Named with the version CMake writes when it configures build/, and the machine's architecture.
DEB = build/circle-intersection_$(file <build/version.txt)_$(shell dpkg --print-architecture).deb

# The end-to-end check run on the program as the package lays it out, given its path, with the
# tests' fonts and its temporary folders under build/.
PACKAGE_E2E = CIRCLE_INTERSECTION=$(1) FONTCONFIG_FILE=$(CURDIR)/build/tests/fonts.conf \
              $(XVFB) $(PYTHON) -m pytest -q -p no:cacheprovider --basetemp=build/package-e2e \
              tests/e2e -k start_up

package: deps-package build
	cpack --config build/CPackConfig.cmake

package-check: deps-package-check package
	lintian --fail-on error,warning $(DEB)
	root=$$(mktemp -d) && trap 'rm -rf "$$root"' EXIT && \
	  dpkg-deb -x $(DEB) "$$root" && \
	  desktop-file-validate "$$root"/usr/share/applications/circle-intersection.desktop && \
	  appstreamcli validate-tree "$$root" && \
	  $(call PACKAGE_E2E,"$$root"/usr/bin/circle-intersection)

# Hardening: the suite under the sanitizers, and lint. The sanitizers are GCC's, which come
# with g++; lint uses clang-tidy, cppcheck, clang-format, shellcheck and flake8 from Debian and
# ESLint from npm.

.PHONY: test-asan lint

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/;
# the first report of either ends the test that made it.
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=1:detect_stack_use_after_return=1 \
                 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
                 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0

test-asan: deps-test
	cmake --preset asan
	cmake --build --preset asan
	$(SANITIZER_ENV) ctest --preset asan

# First the debug build with warnings as errors (make dev); then clang-tidy with the checks of
# .clang-tidy over the project's own sources, using that build's compile commands, then
# cppcheck, then whether the C++ is laid out as .clang-format says, then whether the icons are
# what make_icon.py draws; then shellcheck over the shell scripts (.shellcheckrc), flake8 over
# the Python (.flake8) and ESLint over the JavaScript (web/eslint.config.js). All run; any
# finding fails the target. cppcheck reads the layout's header where the dev build wrote it, and
# leaves out the web page's branches (Q_OS_WASM), which need emscripten's headers and macros;
# the web build compiles them with the same warnings.
LINT_DIRS    := scene drawing ui tests bench
LINT_SOURCES  = $(sort $(shell find $(LINT_DIRS) -name '*.cpp'))
LINT_HEADERS  = $(sort $(shell find $(LINT_DIRS) -name '*.h'))
SCRIPT_DIRS  := .ci tools web windows packaging bench tests
SHELL_SCRIPTS = .ci/run $(sort $(shell find $(SCRIPT_DIRS) -name '*.sh' -o -name '*.sh.in'))
PYTHON_SOURCES = $(sort $(shell find $(SCRIPT_DIRS) -name node_modules -prune -o -name '*.py' -print))
JS_SOURCES    = $(sort $(shell find ui $(SCRIPT_DIRS) -name node_modules -prune -o -name '*.js' -print))

lint: deps-lint dev $(WEB_NODE_MODULES)
	@status=0; \
	printf '%s\n' $(LINT_SOURCES) | xargs -P $(NPROC) -n 4 clang-tidy -p build-dev --quiet || status=1; \
	cppcheck --std=c++20 --language=c++ --library=qt --library=googletest \
	  --enable=warning,performance,portability \
	  --inline-suppr --suppress=missingIncludeSystem --error-exitcode=1 --quiet -j $(NPROC) \
	  -UQ_OS_WASM -I . -I build-dev/ui/include $(LINT_DIRS) || status=1; \
	clang-format --dry-run --Werror $(LINT_SOURCES) $(LINT_HEADERS) || status=1; \
	$(PYTHON) packaging/icon/make_icon.py --check || status=1; \
	shellcheck $(SHELL_SCRIPTS) || status=1; \
	$(PYTHON) -m flake8 $(PYTHON_SOURCES) || status=1; \
	web/node_modules/.bin/eslint --config web/eslint.config.js $(JS_SOURCES) || status=1; \
	exit $$status

# Windows: the program cross-built with MinGW-w64 against a Qt for Windows that
# windows/build-qt.sh builds from Debian's qt6-base source (half an hour the first time, then
# taken from ~/.cache/circle-intersection/), packaged as a zip and a 64-bit NSIS installer, and
# tested under Wine.

.PHONY: deb-src windows-deps windows test-windows

# `apt-get source` needs Debian's source index, which a fresh system does not list. It gets a
# file of its own beside the system's list: an `apt-get update` pointed at a list holding only
# deb-src entries would drop the binary package lists.
DEB_SRC_LIST := /etc/apt/sources.list.d/circle-intersection-deb-src.sources

# Every Windows run is in a Wine prefix of its own, made anew in the build folder, which knows
# only the fonts the tests' references were made with.
WINE_ENV := WINEPREFIX=$(CURDIR)/build-windows/wine WINEDEBUG=-all
WINDOWS_FONTS := FONTCONFIG_FILE=$(CURDIR)/build-windows/tests/fonts.conf
# The packages' paths without their endings, named with the version CMake writes when it
# configures build-windows/.
WINDOWS_PACKAGE = build-windows/circle-intersection-$(file <build-windows/version.txt)-win64

deb-src:
	@if ! apt-cache showsrc qt6-base 2>/dev/null | grep -q '^Package: qt6-base'; then \
	  echo "Adding Debian's source index to apt: $(DEB_SRC_LIST)"; \
	  printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
	    "$$(. /etc/os-release && echo $$VERSION_CODENAME)" | $(SUDO) tee $(DEB_SRC_LIST) > /dev/null && \
	  $(SUDO) apt-get update -q; \
	fi

# A build folder configured against another Qt (an older one in the cache) is configured afresh:
# CMake would go on finding Qt's parts where it found them first.
FRESH_FOR = $$(grep -qsx "$(2):[A-Z]*=$$qt" $(1)/CMakeCache.txt || echo --fresh)

windows-deps: deps-windows deb-src

windows: windows-deps
	qt=$$(windows/build-qt.sh) && cmake --preset windows $(call FRESH_FOR,build-windows,CIRCLES_WINDOWS_QT) \
	  -DCIRCLES_WINDOWS_QT="$$qt"
	cmake --build --preset windows
	cpack --config build-windows/CPackConfig.cmake

# The end-to-end tests of the Windows program at the path given, selected by the pytest -k
# expression given, under Wine in Xvfb.
WINDOWS_E2E = $(WINDOWS_FONTS) tests/windows/e2e.sh '$(1)' '$(2)'
INSTALLED := C:/Program Files/circle-intersection

# The unit and widget tests under Wine on the offscreen platform; the program unpacked from the
# zip under Wine in Xvfb; the installer run silently, what it installed, and the installed
# program starting.
test-windows: windows
	rm -rf build-windows/wine build-windows/zip
	$(WINE_ENV) $(WINDOWS_FONTS) WINEDLLOVERRIDES=mscoree,mshtml= wineboot -i 2> build-windows/wineboot.log || \
	  { cat build-windows/wineboot.log; false; }
	# The tests start once Wine has finished with the new prefix: one started while its server
	# was still winding down failed with no output.
	$(WINE_ENV) wineserver -w
	ctest --preset windows
	unzip -q $(WINDOWS_PACKAGE).zip -d build-windows/zip
	$(call WINDOWS_E2E,$(CURDIR)/build-windows/zip/$(notdir $(WINDOWS_PACKAGE))/circle-intersection.exe,start_up)
	$(WINE_ENV) wine $(WINDOWS_PACKAGE)-setup.exe /S
	$(WINE_ENV) wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\circle-intersection' /v UninstallString
	test -f 'build-windows/wine/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/円の交点算出サンプル/円の交点算出サンプル.lnk'
	$(call WINDOWS_E2E,$(INSTALLED)/circle-intersection.exe,start_up)

# The web page: the program built for WebAssembly with Debian's emscripten against a Qt for
# WebAssembly that web/build-qt.sh builds from Debian's qt6-base source (about 12 minutes on
# two cores the first time, then taken from ~/.cache/circle-intersection/), laid out in
# build-web/ with a gzip and a Brotli copy of each HTML, JavaScript and WebAssembly file, for
# servers that send those; tested under Node, in Debian's headless Chromium, and in Firefox ESR
# and WebKitGTK.

.PHONY: web-deps web serve-web test-web bench-web

# Debian's emscripten needs a few variables set (web/emscripten-env.sh).
WEB_ENV := . web/emscripten-env.sh &&

web-deps: deps-web deb-src npm

web: web-deps
	$(WEB_ENV) qt=$$(web/build-qt.sh) && cmake --preset web $(call FRESH_FOR,build-wasm,CIRCLES_WEB_QT) \
	  -DCIRCLES_WEB_QT="$$qt"
	$(WEB_ENV) cmake --build --preset web
	rm -rf build-web && cmake --install build-wasm > /dev/null
	for file in build-web/*.html build-web/*.js build-web/*.wasm; do \
	  gzip -9nkf $$file && brotli -q 11 -kf $$file || exit 1; done

serve-web:
	@test -f build-web/index.html || { echo "No page yet: 'make web' makes it."; exit 1; }
	@echo "The page is at http://127.0.0.1:8000/ (Ctrl+C stops the server)"
	$(PYTHON) -m http.server --bind 127.0.0.1 --directory build-web 8000

test-web: web $(WEB_NODE_MODULES)
	$(WEB_ENV) ctest --preset web

# The page's size, its first picture and its mouse moves in each engine, beside the desktop
# program's mouse moves (bench/web_bench.js); Firefox and WebKit in an X server of their own.
bench-web: deps-bench web build $(WEB_NODE_MODULES)
	NODE_PATH=web/node_modules $(XVFB) node bench/web_bench.js build-web $(BENCH)

clean:
	rm -rf build build-dev build-asan build-windows build-wasm build-web
