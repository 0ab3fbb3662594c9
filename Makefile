# Two commands for people: `make demo` runs the program on the demo plant, `make test` runs
# the whole test suite. Both install what they need first. `make fuzz` runs every fuzz target
# for FUZZ_SECONDS each (clang, in build-fuzz).
BUILD ?= build
JOBS ?= $(shell nproc)
# ctest's parallelism (the real-time tests mostly wait on timers and sockets) and extra cmake options.
TEST_JOBS ?= $(JOBS)
CMAKE_ARGS ?=
FUZZ_SECONDS ?= 180

.PHONY: demo test package fuzz deps configure build clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

demo: build
	@bash scripts/run-demo.sh $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(TEST_JOBS)

# The Debian package: build/tablo_<version>_<arch>.deb (install it with apt install ./build/tablo_*.deb).
package: build
	@cd $(BUILD) && cpack -G DEB

fuzz:
	@bash scripts/fuzz.sh $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) build-asan build-fuzz
