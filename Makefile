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
		cmake --build $(BUILD)/i686 -j$(JOBS) --target VakoQuit; \
	fi

prefix: build
	@scripts/make-prefix.sh

run: prefix
	@scripts/with-display.sh scripts/run-app.sh

test: prefix
	@VAKO_OWN_DISPLAY=1 scripts/with-display.sh ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS) --timeout 300

bench: prefix
	@VAKO_OWN_DISPLAY=1 scripts/with-display.sh scripts/run-bench.sh

clean:
	rm -rf $(BUILD)
