# make run   - install what is missing, build, and start the editor on the demo page
# make test  - install what is missing, build, and run every test, then again under the sanitizers
# make package - build the Debian package build/komalore_<version>_<arch>.deb
JOBS ?= $(shell nproc)
DEMO_DRIVE := $(CURDIR)/build/demo-drive

.PHONY: run test build deps test-deps bench clean package

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

clean:
	rm -rf build build-asan build-bench
