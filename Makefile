# The commands a newcomer needs: `make run` opens the program, `make test` runs the whole suite.
# Both first install whatever Debian packages are missing, then build the release preset into build/.

PROGRAM := build/circle-intersection
BENCH   := build/circle-intersection-bench

# Everything the build, the program, the tests and the benchmarks need, all from Debian.
PACKAGES := cmake make g++ pkg-config python3 \
            qt6-base-dev qt6-qpa-plugins libgtest-dev libbenchmark-dev \
            fonts-ipafont-gothic xvfb xauth xdotool x11-apps imagemagick

SUDO := $(if $(filter 0,$(shell id -u)),,sudo)

.PHONY: deps build run test bench clean

deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing from Debian:" $$missing; \
	  $(SUDO) apt-get update -q && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q --no-install-recommends $$missing; \
	fi

build: deps
	cmake --preset release
	cmake --build --preset release

run: build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  echo "表示先がありません (DISPLAY も WAYLAND_DISPLAY も未設定): 'make screenshot' で画面写真を作れます。"; \
	else \
	  $(PROGRAM); \
	fi

test: build
	ctest --preset release

bench: build
	$(BENCH) --benchmark_out=build/bench.json --benchmark_out_format=json
	python3 bench/report.py build/bench.json

clean:
	rm -rf build build-dev build-asan
