# Two entry points on a fresh Debian 12 machine (as root): `make run` and `make test`.
# Each installs what is missing, creates the Wine prefix of the build tree once,
# builds, and runs. BUILD names the build tree (default: build).
BUILD ?= build
export BUILD
JOBS ?= 2
MAKEFLAGS += --no-print-directory

.PHONY: run test bench build setup prefix clean

setup:
	@scripts/setup-host.sh

build: setup
	@cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

prefix: build
	@scripts/make-prefix.sh

run: prefix
	@scripts/with-display.sh scripts/run-app.sh

test: prefix
	@VAKO_OWN_DISPLAY=1 scripts/with-display.sh ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS) --timeout 300

# Only the figures are printed: the build's own output goes to a log, shown when
# the build fails.
bench:
	@mkdir -p $(BUILD) && $(MAKE) prefix >$(BUILD)/bench-build.log 2>&1 || { cat $(BUILD)/bench-build.log; exit 1; }
	@VAKO_OWN_DISPLAY=1 scripts/with-display.sh scripts/run-bench.sh

clean:
	rm -rf $(BUILD)
