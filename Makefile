# Two commands do all the set-up on a fresh Debian 12 machine (where make
# itself is missing, `bash scripts/setup.sh` installs it first):
#   make run    installs what is missing, builds the program (not the tests),
#               brings it into the working folder (~/.local/share/VorelStock,
#               or $VOREL_WORK_DIR) and starts it there
#   make test   installs what is missing, builds, runs every test
#   make fuzz   installs clang, builds the fuzz targets in build-fuzz and runs
#               each for FUZZ_SECONDS (60 by default)
#   make clean  removes the build folders; the working folder stays
BUILD_DIR ?= build
FUZZ_BUILD_DIR ?= build-fuzz
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60

.PHONY: setup configure build run test bench fuzz clean

setup:
	@bash scripts/setup.sh

# A configured build folder reconfigures itself when a CMakeLists.txt changes.
configure: setup
	@[ -f $(BUILD_DIR)/build.ninja ] || cmake -S . -B $(BUILD_DIR) -G Ninja

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Builds only what it starts (no test, no benchmark).
run: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target runnable
	@bash scripts/run.sh $(BUILD_DIR)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

bench: build
	bash scripts/bench.sh $(BUILD_DIR)

fuzz:
	FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_BUILD_DIR=$(FUZZ_BUILD_DIR) bash scripts/fuzz.sh

clean:
	rm -rf $(BUILD_DIR) $(FUZZ_BUILD_DIR)
