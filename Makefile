# SPDX-License-Identifier: GPL-3.0-or-later
# The two set-up commands: `make run` and `make test`. Everything else is for developers.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench soak package clean format fuzz test-asan

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@scripts/run-nabrix $(BUILD_DIR)/src/nabrix

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# Every libFuzzer target for FUZZ_SECONDS each, in a clang build (default build-fuzz) with
# ASan and UBSan; findings land in $(BUILD_DIR)/fuzz-artifacts.
FUZZ_SECONDS ?= 180
FUZZ_TARGETS = fuzz_rtf fuzz_file_list fuzz_settings fuzz_capture
fuzz: BUILD_DIR = build-fuzz
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(BUILD_DIR) -G Ninja -DNABRIX_FUZZ=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target $(FUZZ_TARGETS)
	@fuzz/run-fuzzers $(BUILD_DIR) $(FUZZ_SECONDS)

# The whole suite, unit and X11 tests, built with AddressSanitizer and UBSan (default
# build-asan). Only third-party leaks are suppressed, in tests/sanitizers/lsan.supp.
ASAN_TEST_ENV = ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=0 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp:print_suppressions=0
test-asan: BUILD_DIR = build-asan
test-asan: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DNABRIX_SANITIZE=ON \
		-DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	@cd $(BUILD_DIR) && $(ASAN_TEST_ENV) ctest --output-on-failure -j $(JOBS)

bench: build
	@scripts/run-benchmarks $(BUILD_DIR)

# Minutes long: 2 000 clipboard changes and the hostile clipboard owners on a private X server.
soak: build
	@scripts/soak $(BUILD_DIR)

# The Debian package, written to $(BUILD_DIR)/nabrix_<version>-1_<arch>.deb.
package: build
	@cd $(BUILD_DIR) && cpack -G DEB

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD_DIR)
