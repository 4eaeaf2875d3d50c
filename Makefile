# make run   - install what is missing, build, and start the editor on the demo page
# make test  - install what is missing, build, and run every test, then again under the sanitizers
# make package - build the Debian package build/komalore_<version>_<arch>.deb
# make fuzz  - build the libFuzzer targets (clang) and run each for FUZZ_SECONDS
# make bench - build the benchmarks in Release and print their medians beside their floors
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
DEMO_DRIVE := $(CURDIR)/build/demo-drive

.PHONY: run test build deps test-deps bench clean package fuzz fuzz-ci

deps:
	./tools/install-deps.sh

test-deps:
	./tools/install-deps.sh --test

build: deps
	cmake --preset default -DKOMALORE_TESTS=OFF -DKOMALORE_BENCH=OFF
	cmake --build --preset default -j $(JOBS) --target komalore make_demo_page

package: build
	./tools/install-deps.sh --package
	cmake --build --preset default -j $(JOBS)
	cd build && cpack -G DEB
	@ls build/komalore_*.deb

run: build
	mkdir -p $(DEMO_DRIVE)
	./build/tools/make_demo_page $(DEMO_DRIVE)/img001.BMP
	KOMALORE_DRIVE_C=$(DEMO_DRIVE) ./build/app/komalore

test: test-deps
	cmake --preset default -DKOMALORE_TESTS=ON -DKOMALORE_BENCH=ON
	cmake --build --preset default -j $(JOBS)
	ctest --preset default -j $(JOBS)
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)
	$(MAKE) fuzz-ci

fuzz: test-deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS) --target fuzz_targets
	./fuzz/run_fuzzers.sh $(CURDIR)/build-fuzz $(FUZZ_SECONDS)

# CI's share of fuzzing: about a minute per target.
fuzz-ci:
	$(MAKE) fuzz FUZZ_SECONDS=60

bench: test-deps
	cmake --preset bench
	cmake --build --preset bench -j $(JOBS) --target komalore_bench
	./tools/bench_report.sh ./build-bench/bench/komalore_bench

clean:
	rm -rf build build-asan build-bench build-fuzz
