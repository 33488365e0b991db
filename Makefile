# Quick start: `make run` builds and starts Tarnwell, `make test` builds and runs every test.
# Both install the missing Debian packages first.

BUILD ?= build
JOBS ?= 2
FUZZ_SECONDS ?= 60
CMAKE_FLAGS ?=

.PHONY: all deps build run test test-asan fuzz bench package clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# A first start is set up the way an installer would: a missing "hcm.ini" beside the program
# names our FS calculation library and asks for the set-up prompt.
run: build
	@test -f $(BUILD)/bin/hcm.ini || \
	  printf '[General]\nfirst_installation=1\nHCMLibrary=HCMFS_DLL.so\nHCMMSLibrary=HCMMS_DLL.so\n' > $(BUILD)/bin/hcm.ini
	$(BUILD)/bin/tarnwell samples/sample-fs.txt

# the Debian package tarnwell_VERSION_ARCH.deb, in this folder
package: build
	cpack --config $(BUILD)/CPackConfig.cmake -G DEB
	cp $(BUILD)/package/tarnwell_*.deb .

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# every test again with AddressSanitizer and UndefinedBehaviorSanitizer
test-asan: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARNWELL_SANITIZE=ON -DTARNWELL_BUILD_BENCH=OFF
	cmake --build build-asan -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir build-asan --output-on-failure -j $(JOBS)

# the libFuzzer targets, FUZZ_SECONDS seconds each
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DTARNWELL_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS)
	tests/fuzz/run-fuzzers.sh build-fuzz $(FUZZ_SECONDS)

bench: deps
	cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNWELL_BUILD_TESTS=OFF
	cmake --build build-release -j $(JOBS)
	build-release/bin/tarnwell-bench-fs
	build-release/bin/tarnwell-bench-editor
	build-release/bin/tarnwell-bench-recordops
	build-release/bin/tarnwell-bench-ltol
	build-release/bin/tarnwell-bench-p452
	build-release/bin/tarnwell-bench-report
	build-release/bin/tarnwell-bench-ms
	build-release/bin/tarnwell-bench-msedit
	build-release/bin/tarnwell-bench-mscalc
	build-release/bin/tarnwell-bench-mslib
	build-release/bin/tarnwell-bench-masks
	build-release/bin/tarnwell-bench-download
	build-release/bin/tarnwell-bench-map

clean:
	rm -rf $(BUILD) build-asan build-fuzz build-release
