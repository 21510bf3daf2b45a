# The two commands of the project:
#   make run   sets up the machine, builds and starts the console
#   make test  sets up the machine, builds every configuration, runs every test
#   make package  builds the ZIP for Windows users (build/windows/TesselTest-*.zip)
.PHONY: run test setup build clean package

JOBS ?= $(shell nproc)

setup:
	scripts/setup-system.sh
	scripts/build-curl.sh
	scripts/build-benchmark-mingw.sh
	scripts/wine-prefix.sh

build: setup
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS)
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

run: build
	scripts/run-console.sh

package: build
	cmake --build --preset windows --target tessel_package

test: setup
	TESSEL_JOBS=$(JOBS) scripts/test-all.sh

clean:
	rm -rf build
