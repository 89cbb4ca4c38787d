# The commands a newcomer needs: `make run` opens the program, `make test` runs the whole suite.
# Both first install whatever Debian packages are missing, then build the release preset into build/.

PROGRAM := build/circle-intersection
BENCH   := build/circle-intersection-bench

# The Debian packages each target needs, each list adding to an earlier one. A target first
# runs deps-NAME, which installs what is missing of PACKAGES_NAME, so that `make test` brings
# only what the build and the tests use, and the other targets add their own tools when first
# run. `make deps` installs what `make test` needs.

# pkg-config finds libxcb, whose header the program takes an X11 event's layout from.
PACKAGES_build         := cmake make g++ pkg-config qt6-base-dev libxcb1-dev libgtest-dev
PACKAGES_run           := $(PACKAGES_build) fonts-ipafont-gothic
# The tests make a locale with localedef (from the locales' sources), ask fontconfig whether
# the font is there, and drive the real window in Xvfb, and in a headless Weston on Wayland.
PACKAGES_test          := $(PACKAGES_run) locales fontconfig weston qt6-wayland \
                          xvfb xauth xdotool python3-xlib python3-pil python3-numpy python3-pytest
PACKAGES_bench         := $(PACKAGES_test) libbenchmark-dev
# cpack's dependency list (dpkg-shlibdeps, and file to find the programs), then the checks.
PACKAGES_package       := $(PACKAGES_build) dpkg-dev file
PACKAGES_package-check := $(PACKAGES_test) $(PACKAGES_package) lintian desktop-file-utils appstream
# libFuzzer comes with clang's run-time libraries; lint reads the benchmarks' sources too.
PACKAGES_fuzz          := cmake make clang libclang-rt-14-dev
PACKAGES_lint          := $(PACKAGES_build) libbenchmark-dev clang clang-tidy cppcheck

# Debian's own interpreter, which sees the python3-* packages above.
PYTHON := /usr/bin/python3
# A private X server for the tools that show the window, on a display it finds free.
XVFB := xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24 -noreset"

SUDO := $(if $(filter 0,$(shell id -u)),,sudo)

.PHONY: deps build run test bench clean screenshot

deps: deps-test

deps-%:
	@missing=$$(for p in $(sort $(PACKAGES_$*)); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing from Debian:" $$missing; \
	  $(SUDO) apt-get update -q && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q --no-install-recommends $$missing; \
	fi

build: deps-build
	cmake --preset release
	cmake --build --preset release

run: deps-run build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): 'make screenshot' writes a PNG of the window instead."; \
	else \
	  $(PROGRAM); \
	fi

test: deps-test build
	ctest --preset release

# The benchmark programs are built only when asked for, as here and by lint, which reads
# their sources; from then on build/ keeps building them.
bench: deps-bench
	cmake --preset release -DCIRCLES_BUILD_BENCHMARKS=ON
	cmake --build --preset release
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

# Named with the version CMake writes when it configures build/.
DEB = build/circle-intersection_$(file <build/version.txt)_amd64.deb

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

# Hardening: the suite under the sanitizers, bounded fuzzing and lint. The sanitizers are
# GCC's, which come with g++; fuzzing and lint use clang from Debian for libFuzzer, clang-tidy
# and cppcheck.

.PHONY: test-asan fuzz lint

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/;
# the first report of either ends the test that made it.
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=1:detect_stack_use_after_return=1 \
                 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
                 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0

test-asan: deps-test
	cmake --preset asan
	cmake --build --preset asan
	$(SANITIZER_ENV) ctest --preset asan

# The libFuzzer target runs for FUZZ_SECONDS, starting from its committed seeds in
# fuzz/corpus/ and from what earlier runs kept in build-fuzz/corpus/. A finding stops the run
# and leaves the input in build-fuzz/artifacts/.
FUZZ_SECONDS ?= 300

fuzz: deps-fuzz
	cmake -S fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
	cmake --build build-fuzz -j2
	@mkdir -p build-fuzz/corpus/intersection build-fuzz/artifacts
	build-fuzz/intersection_fuzz -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 \
	  -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/intersection- \
	  build-fuzz/corpus/intersection fuzz/corpus/intersection

# clang-tidy with the checks of .clang-tidy over the project's own sources, using the compile
# commands of build/ (and of build-fuzz/ for the fuzz target), then cppcheck. Configuring is
# enough: no source includes a generated file. All three run; any finding fails the target.
LINT_DIRS    := scene drawing ui tests bench
LINT_SOURCES  = $(sort $(shell find $(LINT_DIRS) -name '*.cpp'))

lint: deps-lint
	cmake --preset release -DCIRCLES_BUILD_BENCHMARKS=ON > /dev/null
	cmake -S fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_EXPORT_COMPILE_COMMANDS=ON > /dev/null
	@status=0; \
	printf '%s\n' $(LINT_SOURCES) | xargs -P 2 -n 4 clang-tidy -p build --quiet || status=1; \
	printf '%s\n' $(sort $(wildcard fuzz/*.cpp)) | xargs -P 2 -n 4 clang-tidy -p build-fuzz --quiet || status=1; \
	cppcheck --std=c++20 --language=c++ --library=qt --library=googletest \
	  --enable=warning,performance,portability \
	  --inline-suppr --suppress=missingIncludeSystem --error-exitcode=1 --quiet -j 2 \
	  -I . $(LINT_DIRS) fuzz || status=1; \
	exit $$status

clean:
	rm -rf build build-dev build-asan build-fuzz
