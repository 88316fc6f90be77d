# Two entry points on a fresh Debian 12 machine (as root): `make run` and `make test`.
# Each installs what is missing, creates the Wine prefix of the build tree once,
# builds, and runs. BUILD names the build tree (default: build).
BUILD ?= build
export BUILD
JOBS ?= 2
MAKEFLAGS += --no-print-directory

# make fuzz runs each fuzz target for FUZZ_SECONDS (default 600).
FUZZ_SECONDS ?= 600
HOST_CXX ?= clang++-14

.PHONY: run test bench build setup prefix host fuzz faults dist screenshots clean

setup:
	@scripts/setup-host.sh

# The build tree is 32-bit where the host runs 32-bit programs. Elsewhere it is
# 64-bit, so that the tests can run, and the shipped 32-bit program is still built
# beside it in $(BUILD)/i686.
build: setup
	@arch=$$(scripts/host-arch.sh); \
	if [ -f $(BUILD)/CMakeCache.txt ] && [ "$$(cat $(BUILD)/.arch 2>/dev/null)" != "$$arch" ]; then rm -rf $(BUILD); fi; \
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-$$arch.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null && \
	echo "$$arch" >$(BUILD)/.arch && \
	cmake --build $(BUILD) -j$(JOBS) && \
	if [ "$$arch" != i686 ]; then \
		cmake -S . -B $(BUILD)/i686 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null && \
		cmake --build $(BUILD)/i686 -j$(JOBS) --target VakoQuit VakoHook64; \
	fi

prefix: build
	@scripts/make-prefix.sh

run: prefix
	@scripts/with-display.sh scripts/run-app.sh

# The platform-free code, built for this machine with the sanitizers: unit tests
# and fuzz targets. The main ctest runs its tests.
host: setup
	@cmake -S tests/host -B $(BUILD)/host -DCMAKE_CXX_COMPILER=$(HOST_CXX) >/dev/null
	@cmake --build $(BUILD)/host -j$(JOBS)

fuzz: host
	@FUZZ_SECONDS=$(FUZZ_SECONDS) ctest --test-dir $(BUILD)/host -R '^fuzz_' --output-on-failure \
	    --timeout $$(($(FUZZ_SECONDS) + 300))

# The kill-during-save trial with 200 kills (make test runs 20 of them).
faults: prefix
	@VAKO_KILL_TRIALS=200 VAKO_OWN_DISPLAY=1 scripts/with-display.sh ctest --test-dir $(BUILD) \
	    -R 'Faults.KilledWhileSaving' --output-on-failure -V --timeout 3600

# dist/VakoQuit-<version>.zip from the shipped 32-bit tree; make test unpacks and
# runs it.
dist: build
	@scripts/make-dist.sh

test: prefix host dist
	@VAKO_OWN_DISPLAY=1 scripts/with-display.sh ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS) --timeout 300

# The user guide's pictures (docs/*.png), taken from the real program.
screenshots: prefix
	@VAKO_OWN_DISPLAY=1 scripts/with-display.sh scripts/take-screenshots.sh

# Only the figures are printed: the build's own output goes to a log, shown when
# the build fails.
bench:
	@log=$$(mktemp); $(MAKE) prefix >$$log 2>&1 || { cat $$log; rm -f $$log; exit 1; }; rm -f $$log
	@VAKO_OWN_DISPLAY=1 scripts/with-display.sh scripts/run-bench.sh

clean:
	rm -rf $(BUILD)
